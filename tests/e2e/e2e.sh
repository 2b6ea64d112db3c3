#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# End-to-end suite: the real tcpad binary on a private X server with a real window manager, for
# what only a real display shows: keys from the X server, the automatic copy and paste as the
# focus leaves and comes back, the window manager's state of the window, and every way the program
# ends; and a paste from a clipboard owner that hangs, sends a huge text or sends it in pieces.
# Keys and focus go through xdotool, the clipboard through xclip, window state through xprop.
#
# usage: e2e.sh path/to/tcpad path/to/clipowner path/to/tst_desktopclipboard
set -u

tcpad=$(realpath "$1")
clipowner=$(realpath "$2")
readings=$(realpath "$3")
work=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-e2e.XXXXXX")
export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/tcpad/tcpad.conf"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER

# shellcheck source=scripts/privatedesktop.sh
source "$(dirname "$0")/../../scripts/privatedesktop.sh"
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

# The desktop, with another application to move the focus to.
startDesktop()
{
    startPrivateDesktop "$work" 1280x800x24 || return 1
    xmessage -geometry 300x200+0+0 -name other "another application" >"$work/other.log" 2>&1 &
    pids+=($!)
    other=$(timeout 30 xdotool search --sync --onlyvisible --classname other | head -1)
    [ -n "$other" ] || { cat "$work/other.log"; fail "the other application's window did not appear"; }
}
startDesktop || exit 1

# Starts tcpad and gives its window the focus.
startTcpad()
{
    # Not in pids: the X server's end at exit ends it too.
    "$tcpad" >"$work/tcpad.log" 2>&1 &
    pid=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" | head -1)
    [ -n "$window" ] || fail "no tcpad window" || return 1
    comeBack
}
comeBack() { xdotool windowactivate --sync "$window"; }

display() { keys ctrl+c && xClipboard; } # the way another application reads it
# shows WHAT EXPECTED KEYS...: the keys bring the display to EXPECTED.
shows()
{
    local what=$1 expected=$2
    shift 2
    keys "$@" && waitFor "$what" "$expected" display
}
# The window manager's states that matter here, in a fixed order.
states() { xprop -id "$window" _NET_WM_STATE | grep -o 'ABOVE\|SKIP_TASKBAR\|SKIP_PAGER' | sort | xargs; }
height() { xwininfo -id "$window" | awk '/Height:/ {print $2}'; }
ended() { kill -0 "$pid" 2>/dev/null || echo yes; }

setClipboard() { printf %s "$1" | xclip -selection clipboard && waitFor clipboard "$1" xClipboard; }
# ownClipboard ARGS...: the clipboard taken by the test's own owner (see clipowner.c); it leaves as
# another program takes the clipboard, or at the end of the case.
ownClipboard()
{
    "$clipowner" "$@" >"$work/owner.log" 2>&1 &
    ownerPid=$!
    waitFor "the clipboard owned" owned head -1 "$work/owner.log"
}
# Waits for the owner to end the transfer that the paste started. Until then the suite must not
# press ctrl+c to read the display: the copy would take the clipboard from under the paste.
transferEnded() { waitFor "the transfer ended" ended sed -n 2p "$work/owner.log"; }
# leave EXPECTED: the focus moves to the other program, and automatic copy puts EXPECTED over
# that program's text; Qt reports the focus leaving late, so this waits for the copy.
leave()
{
    setClipboard elsewhere && xdotool windowactivate --sync "$other" &&
        waitFor "copied as the focus left" "$1" xClipboard
}
# growsWith KEYS...: the window, `before` tall, grows as the keys show a part of it.
growsWith()
{
    before=$(height) && keys "$@" &&
        waitFor "the window grown" yes eval '[ "$(height)" -gt "$before" ] && echo yes'
}
peakMemory() { awk '/^VmHWM:/ {print $2}' "/proc/$pid/status"; } # KiB

