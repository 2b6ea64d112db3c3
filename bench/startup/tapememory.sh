#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Resident memory of tcpad once idle: fresh; after the calculations that fill a tape, keyed through
# the X server with the tape hidden; and the same with the tape shown, its 1000 lines full and some
# dropped off; then fresh and keyed again with the real-time line shown, which must cost no more
# than a fraction of a MiB. For a second binary (a build from before the tape, say) fresh and
# keyed. Prints the median of RUNS launches of each, in MiB: all resident memory, and the anonymous
# part of it (heap, stacks; what the process holds for itself rather than pages of files it shares
# with others).
# Every launch gets a private Xvfb display with openbox and fresh settings.
#
# usage: bench/startup/tapememory.sh TCPAD [EARLIER_TCPAD]
# Environment: RUNS (default 5), SETTLE (seconds before reading memory, default 2).
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
runs=${RUNS:-5}
settle=${SETTLE:-2}
work=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-tapememory.XXXXXX")
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER
# shellcheck source=scripts/privatedesktop.sh
source "$source_dir/scripts/privatedesktop.sh"
startPrivateDesktop "$work" 1280x800x24 >/dev/null

# One launch of BINARY in MODE (fresh, keyed or full): prints the idle resident and anonymous KiB.
measure()
{
    local binary=$1 mode=$2 config="$work/config" pid window kib anon
    rm -rf "$config"
    mkdir -p "$config/tcpad"
    [ "$mode" = full ] && printf '[General]\ndefTape=true\n' >"$config/tcpad/tcpad.conf"
    [ "${mode#realtime-}" != "$mode" ] &&
        printf '[General]\ndefRealTime=true\n' >"$config/tcpad/tcpad.conf"
    mode=${mode#realtime-}
    XDG_CONFIG_HOME=$config "$binary" >"$work/tcpad.log" 2>&1 &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -1)
    xdotool windowactivate --sync "$window"
    if [ "$mode" != fresh ]; then
        # "1 +" starts (the format and the operand on a tape), then each "1 =" writes two lines.
        # shellcheck disable=SC2046
        xdotool key --delay 1 1 plus $(printf '1 Return plus %.0s' $(seq 500))
    fi
    if [ "$mode" = full ]; then
        xdotool key ctrl+shift+c
        local lines
        lines=$(timeout 5 xclip -selection clipboard -o | wc -l)
        [ "$lines" -eq 1000 ] || { echo "the tape holds $lines lines, not 1000" >&2; exit 1; }
    fi
    sleep "$settle"
    kib=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
    anon=$(awk '/^RssAnon:/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$kib $anon"
}

# The median of one column of the launches' figures, in MiB.
median()
{
    cut -d' ' -f"$1" | sort -n | awk '{v[NR] = $1} END {printf "%.2f", v[int((NR + 1) / 2)] / 1024}'
}

for what in "$1 fresh" "$1 keyed" "$1 full" "$1 realtime-fresh" "$1 realtime-keyed" \
    ${2:+"$2 fresh" "$2 keyed"}; do
    read -r binary mode <<<"$what"
    figures=$(for _ in $(seq "$runs"); do measure "$binary" "$mode"; done)
    printf '%s, %s: %s MiB, anonymous %s MiB\n' "$binary" "$mode" \
        "$(median 1 <<<"$figures")" "$(median 2 <<<"$figures")"
done
