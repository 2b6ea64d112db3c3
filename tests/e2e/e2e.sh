#!/usr/bin/env bash
# End-to-end suite: the real tcpad binary on a private X server with a real window manager, driven
# the way a user and other applications drive it: keys and focus changes with xdotool, the
# clipboard with xclip, window state with xprop.
#
# usage: e2e.sh path/to/tcpad
set -u

tcpad=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-e2e.XXXXXX")
export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/tcpad/tcpad.conf"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER

passed=0
failed=0
pids=()

cleanup()
{
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail()
{
    echo "    FAIL: $*"
    return 1
}

# --- the private desktop ---------------------------------------------------------------------

source "$(dirname "$0")/../../scripts/privatedesktop.sh"

# The desktop and a second application whose windows must stay below ours.
startDesktop()
{
    startPrivateDesktop "$work" 1280x800x24 || return 1
    xmessage -geometry 600x400+0+0 -name other "another application" >/dev/null 2>&1 &
    pids+=($!)
    otherWindow=$(timeout 10 xdotool search --sync --onlyvisible --classname other | head -1)
}
startDesktop || exit 1

# --- helpers -------------------------------------------------------------------------------

tcpadPid=
tcpadWindow=

startTcpad()
{
    "$tcpad" >"$work/tcpad.log" 2>&1 &
    tcpadPid=$!
    pids+=($tcpadPid)
    tcpadWindow=$(timeout 10 xdotool search --sync --onlyvisible --pid "$tcpadPid" | head -1)
    [ -n "$tcpadWindow" ] || fail "no tcpad window appeared" || return 1
    activate "$tcpadWindow"
}

# Ends tcpad through its window's close button (the window manager's close) and waits for it.
closeTcpad()
{
    activate "$tcpadWindow"
    xdotool key --clearmodifiers alt+F4
    waitForExit
}

waitForExit()
{
    for _ in $(seq 100); do
        kill -0 "$tcpadPid" 2>/dev/null || { wait "$tcpadPid"; return 0; }
        sleep 0.05
    done
    fail "tcpad did not end"
}

activate()
{
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    for _ in $(seq 40); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && break
        sleep 0.05
    done
    sleep 0.2
}

keys()
{
    xdotool key --clearmodifiers --delay 30 "$@"
    sleep 0.2
}

setClipboard()
{
    printf '%s' "$1" | xclip -selection clipboard -i >/dev/null 2>&1
    sleep 0.1
}

clipboard()
{
    timeout 2 xclip -selection clipboard -o 2>/dev/null
}

# The value display, read the way another application reads it: Ctrl+C, then the clipboard.
# An empty display copies nothing, which reads here as the empty text.
display()
{
    setClipboard "(nothing copied)"
    keys ctrl+c
    local text
    text=$(clipboard)
    [ "$text" = "(nothing copied)" ] || printf '%s' "$text"
}

expectEqual()
{
    [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
}

windowState()
{
    xprop -id "$1" _NET_WM_STATE 2>/dev/null
}

writeSettings()
{
    mkdir -p "$(dirname "$settings")"
    printf '%s\n' "$@" >"$settings"
}

run()
{
    local name=$1
    shift
    echo "--- $name"
    if "$@"; then
        passed=$((passed + 1))
        echo "    ok"
    else
        failed=$((failed + 1))
        echo "    tcpad's output:"
        sed 's/^/      /' "$work/tcpad.log" 2>/dev/null | tail -20
    fi
    if [ -n "$tcpadPid" ] && kill -0 "$tcpadPid" 2>/dev/null; then
        kill -KILL "$tcpadPid"
        wait "$tcpadPid" 2>/dev/null
    fi
    tcpadPid=
}

# --- the cases -------------------------------------------------------------------------------

calculationByKeyboard()
{
    rm -rf "$XDG_CONFIG_HOME"
    startTcpad || return 1
    # 30 NDF: 1, +, 1:00:00:00, =  gives 01:00:00:01; frames mode shows 108001.
    keys 1 plus 1 0 0 0 0 0 0 Return
    expectEqual "after 1 + 01:00:00:00 =" "01:00:00:01" "$(display)" || return 1
    keys t
    expectEqual "after T/F" "108001" "$(display)" || return 1
    keys KP_Subtract 1 KP_Enter
    expectEqual "after - 1 (keypad)" "108000" "$(display)" || return 1
    keys Escape
    expectEqual "after Escape" "" "$(display)" || return 1
}

floatsAboveOthers()
{
    rm -rf "$XDG_CONFIG_HOME"
    startTcpad || return 1
    windowState "$tcpadWindow" | grep -q _NET_WM_STATE_ABOVE ||
        fail "window is not kept above: $(windowState "$tcpadWindow")" || return 1
    # The window asks for a title bar with a close button only: Motif hints with the functions
    # move, resize and close (0x26) and decorations without minimise and maximise (bits 0x20 and
    # 0x40). Window managers that honour the hints draw no other buttons; openbox, by its own
    # policy, keeps them (see the README).
    local hints
    hints=$(xprop -id "$tcpadWindow" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g')
    read -r flags functions decorations _ <<<"$hints"
    [ $((flags & 3)) -eq 3 ] || fail "no Motif functions and decorations: $hints" || return 1
    [ $((functions)) -eq $((0x26)) ] || fail "functions are not move, resize, close: $hints" || return 1
    [ $((decorations & 0x61)) -eq 0 ] ||
        fail "decorations ask for minimise or maximise: $hints" || return 1
    xprop -id "$tcpadWindow" _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_CLOSE ||
        fail "the window manager offers no close" || return 1

    # Bring the other application's window to the front: ours stays above it.
    activate "$otherWindow"
    local stacking
    stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, / /g')
    local ours theirs index=0
    for id in $stacking; do
        [ $((id)) -eq $((tcpadWindow)) ] && ours=$index
        [ $((id)) -eq $((otherWindow)) ] && theirs=$index
        index=$((index + 1))
    done
    [ -n "${ours:-}" ] && [ -n "${theirs:-}" ] && [ "$ours" -gt "$theirs" ] ||
        fail "stacking bottom to top is '$stacking'; tcpad $tcpadWindow must be above $otherWindow"
}

automaticCopyAndPaste()
{
    writeSettings "[General]" "defCopy=true" "defPaste=true"
    # Something on the clipboard before start: the first activation must not paste it.
    setClipboard "12345"
    startTcpad || return 1
    keys 7
    expectEqual "first activation pasted" "00:00:00:07" "$(display)" || return 1

    # Focus leaves: the display goes to the clipboard.
    keys 2
    setClipboard "stale"
    activate "$otherWindow"
    expectEqual "copy on focus loss" "00:00:00:72" "$(clipboard)" || return 1

    # Focus comes back: the clipboard comes into the display.
    setClipboard "00:00:01:00"
    activate "$tcpadWindow"
    keys Return plus 1 Return
    expectEqual "paste on focus gain, then + 1" "00:00:01:01" "$(display)"
}

noAutomaticExchangeByDefault()
{
    rm -rf "$XDG_CONFIG_HOME"
    startTcpad || return 1
    keys 4 2
    setClipboard "untouched"
    activate "$otherWindow"
    expectEqual "no copy on focus loss" "untouched" "$(clipboard)" || return 1
    setClipboard "00:00:09:00"
    activate "$tcpadWindow"
    expectEqual "no paste on focus gain" "00:00:00:42" "$(display)"
}

windowOnlyMode()
{
    rm -rf "$XDG_CONFIG_HOME"
    startTcpad || return 1
    if windowState "$tcpadWindow" | grep -q _NET_WM_STATE_SKIP_TASKBAR; then
        fail "window is out of the task bar before window-only mode" || return 1
    fi
    local heightBefore heightAfter
    heightBefore=$(xwininfo -id "$tcpadWindow" | awk '/Height:/ {print $2}')
    keys ctrl+shift+w
    # The window may be mapped anew when it changes kind: find it again.
    tcpadWindow=$(timeout 10 xdotool search --sync --onlyvisible --pid "$tcpadPid" | head -1)
    activate "$tcpadWindow"
    windowState "$tcpadWindow" | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
        fail "window still in the task bar: $(windowState "$tcpadWindow")" || return 1
    windowState "$tcpadWindow" | grep -q _NET_WM_STATE_ABOVE ||
        fail "window no longer above others" || return 1
    heightAfter=$(xwininfo -id "$tcpadWindow" | awk '/Height:/ {print $2}')
    [ "$heightAfter" -lt "$heightBefore" ] ||
        fail "menu bar still shown (height $heightBefore before, $heightAfter after)" || return 1
    # Everything still works from the keyboard.
    keys 5 Return
    expectEqual "keys after window-only mode" "00:00:00:05" "$(display)" || return 1
    closeTcpad
}

closeSavesAndRestartRestores()
{
    rm -rf "$XDG_CONFIG_HOME"
    startTcpad || return 1
    # Save "00:00:01:02" into Mem-2 (Ctrl+Alt+2), tick both check boxes (Alt+O, Alt+P) and pick
    # the next format (Alt+F focuses the format list, Down selects the next title).
    keys 1 0 2 ctrl+alt+2
    keys alt+o alt+p
    keys Escape alt+f Down
    closeTcpad || return 1

    [ -f "$settings" ] || fail "no settings file after closing" || return 1
    local file
    file=$(cat "$settings")
    for key in "defCopy=true" "defPaste=true" "defFormat=" "Mem-2=00:00:01:02" "Mem-9="; do
        grep -q "^$key" <<<"$file" || fail "settings file lacks '$key':"$'\n'"$file" || return 1
    done
    grep -q "^defFormat=30 NDF$" <<<"$file" && fail "format not changed:"$'\n'"$file" && return 1
    # Exactly the four settings: two booleans, the format and the nine registers.
    local keys
    keys=$(awk -F= '/^[^[]/ && NF > 1 {print $1}' "$settings" | LC_ALL=C sort | tr '\n' ' ')
    expectEqual "keys of the settings file" \
        "Mem-1 Mem-2 Mem-3 Mem-4 Mem-5 Mem-6 Mem-7 Mem-8 Mem-9 defCopy defFormat defPaste " \
        "$keys" || return 1

    startTcpad || return 1
    keys ctrl+1
    keys ctrl+2
    expectEqual "register 2 after restart" "00:00:01:02" "$(display)" || return 1
    closeTcpad || return 1
    grep -q "^defCopy=true" "$settings" || fail "check box not restored" || return 1
    [ "$(grep '^defFormat=' "$settings")" = "$(grep '^defFormat=' <<<"$file")" ] ||
        fail "format not restored"
}

terminationSignalSaves()
{
    local signal=$1
    rm -rf "$XDG_CONFIG_HOME"
    startTcpad || return 1
    keys 3 3 ctrl+alt+5
    kill "-$signal" "$tcpadPid"
    waitForExit || return 1
    grep -q "^Mem-5=00:00:00:33" "$settings" 2>/dev/null ||
        fail "register not saved on SIG$signal: $(cat "$settings" 2>/dev/null)"
}

# The session ends without asking tcpad: SIGKILL (the out-of-memory killer, a session torn down),
# or the X server going away (logout, a compositor taking XWayland with it), where Qt ends the
# process without quitting. Every change reached the file when it was made.
endingHardKeepsSettings()
{
    local how=$1 status=0
    rm -rf "$XDG_CONFIG_HOME"
    startTcpad || return 1
    # Tick automatic copy, select the format after 30 NDF (48), save 00:00:00:12 into Mem-4.
    keys alt+o alt+f Down
    keys 1 2 ctrl+alt+4
    if [ "$how" = display ]; then
        kill "$desktopServerPid"
        wait "$tcpadPid" || status=$?
        [ "$status" -ne 0 ] || fail "tcpad ended with status 0 without its display" || return 1
        startDesktop || return 1
    else
        kill -KILL "$tcpadPid"
        waitForExit || return 1
    fi
    for line in "defCopy=true" "defFormat=48" "Mem-4=00:00:00:12"; do
        grep -q "^$line\$" "$settings" 2>/dev/null ||
            fail "settings file lacks '$line': $(cat "$settings" 2>/dev/null)" || return 1
    done

    startTcpad || return 1
    keys ctrl+4
    expectEqual "register 4 after the restart" "00:00:00:12" "$(display)" || return 1
    # 47 frames read only at a rate above 47: the format came back.
    keys Escape 4 7 Return
    expectEqual "format after the restart" "00:00:00:47" "$(display)" || return 1
    setClipboard "stale"
    activate "$otherWindow"
    expectEqual "automatic copy after the restart" "00:00:00:47" "$(clipboard)"
}

corruptedSettingsStart()
{
    writeSettings "[General]" "defCopy=maybe" "defFormat=29.97 DF" "defMem=oops" \
        $'\x01\x02garbage=\xff\xfe' "[defMem" "Mem-1=@Variant(\\0\\0\\0\\x7f)"
    startTcpad || return 1
    keys 9 Return
    expectEqual "calculating after a corrupted file" "00:00:00:09" "$(display)" || return 1
    closeTcpad || return 1
    grep -q "^defFormat=30 NDF$" "$settings" || fail "bad format not replaced: $(cat "$settings")"
}

run "a calculation by keyboard, read back through Ctrl+C" calculationByKeyboard
run "the window floats above another application's window" floatsAboveOthers
run "automatic copy on focus loss and paste on focus gain" automaticCopyAndPaste
run "no automatic exchange with the check boxes off" noAutomaticExchangeByDefault
run "window-only mode" windowOnlyMode
run "closing saves, a restart restores" closeSavesAndRestartRestores
run "SIGTERM saves" terminationSignalSaves TERM
run "SIGINT saves" terminationSignalSaves INT
run "SIGHUP saves" terminationSignalSaves HUP
run "a corrupted settings file starts with defaults" corruptedSettingsStart
run "SIGKILL loses no setting" endingHardKeepsSettings KILL
run "the X server going away loses no setting" endingHardKeepsSettings display

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
