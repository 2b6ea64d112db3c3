#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# End-to-end suite in a Wayland session: the real tcpad binary on a headless sway, beside a native
# Wayland program (foot) and an X11 one (xmessage). First through XWayland, tcpad's route on every
# other compositor: the automatic copy must reach either kind of program, whichever has the focus;
# Ctrl+C too; the automatic paste takes what a native program copied; the window rule of
# docs/window.md floats the window on every workspace; and where XWayland refuses tcpad it runs
# natively. Then natively, as tcpad chooses on sway, on a screen scaled by 1.5 (or each scale in
# TCPAD_E2E_SCALES): drawn at that scale, floating on every workspace by the rule, and automatic copy
# and paste as before. The Wayland clipboard is read and written with wl-paste and wl-copy, the X one
# with xclip, keys and focus go through xdotool and swaymsg.
#
# usage: wayland.sh path/to/tcpad [path/to/window.md]
set -u

tcpad=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
rules=$(realpath "${2:-$here/../../docs/window.md}")

# sway refuses to run as root, and XWayland takes clients of its own user only: as root, the suite
# runs as an unprivileged user of its own, made when missing, on copies it can read.
if [ "$(id -u)" -eq 0 ]; then
    user="tcpad-e2e"
    id "$user" >/dev/null 2>&1 || useradd --system --no-create-home "$user" || exit 1
    copies=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-wayland.XXXXXX")
    cp "$tcpad" "$here/wayland.sh" "$here/common.sh" "$here/qt-leaks.supp" "$copies/"
    cp "$rules" "$copies/window.md"
    chmod -R a+rX "$copies"
    # The programs it starts inherit the working folder, which may be under a home that only root
    # can enter (Debian 13 makes /root 0700): a terminal there fails to start.
    cd "$copies" || exit 1
    runuser -u "$user" -- "$copies/wayland.sh" "$copies/tcpad" "$copies/window.md" &
    suite=$!
    trap 'kill "$suite"; wait "$suite"; rm -rf "$copies"; exit 1' TERM INT HUP
    wait "$suite"
    status=$?
    rm -rf "$copies"
    exit $status
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-wayland.XXXXXX")
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK QT_QPA_PLATFORM SESSION_MANAGER XDG_SESSION_TYPE \
    XDG_CURRENT_DESKTOP
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Under the sanitizers, what Qt's own start-up leaves unfreed is not tcpad's leak; any other is.
export LSAN_OPTIONS="suppressions=$here/qt-leaks.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# shellcheck source=tests/e2e/common.sh
source "$here/common.sh"

# The compositor, with the documented rule, a native Wayland program and an X11 one.
{
    echo "xwayland enable"
    echo "exec env > $XDG_RUNTIME_DIR/session"
    grep '^for_window' "$rules"
} >"$work/sway.conf"
WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
WAIT_SECONDS=20 waitFor "sway's session" 1 grep -sc '^SWAYSOCK=' "$XDG_RUNTIME_DIR/session"
eval "$(grep -E '^(WAYLAND_DISPLAY|DISPLAY|SWAYSOCK)=' "$XDG_RUNTIME_DIR/session" | sed 's/^/export /')"
[ -n "${DISPLAY:-}" ] || { echo "sway did not start"; cat "$work/sway.log"; exit 1; }
foot --app-id other-wayland >"$work/foot.log" 2>&1 &
pids+=($!)
xmessage -name other-x11 "another application" >"$work/xmessage.log" 2>&1 &
pids+=($!)

# A question to sway; with criteria it succeeds only when a window matches them.
ask() { timeout 5 swaymsg "$@" >/dev/null 2>&1; }
matches() { ask "[$1] nop" && echo yes; }
focus() { waitFor "$1 exists" yes matches "$1" && ask "[$1] focus"; }
# wl-copy stays behind to serve its text, so it must not hold the suite's output open.
copy() { timeout 5 wl-copy "$1" >/dev/null 2>&1; }
# The first X11 program starts XWayland, and each program of a user new to the machine may first
# build its font cache: on a slow machine that takes longer than a window usually does. Should
# either program not show, what it and the compositor said tells why.
othersShown()
{
    ask "[app_id=other-wayland] nop" && printf 'foot '
    ask "[instance=other-x11] nop" && printf xmessage
}
if ! WAIT_SECONDS=30 waitFor "the other programs' windows" "foot xmessage" othersShown; then
    tail -n 20 "$work/foot.log" "$work/xmessage.log" "$work/sway.log"
    exit 1
fi

wlClipboard() { timeout 2 wl-paste --no-newline 2>/dev/null; }
tcpadWindow='class="^tcpad$"'

# Starts tcpad with a new settings file and the clipboard holding a text of its own, gives it the
# focus and keys a random number of frames, the `display`. Without sway's socket, tcpad takes the
# route it takes on any other compositor, through XWayland.
startTcpad()
{
    rm -rf "$XDG_CONFIG_HOME"
    copy "seed $RANDOM$RANDOM"
    env -u SWAYSOCK "$tcpad" >"$work/tcpad.log" 2>&1 &
    pid=$!
    focus "$tcpadWindow" || return 1
    display="00:00:00:$((10 + RANDOM % 20))"
    keys "${display:9:1}" "${display:10:1}"
}

