#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Key to pixels, tcpad against galculator: the time from a digit key pressed through XTest to the
# first pixels the program changed reaching the X server (the window's DamageNotify), timed by
# keypixels for the same keys on the same server in one run. tcpad runs twice: with the real-time
# line and the tape shown, the tape full (1000 lines, from 500 calculations keyed before timing),
# and with neither shown. Prints a Markdown table of the medians and the ratios to galculator's.
#
# Usage: bench/startup/keypixels.sh [BUILD_DIR]   (default: build-startup beside the sources)
# Environment: RUNS (rounds, default 7), KEYS (timed keys per program and round, default 96),
#              DIGITS (the digit keys, cycled; default 12).
#
# The digits are 1 and 2 in turn, with Escape after every eight: tcpad shifts each digit into a
# timecode that stays valid, so its real-time line changes with every key as well, and galculator
# appends each to a number that never grows long. All three windows stay open on a private Xvfb
# with openbox; each round times them in turn, starting with a different one each round, so a busy
# moment on a shared machine hits all of them. No session bus for anyone: neither program reports
# its changes to an accessibility bus.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:-$source_dir/build-startup}
runs=${RUNS:-7}
keys=${KEYS:-96}
digits=${DIGITS:-12}

# shellcheck source=SCRIPTDIR/../../scripts/packages.sh
source "$source_dir/scripts/packages.sh"
installPackages "${buildPackages[@]}" "${benchPackages[@]}" galculator xdotool xclip
mkdir -p "$build_dir"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTCPAD_BUILD_BENCHMARKS=ON \
    >"$build_dir/configure-keypixels.log" 2>&1 || { cat "$build_dir/configure-keypixels.log"; exit 1; }
cmake --build "$build_dir" -j2 --target tcpad keypixels >/dev/null
probe=$build_dir/bench/startup/keypixels

work=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-keypixels.XXXXXX")
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/home" "$work/cache" "$work/runtime"
export HOME=$work/home XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
export XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
export DBUS_SESSION_BUS_ADDRESS=disabled: NO_AT_BRIDGE=1 QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY SESSION_MANAGER XDG_CURRENT_DESKTOP DESKTOP_SESSION XDG_CONFIG_HOME
# shellcheck source=SCRIPTDIR/../../scripts/privatedesktop.sh
source "$source_dir/scripts/privatedesktop.sh"
startPrivateDesktop "$work" 1280x1024x24 >/dev/null

declare -A pid window
# launch NAME COMMAND...: starts it, waits for its window and records both.
launch()
{
    local name=$1
    shift
    "$@" >"$work/$name.log" 2>&1 </dev/null &
    pid[$name]=$!
    pids+=("$!")
    window[$name]=$(timeout 20 xdotool search --sync --onlyvisible --pid "$!" 2>/dev/null | head -1) ||
        true
    [ -n "${window[$name]}" ] || { echo "no window: $name" >&2; cat "$work/$name.log" >&2; exit 1; }
}

# tcpad's kept settings, each launch in a config folder of its own.
mkdir -p "$work/config-galculator"
for shown in true false; do
    mkdir -p "$work/config-$shown/tcpad"
    printf '[General]\ndefCopy=false\ndefPaste=false\ndefRealTime=%s\ndefTape=%s\n' "$shown" \
        "$shown" >"$work/config-$shown/tcpad/tcpad.conf"
done
launch tcpad-shown env XDG_CONFIG_HOME="$work/config-true" "$build_dir/app/tcpad"
launch tcpad-hidden env XDG_CONFIG_HOME="$work/config-false" "$build_dir/app/tcpad"
launch galculator env XDG_CONFIG_HOME="$work/config-galculator" galculator

