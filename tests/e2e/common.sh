# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Helpers of the end-to-end suites. Sourced.

fail() { echo "    FAIL: $*"; return 1; }

# Keys to the focused X11 window (through XWayland too), with the modifiers held by nobody else.
keys() { xdotool key --clearmodifiers --delay 30 "$@"; }

# waitFor WHAT EXPECTED COMMAND...: runs COMMAND until it prints EXPECTED, for up to ten seconds
# (the machine may be busy, and Qt reports the focus leaving only 400 ms after it left).
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
