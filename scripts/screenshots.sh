#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Takes pictures of the tcpad window on a private X display with the openbox window manager: at normal
# scale, at twice the scale, in a dark palette, shrunk to its minimum and grown large, with the
# tape shown in a light and a dark palette, with the real-time line shown, and with a clock time
# keyed in place of the operand. Each picture shows
# the same short calculation under way, keyed with xdotool, so the display, the pending sign and
# the mode label all carry text.
#
# usage: scripts/screenshots.sh OUTDIR [BUILDDIR]
#   BUILDDIR (default: build) must hold app/tcpad and tests/app/tcpad-palette-preview.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 OUTDIR [BUILDDIR]" >&2
    exit 2
fi
cd "$(dirname "$0")/.."
# shellcheck source=scripts/packages.sh
source scripts/packages.sh
screenshotPackages=(xvfb xauth openbox xdotool x11-utils imagemagick)
installPackages "${screenshotPackages[@]}"

mkdir -p "$1"
outdir=$(realpath "$1")
build=$(realpath "${2:-build}")
tcpad="$build/app/tcpad"
preview="$build/tests/app/tcpad-palette-preview"
for program in "$tcpad" "$preview"; do
    [ -x "$program" ] || { echo "missing $program: build first" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-shots.XXXXXX")
pids=()
cleanup()
{
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR QT_QPA_PLATFORMTHEME SESSION_MANAGER

source "$(dirname "$0")/privatedesktop.sh"
startPrivateDesktop "$work" 1600x1200x24 || exit 1

# shot NAME [SIZE] [KEYS] -- COMMAND...: starts COMMAND with fresh settings, keys 00:10:00:00 + 15
# frames (leaving the addition pending) and then KEYS, optionally resizes the window to SIZE
# (WIDTHxHEIGHT), and saves the window's content as OUTDIR/NAME.png.
shot()
{
    local name=$1 size=$2 more=$3
    shift 4
    local config="$work/config-$name"
    mkdir -p "$config"
    XDG_CONFIG_HOME="$config" "$@" >"$work/$name.log" 2>&1 &
    local pid=$!
    pids+=("$pid")
    local window
    window=$(timeout 10 xdotool search --sync --onlyvisible --pid "$pid" | head -1)
    [ -n "$window" ] || { echo "no window for $name" >&2; cat "$work/$name.log" >&2; return 1; }
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    sleep 0.3
    # shellcheck disable=SC2086 # the keys are separate words
    xdotool key --clearmodifiers --delay 40 1 0 0 0 0 0 plus 1 5 $more
    if [ -n "$size" ]; then
        xdotool windowsize --sync "$window" "${size%x*}" "${size#*x}" >/dev/null 2>&1 || true
    fi
    # Move the pointer off the window so no key shows a hover highlight.
    xdotool mousemove 1590 1190
    sleep 0.5
    import -window "$window" -strip "$outdir/$name.png"
    echo "$name: $(identify -format '%wx%h' "$outdir/$name.png")"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# The tape under a finished calculation, with a division that left frames over and a result that
# went past midnight, and a new calculation under way.
tape="Return slash 4 Return plus 2 3 5 9 0 0 0 0 Return Delete ctrl+shift+t 5 plus 1 0"
shot light "" "" -- "$tcpad"
shot scaled "" "" -- env QT_SCALE_FACTOR=2 "$tcpad"
shot dark "" "" -- "$preview" dark
shot smallest 10x10 "" -- "$tcpad"
shot grown 620x520 "" -- "$tcpad"
shot tape "" "$tape" -- "$tcpad"
shot tape-dark "" "$tape" -- "$preview" dark
# The real-time line under the pending operand, in both palettes, and at twice the scale with the
# window shrunk to its minimum.
shot realtime "" "ctrl+shift+r" -- "$tcpad"
shot realtime-dark "" "ctrl+shift+r" -- "$preview" dark
shot realtime-smallest-scaled 10x10 "ctrl+shift+r" -- env QT_SCALE_FACTOR=2 "$tcpad"
# The operand cleared and keyed again as a clock time, 00:02:31.250, with the real-time line.
clock="Escape s 2 3 1 2 5 0 ctrl+shift+r"
shot clock "" "$clock" -- "$tcpad"
shot clock-dark "" "$clock" -- "$preview" dark