# Fill the shown tape: "1 +" starts it, each "1 =" writes two lines; 500 of them go past its 1000
# lines, so every result drops the oldest. Its copy (ctrl+shift+c) proves it is full. The "+" left
# pending makes the timed digits an operand.
timeout 20 xdotool windowactivate --sync "${window[tcpad-shown]}" 2>/dev/null
# shellcheck disable=SC2046
timeout 120 xdotool key --delay 1 1 plus $(printf '1 Return plus %.0s' $(seq 500))
timeout 10 xdotool key ctrl+shift+c
lines=$(timeout 5 xclip -selection clipboard -o | wc -l)
[ "$lines" -eq 1000 ] || { echo "the tape holds $lines lines, not 1000" >&2; exit 1; }

programs=(tcpad-shown tcpad-hidden galculator)
raw=$build_dir/keypixels-runs.txt
: >"$raw"
loadBefore=$(cut -d' ' -f1-3 /proc/loadavg)
# One warm-up run of each, not counted.
for program in "${programs[@]}"; do
    timeout 300 "$probe" -p "${pid[$program]}" -n 16 -k "$digits" >/dev/null || true
done
for ((run = 1; run <= runs; ++run)); do
    for ((i = 0; i < ${#programs[@]}; ++i)); do
        program=${programs[(i + run) % ${#programs[@]}]}
        # Each key's "key DIGIT FIRST LAST EVENTS", then the run's summary.
        if ! timeout 600 "$probe" -p "${pid[$program]}" -n "$keys" -k "$digits" -a \
            >"$work/run.txt"; then
            echo "run $run of $program: some keys drew nothing or the run failed" >&2
        fi
        awk -v p="$program" -v r="$run" '$1 == "key" { print p, r, "key", $3, $4, $5; next }
            NF == 9 { print p, r, "run", $3, $6, $2 }' "$work/run.txt" >>"$raw"
    done
done
loadAfter=$(cut -d' ' -f1-3 /proc/loadavg)

# quantile PROGRAM KIND COLUMN P: of the rows of that program and kind ("key" or "run").
quantile()
{
    awk -v p="$1" -v k="$2" -v c="$3" '$1 == p && $3 == k { print $c }' "$raw" | sort -g |
        awk -v q="$4" '{ v[NR] = $1 } END {
            if (!NR) { print "nan"; exit }
            at = q * (NR - 1); b = int(at)
            printf "%.3f\n", b + 1 < NR ? v[b + 1] + (at - b) * (v[b + 2] - v[b + 1]) : v[b + 1] }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "–" }'; }

echo "$runs rounds of $keys keys ($digits cycled, Escape after every 8) after one warm-up;"
echo "load average $loadBefore before, $loadAfter after."
echo
declare -A title=([tcpad-shown]="tcpad, real-time line and full tape shown"
    [tcpad-hidden]="tcpad, neither shown" [galculator]=galculator)
echo "| program | first pixels: median of runs (ms) | runs from – to | all keys: median (quartiles) | repaint complete: median of runs | ratio to galculator (goal for tcpad: at most 0.5) |"
echo "|---|--:|--:|--:|--:|--:|"
galculator_ms=$(quantile galculator run 4 0.5)
for program in "${programs[@]}"; do
    ms=$(quantile "$program" run 4 0.5)
    printf '| %s | %s | %s – %s | %s (%s – %s) | %s | %s |\n' "${title[$program]}" "$ms" \
        "$(quantile "$program" run 4 0)" "$(quantile "$program" run 4 1)" \
        "$(quantile "$program" key 4 0.5)" "$(quantile "$program" key 4 0.25)" \
        "$(quantile "$program" key 4 0.75)" "$(quantile "$program" run 5 0.5)" \
        "$(ratio "$ms" "$galculator_ms")"
done
missed=$(awk '$3 == "run" { n += $6 } END { print n + 0 }' "$raw")
echo
echo "Keys that drew nothing: $missed. Every key and run: $raw"
echo "(program, round, \"key\", first ms, last ms, damage events; or \"run\", median first ms,"
echo "median last ms, keys missed)."
