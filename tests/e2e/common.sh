# shellcheck shell=bash
# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Helpers of the end-to-end suites. Sourced. No step may wait forever: a display server or
# compositor that stops answering fails the suite instead of hanging it.

# Sourced once the suite has made its `work` folder: whatever the suite starts goes in `pids`, and
# at exit is ended and the folder removed. No session bus, so none is started behind the suite's
# back and left running.
export DBUS_SESSION_BUS_ADDRESS=disabled:
# shellcheck disable=SC2034 # counted by the suites
failed=0 pids=()
# shellcheck disable=SC2154 # made by the suite before it sources this
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

fail() { echo "    FAIL: $*"; return 1; }
xClipboard() { timeout 2 xclip -selection clipboard -o 2>/dev/null; }

# Keys to the focused X11 window (through XWayland too), with the modifiers held by nobody else.
keys() { timeout 30 xdotool key --clearmodifiers --delay 30 "$@"; }

# stop PID: ends a program as the desktop does (SIGTERM) and answers its exit status; one that has
# not ended ten seconds later is killed, and that answers 137.
stop()
{
    kill "$1" 2>/dev/null
    timeout 10 tail --pid="$1" -s 0.1 -f /dev/null || kill -KILL "$1" 2>/dev/null
    wait "$1"
}

# Ended by CTest's time limit or by hand, a suite still runs its EXIT trap and stops what it started.
trap 'exit 1' TERM INT HUP

# waitFor WHAT EXPECTED COMMAND...: runs COMMAND until it prints EXPECTED, for up to ten seconds,
# or WAIT_SECONDS when set (the machine may be busy, and Qt reports the focus leaving only 400 ms
# after it left).
waitFor()
{
    local what=$1 expected=$2 got
    shift 2
    for _ in $(seq $((${WAIT_SECONDS:-10} * 10))); do
        got=$("$@")
        [ "$got" = "$expected" ] && return 0
        sleep 0.1
    done
    fail "$what: expected '$expected', got '$got'"
}
