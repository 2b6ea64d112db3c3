# shellcheck shell=bash
# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# A private X desktop for scripts that drive real windows: Xvfb on a display number of its own and
# openbox as the window manager. Sourced; the caller keeps a `pids` array and kills them at exit.

# startPrivateDesktop WORKDIR SCREEN: starts both, exports DISPLAY, sets desktopServerPid to the X
# server's process, returns once openbox manages new windows (waiting up to 20 s for each, as a
# busy machine can be slow to start them).
startPrivateDesktop()
{
    local work=$1 screen=$2
    rm -f "$work/display"
    # No reset: an X server resets when its last client leaves, and a client connecting meanwhile
    # is refused; the probes below would race openbox's own connection.
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$work/display" \
        2>"$work/xvfb.log" &
    desktopServerPid=$!
    pids+=("$desktopServerPid")
    for _ in $(seq 400); do
        [ -s "$work/display" ] && break
        sleep 0.05
    done
    [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; return 1; }
    DISPLAY=":$(cat "$work/display")"
    export DISPLAY

    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    local wm=$!
    pids+=("$wm")
    for _ in $(seq 400); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        kill -0 "$wm" 2>/dev/null || { echo "openbox ended" >&2; cat "$work/openbox.log" >&2; return 1; }
        sleep 0.05
    done
    # openbox announces itself before it has finished starting, and a window mapped in between
    # can stay unmapped for good. So a probe window is mapped, again if need be, until openbox
    # lists it as managed.
    local probe managed
    for _ in $(seq 10); do
        xmessage -name tcpad-probe -geometry 1x1+0+0 probe >/dev/null 2>&1 &
        probe=$!
        managed=
        for _ in $(seq 40); do
            xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q 'window id # 0x' && managed=yes && break
            sleep 0.05
        done
        kill "$probe" 2>/dev/null || true
        wait "$probe" 2>/dev/null || true
        [ -n "$managed" ] && return 0
    done
    echo "openbox did not start" >&2
    return 1
}