run()
{
    echo "--- $*"
    rm -rf "$XDG_CONFIG_HOME"
    startTcpad && "$@" && echo "    ok" || { failed=$((failed + 1)); tail -20 "$work/tcpad.log"; }
    kill -KILL "$pid" ${ownerPid:+"$ownerPid"} 2>/dev/null
    wait "$pid" ${ownerPid:+"$ownerPid"} 2>/dev/null
    ownerPid=
}

# --- the cases ------------------------------------------------------------------------------------

# Kept above, and in window-only mode also out of the task bar and the pager, with no menu bar
# and the keys still reaching the panel.
floatingAndWindowOnly()
{
    waitFor "floating from the start" ABOVE states || return 1
    before=$(height)
    keys ctrl+shift+w
    waitFor "window-only" "ABOVE SKIP_PAGER SKIP_TASKBAR" states || return 1
    [ "$(height)" -lt "$before" ] || fail "the menu bar still takes room" || return 1
    # 1 + 01:00:00:00 (keypad Enter) in frames (T) is 108001; keypad minus 1.
    shows "the display" 108000 1 plus 1 0 0 0 0 0 0 KP_Enter t KP_Subtract 1 Return
}

# Whatever ends it, the settings file holds what was set, and the next start shows it.
ending()
{
    # Tick both, pick 48, save 00:00:00:12 into Mem-4.
    shows "the display" "00:00:00:12" alt+o alt+p alt+f Down 1 2 ctrl+alt+4 || return 1
    case $1 in
    close) keys alt+F4 ;;
    display) kill "$desktopServerPid" ;;
    *) kill "-$1" "$pid" ;;
    esac
    waitFor "tcpad ended" yes ended || return 1
    [ "$1" = display ] && { startDesktop || return 1; }
    [ "$(grep -cx 'defCopy=true\|defPaste=true\|defFormat=48\|Mem-4=00:00:00:12' "$settings")" = 4 ] ||
        fail "not all set in: $(cat "$settings")" || return 1
    startTcpad || return 1
    # Mem-4 + 35, with 48 and automatic copy kept: 47 frames read so only at a rate above 47.
    keys ctrl+4 plus 3 5 Return && leave "00:00:00:47" || return 1
    setClipboard "00:00:01:00" && comeBack
    shows "pasted as the focus came back, then + 1" "00:00:01:01" Return plus 1 Return
}

# The tape, shown by its key, grows the window and takes what is keyed, Return still being "=";
# Copy Tape puts it on the clipboard; Up selects the newest line, Up again the one above, Return
# uses it; hiding the tape gives the room back.
tape()
{
    growsWith ctrl+shift+t 1 plus 2 Return ctrl+shift+c || return 1
    waitFor "Copy Tape" "$(printf '30 NDF\n  00:00:00:01\n+ 00:00:00:02\n= 00:00:00:03')" \
        xClipboard || return 1
    shows "a line used" "00:00:00:02" Up Up Return || return 1
    keys ctrl+shift+t
    waitFor "the room given back" "$before" height
}

# neverAnswered PASTE...: an owner that never sends its text, asked as PASTE asks it, as the window
# comes back (automatic paste) or by Ctrl+V: a key pressed right after shows within 0.5 s of the
# time a key takes to show with no paste waiting (timed first, as a busy machine slows the tools),
# and the paste, given up, changes nothing more.
neverAnswered()
{
    local start usual took
    start=$(date +%s%N)
    shows "a key" "00:00:00:05" 5 || return 1
    usual=$((($(date +%s%N) - start) / 1000000))
    [ "$1" = keys ] || { keys alt+o alt+p && leave "00:00:00:05"; } || return 1
    ownClipboard silent || return 1
    start=$(date +%s%N)
    "$@" && keys 1
    waitFor "the key after the paste" "00:00:00:51" display || return 1
    took=$((($(date +%s%N) - start) / 1000000))
    echo "    the key showed after $took ms, against $usual ms with no paste waiting"
    [ $((took - usual)) -lt 500 ] || fail "more than 500 ms later" || return 1
    sleep 0.6
    waitFor "the display after the deadline" "00:00:00:51" display
}

