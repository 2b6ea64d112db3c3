#!/usr/bin/env bash
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
failed=0 pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

# shellcheck source=scripts/privatedesktop.sh
source "$(dirname "$0")/../../scripts/privatedesktop.sh"
fail() { echo "    FAIL: $*"; return 1; }

# The desktop, with another application to move the focus to.
startDesktop()
{
    startPrivateDesktop "$work" 1280x800x24 || return 1
    xmessage -geometry 300x200+0+0 -name other "another application" >/dev/null 2>&1 &
    pids+=($!)
    other=$(timeout 30 xdotool search --sync --onlyvisible --classname other | head -1)
    [ -n "$other" ] || fail "the other application's window did not appear"
}
startDesktop || exit 1

# Starts tcpad and gives its window the focus.
startTcpad()
{
    "$tcpad" >"$work/tcpad.log" 2>&1 &
    pid=$!
    pids+=("$pid")
    window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" | head -1)
    [ -n "$window" ] || fail "no tcpad window" || return 1
    xdotool windowactivate --sync "$window"
}

keys() { xdotool key --clearmodifiers --delay 30 "$@"; }
clipboard() { timeout 2 xclip -selection clipboard -o 2>/dev/null; }
display() { keys ctrl+c && clipboard; } # the way another application reads it
state() { xprop -id "$window" _NET_WM_STATE; }
height() { xwininfo -id "$window" | awk '/Height:/ {print $2}'; }
skips() { state | grep -o '_SKIP_TASKBAR\|_SKIP_PAGER' | wc -l; }
ended() { kill -0 "$pid" 2>/dev/null || echo yes; }

# waitFor WHAT EXPECTED COMMAND...: runs COMMAND until it prints EXPECTED, for up to ten seconds
# (the machine may be busy).
waitFor()
{
    local what=$1 expected=$2 got
    shift 2
    for _ in $(seq 100); do
        got=$("$@")
        [ "$got" = "$expected" ] && return 0
        sleep 0.1
    done
    fail "$what: expected '$expected', got '$got'"
}

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

keyboard()
{
    # 1 + 01:00:00:00 (keypad Enter) in frames (T) is 108001; keypad minus 1.
    keys 1 plus 1 0 0 0 0 0 0 KP_Enter t KP_Subtract 1 Return
    waitFor "the display" 108000 display
}

automaticCopyAndPaste()
{
    keys alt+o alt+p 7 2 # tick both check boxes
    setClipboard "stale" && xdotool windowactivate --sync "$other"
    waitFor "copied as the focus left" "00:00:00:72" clipboard || return 1
    setClipboard "00:00:01:00" && xdotool windowactivate --sync "$window"
    keys Return plus 1 Return
    waitFor "pasted as the focus came back, then + 1" "00:00:01:01" display
}

floatingAndWindowOnly()
{
    state | grep -q _NET_WM_STATE_ABOVE || fail "not kept above: $(state)" || return 1
    state | grep -q SKIP_TASKBAR && fail "out of the task bar from the start" && return 1
    local before
    before=$(height)
    keys ctrl+shift+w
    waitFor "skips the task bar and the pager" 2 skips || return 1
    state | grep -q _NET_WM_STATE_ABOVE || fail "no longer above: $(state)" || return 1
    [ "$(height)" -lt "$before" ] || fail "the menu bar still takes room"
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
    for line in defCopy=true defPaste=true defFormat=48 Mem-4=00:00:00:12; do
        grep -qx "$line" "$settings" || fail "no $line in: $(cat "$settings")" || return 1
    done
    startTcpad || return 1
    keys ctrl+4
    waitFor "Mem-4 after the restart" "00:00:00:12" display || return 1
    keys Escape 4 7 Return # 47 frames read so only at a rate above 47
    waitFor "the format after the restart" "00:00:00:47" display || return 1
    setClipboard "stale" && xdotool windowactivate --sync "$other"
    waitFor "automatic copy after the restart" "00:00:00:47" clipboard
}

run keyboard
run automaticCopyAndPaste
run floatingAndWindowOnly
for how in close TERM INT HUP display KILL; do
    run ending "$how"
done
echo "e2e: $failed failed"
[ "$failed" -eq 0 ]
