#!/usr/bin/env bash
# Times how long tcpad and a few other desktop calculators take from exec to their first window
# on screen, and how much memory each holds once idle, and prints the medians as a Markdown table
# with tcpad's ratios to galculator's.
#
# Usage: bench/startup/startup.sh [BUILD_DIR]   (default: build-startup beside the sources)
# Environment: RUNS (measured runs per program, default 7), SETTLE_MS (wait before reading memory,
#              default 2000), PROGRAMS (space-separated subset of the names below).
#
# Everything runs on a private Xvfb display with openbox as the window manager, each program in
# its own D-Bus session (dbus-run-session), with a fresh XDG_CONFIG_HOME per run and a private
# HOME, cache and runtime folder for the whole benchmark, so the user's own files are never read
# or written. One warm-up run of every program fills the file and font caches; the measured runs
# then go round-robin over the programs, so a busy moment on a shared machine hits all of them.
# The other calculators are installed when missing; they are only here to be measured against.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:-$source_dir/build-startup}
runs=${RUNS:-7}
settle_ms=${SETTLE_MS:-2000}

# shellcheck source=SCRIPTDIR/../../scripts/packages.sh
source "$source_dir/scripts/packages.sh"
installPackages "${buildPackages[@]}" "${benchPackages[@]}" galculator kcalc gnome-calculator \
    qalculate-gtk

mkdir -p "$build_dir"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTCPAD_BUILD_BENCHMARKS=ON \
    >"$build_dir/configure-startup.log" 2>&1 || { cat "$build_dir/configure-startup.log"; exit 1; }
cmake --build "$build_dir" -j2 --target tcpad bench_emptywindow bench_controlswindow mapwait >/dev/null
mapwait=$build_dir/bench/startup/mapwait

declare -A command=(
    [tcpad]=$build_dir/app/tcpad
    [emptywindow]=$build_dir/bench/startup/bench_emptywindow
    [controlswindow]=$build_dir/bench/startup/bench_controlswindow
    [galculator]=galculator
    [kcalc]=kcalc
    [gnome-calculator]=gnome-calculator
    [qalculate-gtk]=qalculate-gtk
)
read -r -a programs <<<"${PROGRAMS:-tcpad emptywindow controlswindow galculator kcalc gnome-calculator qalculate-gtk}"

work=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-startup.XXXXXX")
server_pid=
wm_pid=
cleanup()
{
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -m 700 "$work/home" "$work/cache" "$work/runtime"
export HOME=$work/home XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
export XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
unset DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP DESKTOP_SESSION SESSION_MANAGER WAYLAND_DISPLAY

# The server writes its display number to the fifo once it accepts clients; openbox runs its
# start-up command once it manages windows. Both are waited for by blocking reads, not by polls.
# Each has a fifo of its own: the server may hold its end open after writing, and a second
# reader of the same fifo could then see the end of file instead of openbox's line.
mkfifo "$work/server-ready" "$work/wm-ready"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/server-ready" \
    >"$work/xvfb.log" 2>&1 &
server_pid=$!
read -r display <"$work/server-ready" || { cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$display
openbox --startup "sh -c 'echo >\"$work/wm-ready\"'" >"$work/openbox.log" 2>&1 &
wm_pid=$!
read -r _ <"$work/wm-ready" || { cat "$work/openbox.log" >&2; exit 1; }

# One run: prints "ms owner_kib tree_kib processes", or nothing when no window appeared.
measure()
{
    local config
    config=$(mktemp -d "$work/config.XXXXXX")
    # An accessibility bus started by an earlier run leaves its address on the root window; with
    # its session gone, the next program would only time out trying to reach it.
    xprop -root -remove AT_SPI_BUS 2>/dev/null
    "$mapwait" -c "$config" -s "$settle_ms" -x dbus-daemon -x dbus-run-session \
        dbus-run-session -- "${command[$1]}" 2>>"$work/programs.log" || true
    rm -rf "$config"
}

raw=$build_dir/startup-runs.txt
: >"$raw"
for program in "${programs[@]}"; do
    measure "$program" >/dev/null
done
for ((run = 1; run <= runs; ++run)); do
    for program in "${programs[@]}"; do
        result=$(measure "$program")
        if [ -n "$result" ]; then
            echo "$program $result" >>"$raw"
        else
            echo "no window from $program in run $run" >&2
        fi
    done
done

median()
{
    sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) { print "nan" } else if (NR % 2) { print v[(NR + 1) / 2] } else { print (v[NR / 2] + v[NR / 2 + 1]) / 2 } }'
}

declare -A time_ms owner_mib tree_mib processes count
for program in "${programs[@]}"; do
    count[$program]=$(awk -v p="$program" '$1 == p' "$raw" | wc -l)
    time_ms[$program]=$(awk -v p="$program" '$1 == p { print $2 }' "$raw" | median)
    owner_mib[$program]=$(awk -v p="$program" '$1 == p { print $3 / 1024 }' "$raw" | median)
    tree_mib[$program]=$(awk -v p="$program" '$1 == p { print $4 / 1024 }' "$raw" | median)
    processes[$program]=$(awk -v p="$program" '$1 == p { print $5 }' "$raw" | median)
done

ratio()
{
    awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0 && a == a + 0) printf "%.2f", a / b; else printf "–" }'
}

echo "Medians of $runs runs after one warm-up; memory read ${settle_ms} ms after the window appeared."
echo
echo "| program | runs | time to window (ms) | ratio to galculator | RSS of window's process (MiB) | ratio to galculator | RSS of all its processes (MiB) | processes |"
echo "|---|--:|--:|--:|--:|--:|--:|--:|"
for program in "${programs[@]}"; do
    printf '| %s | %d | %.1f | %s | %.1f | %s | %.1f | %s |\n' "$program" "${count[$program]}" \
        "${time_ms[$program]}" "$(ratio "${time_ms[$program]}" "${time_ms[galculator]:-0}")" \
        "${owner_mib[$program]}" "$(ratio "${owner_mib[$program]}" "${owner_mib[galculator]:-0}")" \
        "${tree_mib[$program]}" "${processes[$program]}"
done
echo
echo "Every run: $raw (program, ms, KiB of the window's process, KiB of all, processes)."
