#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Times how long tcpad, two floors and a few desktop calculators take from exec to their first
# window on screen, reads how much memory each holds once idle, and prints the medians as a
# Markdown table with the ratios to galculator's.
#
# Usage: bench/startup/startup.sh [BUILD_DIR]   (default: build-startup beside the sources)
# Environment: RUNS (measured rounds, default 7), SETTLE (seconds before reading memory, default
#              2), PROGRAMS (space-separated subset of the names below).
#
# Everything runs on a private Xvfb display with openbox as the window manager, each launch in
# its own D-Bus session with a fresh XDG_CONFIG_HOME, and with a private HOME, cache and runtime
# folder, so the user's own files are never read or written. One warm-up launch of every program
# fills the file and font caches; the measured rounds then go over all programs in turn, so a busy
# moment on a shared machine hits all of them. The other calculators are only measured against.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:-$source_dir/build-startup}
runs=${RUNS:-7}
settle=${SETTLE:-2}

# shellcheck source=SCRIPTDIR/../../scripts/packages.sh
source "$source_dir/scripts/packages.sh"
installPackages "${buildPackages[@]}" "${benchPackages[@]}" galculator kcalc gnome-calculator \
    qalculate-gtk
mkdir -p "$build_dir"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTCPAD_BUILD_BENCHMARKS=ON \
    >"$build_dir/configure-startup.log" 2>&1 || { cat "$build_dir/configure-startup.log"; exit 1; }
cmake --build "$build_dir" -j2 --target tcpad bench_emptywindow bench_controlswindow mapwait >/dev/null

declare -A command=([tcpad]=$build_dir/app/tcpad [galculator]=galculator [kcalc]=kcalc
    [emptywindow]=$build_dir/bench/startup/bench_emptywindow [gnome-calculator]=gnome-calculator
    [controlswindow]=$build_dir/bench/startup/bench_controlswindow [qalculate-gtk]=qalculate-gtk)
read -r -a programs <<<"${PROGRAMS:-tcpad emptywindow controlswindow galculator kcalc gnome-calculator qalculate-gtk}"

work=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-startup.XXXXXX")
trap 'kill $(jobs -p) 2>/dev/null || true; wait; rm -rf "$work"' EXIT
mkdir -m 700 "$work/home" "$work/cache" "$work/runtime"
export HOME=$work/home XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
export XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
unset DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP DESKTOP_SESSION SESSION_MANAGER WAYLAND_DISPLAY
# The server writes its display number once it accepts clients, openbox runs its start-up
# command once it manages windows; both are waited for by blocking reads of a fifo each.
mkfifo "$work/server-ready" "$work/wm-ready"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/server-ready" >"$work/x.log" 2>&1 &
read -r display <"$work/server-ready" || { cat "$work/x.log" >&2; exit 1; }
export DISPLAY=:$display
openbox --startup "sh -c 'echo >\"$work/wm-ready\"'" >"$work/wm.log" 2>&1 &
read -r _ <"$work/wm-ready" || { cat "$work/wm.log" >&2; exit 1; }

# One launch: prints "ms KiB-of-window's-process KiB-of-all processes", or nothing without a
# window. All is the launch's process group (what D-Bus starts for the program keeps it) without
# the session bus and dbus-run-session, which every program gets alike.
measure()
{
    local config result ms group owner
    config=$(mktemp -d "$work/config.XXXXXX")
    # An accessibility bus of an earlier launch leaves its address on the root window; with its
    # session gone, the next program would only time out trying to reach it.
    xprop -root -remove AT_SPI_BUS 2>/dev/null || true
    if result=$(XDG_CONFIG_HOME=$config "$build_dir/bench/startup/mapwait" dbus-run-session -- \
        "${command[$1]}" 2>>"$work/programs.log"); then
        read -r ms group owner <<<"$result"
        sleep "$settle"
        ps -e -o pid=,pgid=,rss=,comm= | awk -v ms="$ms" -v group="$group" -v owner="$owner" '
            $1 == owner { own = $3 }
            $2 == group && $4 !~ /^dbus-(daemon|run-sessio)/ { all += $3; ++count }
            END { print ms, own, all, count }'
        kill -TERM -- "-$group" 2>/dev/null && sleep 0.3 && kill -KILL -- "-$group" 2>/dev/null || true
    fi
    rm -rf "$config"
}

raw=$build_dir/startup-runs.txt
: >"$raw"
for program in "${programs[@]}"; do measure "$program" >/dev/null; done
for ((run = 1; run <= runs; ++run)); do
    for program in "${programs[@]}"; do
        result=$(measure "$program")
        [ -n "$result" ] && echo "$program $result" >>"$raw" || echo "no window: $program" >&2
    done
done

# The median of column $2 (2 ms, 3 and 4 KiB, 5 processes) of program $1's rows, scaled by $3.
median()
{
    awk -v p="$1" -v c="$2" -v s="${3:-1}" '$1 == p { print $c / s }' "$raw" | sort -g |
        awk '{ v[NR] = $1 } END { print NR ? (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2 : "nan" }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "–" }'; }

echo "Medians of $runs rounds after one warm-up; memory read $settle s after the window appeared."
echo
echo "| program | time to window (ms) | ratio to galculator | RSS of window's process (MiB) | ratio to galculator | RSS of all its processes (MiB) | processes |"
echo "|---|--:|--:|--:|--:|--:|--:|"
galculator_ms=$(median galculator 2)
galculator_mib=$(median galculator 3 1024)
for program in "${programs[@]}"; do
    ms=$(median "$program" 2) mib=$(median "$program" 3 1024)
    printf '| %s | %.1f | %s | %.1f | %s | %.1f | %s |\n' "$program" "$ms" \
        "$(ratio "$ms" "$galculator_ms")" "$mib" "$(ratio "$mib" "$galculator_mib")" \
        "$(median "$program" 4 1024)" "$(median "$program" 5)"
done
echo
echo "tcpad's window's process over the controls window's: $(awk -v a="$(median tcpad 3 1024)" \
    -v b="$(median controlswindow 3 1024)" 'BEGIN { printf "%.1f MiB", a - b }')"
echo "Every launch: $raw (program, ms, KiB of the window's process, KiB of all, processes)."