# Runs a case; tcpad must then end cleanly when asked to (under the sanitizers, a fault found as it
# tidies up fails the case too), within ten seconds.
run()
{
    echo "--- $*"
    pid=
    if "${start:-startTcpad}" && "$@"; then
        stop "$pid" && { echo "    ok"; return; }
        fail "tcpad ended with $?"
    elif [ -n "$pid" ]; then
        stop "$pid"
    fi
    failed=$((failed + 1))
    # What tcpad said, without the protocol log of a native run.
    grep -v '^\[[0-9. ]*\] ' "$work/tcpad.log" | tail -20
}

# --- the cases ------------------------------------------------------------------------------------

# With automatic copy ticked, the focus moves to another program, which reads the display.
copiedAsFocusMovesTo() { keys alt+o && focus "$1" && waitFor "copied" "$display" "$2"; }

copiedOnCommand()
{
    keys ctrl+c
    waitFor "on the Wayland clipboard" "$display" wlClipboard &&
        focus instance=other-x11 && waitFor "on the X clipboard" "$display" xClipboard
}

# A native program copies a timecode with more after it, the `pasted` one; with automatic copy and
# paste ticked, coming back pastes its first 12 characters (the twelfth not ASCII), and they are
# what automatic copy gives back when the focus leaves again.
pastedAndCopiedBack()
{
    pasted="00:00:$((10 + RANDOM % 50)):$((10 + RANDOM % 20))é"
    focus app_id=other-wayland && copy "$pasted$RANDOM" && focus "$tcpadWindow" &&
        focus app_id=other-wayland && waitFor "pasted and copied again" "$pasted" wlClipboard
}
pastesWhatANativeProgramCopied()
{
    keys alt+o alt+p && focus app_id=other-wayland &&
        waitFor "copied as the focus left" "$display" wlClipboard && pastedAndCopiedBack
}

floatsOnEveryWorkspace()
{
    ask workspace 2
    waitFor "floating on workspace 2" yes matches "$tcpadWindow floating workspace=2"
    local found=$?
    ask workspace 1
    return $found
}

# Without access to XWayland (no X server on the display it is given), tcpad runs on Wayland
# itself, where the rule for its application id floats it.
startWithoutXWayland()
{
    local n
    for n in $(seq 90 199); do
        [ ! -e "/tmp/.X11-unix/X$n" ] && ! timeout 2 xdpyinfo -display ":$n" >/dev/null 2>&1 && break
    done
    # Under the sanitizers, stacks unwound in full to reach Qt's frames past libwayland's.
    DISPLAY=:$n ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0" \
        env -u SWAYSOCK "$tcpad" >"$work/tcpad.log" 2>&1 &
    pid=$!
}
runsNatively() { waitFor "a native window" yes matches 'app_id="^tcpad$" floating'; }

run copiedAsFocusMovesTo app_id=other-wayland wlClipboard
run copiedAsFocusMovesTo instance=other-x11 xClipboard
run copiedOnCommand
run pastesWhatANativeProgramCopied
run floatsOnEveryWorkspace
start=startWithoutXWayland run runsNatively

# --- natively, as tcpad chooses on sway ----------------------------------------------------------

# Starts tcpad as a sway session would, with a new settings file that ticks automatic copy and
# paste (xdotool reaches no native window), logging what it asks of the compositor, and gives it
# the focus. Its display is empty, which it does not copy.
startNative()
{
    rm -rf "$XDG_CONFIG_HOME"
    mkdir -p "$XDG_CONFIG_HOME/tcpad"
    printf '[General]\ndefCopy=true\ndefPaste=true\n' >"$XDG_CONFIG_HOME/tcpad/tcpad.conf"
    # Under the sanitizers, stacks unwound in full to reach Qt's frames past libwayland's.
    WAYLAND_DEBUG=1 ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0" \
        "$tcpad" >"$work/tcpad.log" 2>&1 &
    pid=$!
    focus "$tcpadWindow"
}

# The width of the last buffer tcpad handed the compositor against its window's width on the
# screen, in hundredths, answered as the output's `scale` when it is that or more: the compositor
# then shows the window unstretched, or shrinks it (sway 1.7 asks for whole scales), crisp either
# way. Through XWayland it would be 100 at any scale.
drawnScale()
{
    local geometry buffer drawn
    geometry=$(grep -o 'set_window_geometry([0-9]*, [0-9]*, [0-9]*' "$work/tcpad.log" | tail -1)
    buffer=$(grep -o 'create_buffer(new id [^,]*, [0-9]*, [0-9]*' "$work/tcpad.log" | tail -1)
    [ -n "$geometry" ] && [ -n "$buffer" ] || return
    drawn=$(((${buffer##* } * 100 + ${geometry##* } / 2) / ${geometry##* }))
    echo $((drawn < scale ? drawn : scale))
}

# Drawn at the scale and floating on every workspace; then a native program's copy pasted as the
# focus comes back, its first 12 characters copied again as the focus leaves for a native program,
# and for an X11 one. One case, as each start of tcpad costs the suite a second or more.
nativeOnSway()
{
    waitFor "drawn at the output's scale or above" "$scale" drawnScale && floatsOnEveryWorkspace &&
        pastedAndCopiedBack && focus "$tcpadWindow" && focus instance=other-x11 &&
        waitFor "on the X clipboard" "$pasted" xClipboard
}

start=startNative tcpadWindow='app_id="^tcpad$"'
for value in ${TCPAD_E2E_SCALES:-1.5}; do
    echo "--- natively at scale $value"
    scale=$(awk -v s="$value" 'BEGIN { printf "%d", s * 100 + 0.5 }')
    ask output '*' scale "$value" || { fail "sway took no scale $value"; failed=$((failed + 1)); }
    run nativeOnSway
done
echo "wayland e2e: $failed failed"
[ "$failed" -eq 0 ]