# A text of SIZE bytes from an owner that sends it in pieces of PIECE bytes (INCR), as owners send
# long texts: coming back to the window shows its first 12 characters, the twelfth not ASCII,
# whether the pieces are read to the end or, past 64 KiB, no further. Peak memory grows by far less
# than the text, and the next paste, of a short text in one piece, works.
pastesALongText()
{
    local size=$1 piece=$2 before
    { printf '00:00:01:00\303\251'; head -c "$size" /dev/zero | tr '\0' 7; } >"$work/long.txt"
    keys alt+o alt+p 5 && leave "00:00:00:05" || return 1
    ownClipboard incr "$piece" "$work/long.txt" || return 1
    before=$(peakMemory)
    comeBack && transferEnded || return 1
    waitFor "pasted" "00:00:01:00é" display || return 1
    echo "    peak memory grew from $before to $(peakMemory) KiB"
    [ $(($(peakMemory) - before)) -lt 5120 ] || fail "by 5 MiB or more" || return 1
    setClipboard "00:00:02:00" && keys ctrl+v
    waitFor "pasted again" "00:00:02:00" display
}

# Multiplying and dividing by a count from the keyboard, * and / on the main keys and the keypad.
multiplyAndDivide()
{
    shows "01:00:00:00 × 3 =" "03:00:00:00" 1 0 0 0 0 0 0 asterisk 3 Return &&
        shows "00:44:00:00 ÷ 4 =" "00:11:00:00" Delete 4 4 0 0 0 0 KP_Divide 4 KP_Enter &&
        shows "2 × 2 ÷ 2 =" "00:00:00:02" Delete 2 KP_Multiply 2 slash 2 Return
}

# The real-time line, shown by its key, grows the window; with 01:00:00:00 keyed at 30 NDF, Copy
# Real Time (the last item of the Window menu, the action the line's right-click menu holds too)
# puts the 29.97 figure on the clipboard; hiding the line gives the room back. Then at 24 with the
# fractional rate on, as on a first start: a clock time keyed after S reads at 23.976; the
# real-time figure Copy Real Time copies pastes back as the same frame; Convert To 25 (the last
# menu of Calculator, its fifth rate) keeps an hour's duration, and the format list goes to 25,
# which its setting, written as the list changes, shows.
realTimeAndRates()
{
    growsWith ctrl+shift+r 1 0 0 0 0 0 0 && setClipboard "stale" && keys alt+w Up Return &&
        waitFor "Copy Real Time" "01:00:03.600" xClipboard && keys ctrl+shift+r &&
        waitFor "the room given back" "$before" height || return 1
    shows "S 2 3 1 2 5 0 =" "00:02:31:02" Delete alt+f Up Up Up s 2 3 1 2 5 0 Return ctrl+shift+r &&
        shows "the real time pasted back" "00:02:31:02" alt+w Up Return Delete ctrl+v Return &&
        shows "Convert To 25" "01:00:03:15" Delete 1 0 0 0 0 0 0 Return \
            alt+c Up Up Right Down Down Down Down Return || return 1
    grep -qx defFormat=25 "$settings" || fail "the format list: $(grep defFormat "$settings")"
}

# The clipboard's reads on their own, from owners that answer in other types or go mid-transfer.
echo "--- $(basename "$readings")"
"$readings" || failed=$((failed + 1))
run floatingAndWindowOnly
run multiplyAndDivide
run realTimeAndRates
run tape
run neverAnswered comeBack
run neverAnswered keys ctrl+v
run pastesALongText $((50 * 1024 * 1024)) $((256 * 1024))
run pastesALongText $((200 * 1024)) 4096
run pastesALongText 20000 4096
for how in close TERM INT HUP display KILL; do
    run ending "$how"
done
echo "e2e: $failed failed"
[ "$failed" -eq 0 ]
