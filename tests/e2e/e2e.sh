#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# End-to-end suite: the real tcpad binary on a private X server with a real window manager, for
# what only a real display shows: keys from the X server, the automatic copy and paste as the
# focus leaves and comes back, the window manager's state of the window, and every way the program
# ends. Keys and focus go through xdotool, the clipboard through xclip, window state through xprop.
#
# usage: e2e.sh path/to/tcpad
set -u

tcpad=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-e2e.XXXXXX")
export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/tcpad/tcpad.conf"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER
# No session bus, so none is started behind the suite's back and left running.
export DBUS_SESSION_BUS_ADDRESS=disabled:
failed=0 pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

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
    xdotool windowactivate --sync "$window"
}

clipboard() { timeout 2 xclip -selection clipboard -o 2>/dev/null; }
display() { keys ctrl+c && clipboard; } # the way another application reads it
# The window manager's states that matter here, in a fixed order.
states() { xprop -id "$window" _NET_WM_STATE | grep -o 'ABOVE\|SKIP_TASKBAR\|SKIP_PAGER' | sort | xargs; }
height() { xwininfo -id "$window" | awk '/Height:/ {print $2}'; }
ended() { kill -0 "$pid" 2>/dev/null || echo yes; }

setClipboard() { printf '%s' "$1" | xclip -selection clipboard -i && waitFor clipboard "$1" clipboard; }

run()
{
    echo "--- $*"
    rm -rf "$XDG_CONFIG_HOME"
    startTcpad && "$@" && echo "    ok" || { failed=$((failed + 1)); tail -20 "$work/tcpad.log"; }
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
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
    keys 1 plus 1 0 0 0 0 0 0 KP_Enter t KP_Subtract 1 Return
    waitFor "the display" 108000 display
}

# Whatever ends it, the settings file holds what was set, and the next start shows it.
ending()
{
    keys alt+o alt+p alt+f Down 1 2 ctrl+alt+4 # tick both, pick 48, save 00:00:00:12 into Mem-4
    waitFor "the display" "00:00:00:12" display || return 1
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
    # Mem-4 + 35: 47 frames read so only at a rate above 47.
    keys ctrl+4 plus 3 5 Return
    setClipboard "stale" && xdotool windowactivate --sync "$other"
    waitFor "Mem-4, the format and the copy as the focus left" "00:00:00:47" clipboard || return 1
    setClipboard "00:00:01:00" && xdotool windowactivate --sync "$window"
    keys Return plus 1 Return
    waitFor "pasted as the focus came back, then + 1" "00:00:01:01" display
}

# The tape, shown by its key, grows the window and takes what is keyed, Return still being "=";
# Copy Tape puts it on the clipboard; Up selects the newest line, Up again the one above, Return
# uses it; hiding the tape gives the room back.
tape()
{
    local before
    before=$(height)
    keys ctrl+shift+t 1 plus 2 Return ctrl+shift+c
    waitFor "the window grown" yes eval '[ "$(height)" -gt "$before" ] && echo yes' || return 1
    waitFor "Copy Tape" "$(printf '30 NDF\n  00:00:00:01\n+ 00:00:00:02\n= 00:00:00:03')" \
        clipboard || return 1
    keys Up Up Return
    waitFor "a line used" "00:00:00:02" display || return 1
    keys ctrl+shift+t
    waitFor "the room given back" "$before" height
}

# The real-time line, shown by its key, grows the window; with 01:00:00:00 keyed at 30 NDF, Copy
# Real Time (the last item of the Window menu, the action the line's right-click menu holds too)
# puts the 29.97 figure on the clipboard; hiding the line gives the room back.
realTime()
{
    local before
    before=$(height)
    keys ctrl+shift+r 1 0 0 0 0 0 0
    waitFor "the window grown" yes eval '[ "$(height)" -gt "$before" ] && echo yes' || return 1
    setClipboard "stale" || return 1
    keys alt+w Up Return
    waitFor "Copy Real Time" "01:00:03.600" clipboard || return 1
    keys ctrl+shift+r
    waitFor "the room given back" "$before" height
}

run floatingAndWindowOnly
run realTime
run tape
for how in close TERM INT HUP display KILL; do
    run ending "$how"
done
echo "e2e: $failed failed"
[ "$failed" -eq 0 ]
