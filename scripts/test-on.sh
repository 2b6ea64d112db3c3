#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs the README's test command on another Debian release: makes a fresh, minimal root file
# system of that release with mmdebstrap, copies this source tree into root's home there, mounts
# what the tests need and runs scripts/test.sh inside as root, as a new user of that release
# would. The root file system, its mounts and every process started in it are gone afterwards,
# whether the tests pass, fail or the run is interrupted. Needs root (or sudo) on the host.
#
# usage: scripts/test-on.sh RELEASE [VARIABLE=VALUE ...]
#   RELEASE          a Debian suite or code name, e.g. trixie
#   VARIABLE=VALUE   passed to the test command, e.g. TCPAD_FUZZ=0 to leave out the fuzzers
# The test command's own result line is printed last, under the release's name.
set -uo pipefail
[ $# -ge 1 ] || { sed -n '/^# usage/,/^# The test/p' "$0"; exit 2; }
release=$1
shift
cd "$(dirname "$0")/.."
source scripts/packages.sh
installPackages mmdebstrap || exit 1

asRoot=()
[ "$(id -u)" -eq 0 ] || asRoot=(sudo)
work=$(mktemp -d "${TMPDIR:-/var/tmp}/tcpad-$release.XXXXXX")
root=$work/root
mounts=()
maker=

# Everything this script set up goes, in reverse order: processes still running inside the root
# (a hung compositor, an X server), then the mounts, then the root itself.
cleanUp()
{
    local pid i
    if [ -n "$maker" ]; then
        # mmdebstrap undoes its own mounts when asked to stop.
        "${asRoot[@]}" kill -TERM "$maker" 2>/dev/null
        wait "$maker" 2>/dev/null
    fi
    for pid in /proc/[0-9]*; do
        [ "$("${asRoot[@]}" readlink "$pid/root" 2>/dev/null)" = "$root" ] &&
            "${asRoot[@]}" kill -KILL "${pid#/proc/}" 2>/dev/null
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        "${asRoot[@]}" umount "${mounts[i]}" 2>/dev/null || "${asRoot[@]}" umount -l "${mounts[i]}"
    done
    # Only once nothing is mounted below it, so that a failed unmount never deletes the host's /dev.
    if ! grep -q " $work/" /proc/mounts; then
        "${asRoot[@]}" rm -rf --one-file-system "$work"
    else
        echo "left $work in place: something is still mounted there"
    fi
}
trap cleanUp EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

mountIn()
{
    local target=$root$1
    shift
    "${asRoot[@]}" mount "$@" "$target" && mounts+=("$target")
}

echo "== a fresh Debian $release in $root"
# In the background, here and below, so that a signal is handled at once rather than when the
# command in the foreground has ended.
"${asRoot[@]}" mmdebstrap --quiet --variant=apt "$release" "$root" &
maker=$!
wait "$maker" || exit 1
maker=
mountIn /proc -t proc proc &&
    mountIn /sys -t sysfs sysfs &&
    mountIn /dev --bind /dev &&
    mountIn /dev/pts --bind /dev/pts &&
    mountIn /dev/shm -t tmpfs -o mode=1777,nosuid,nodev tmpfs &&
    mountIn /run -t tmpfs -o mode=755,nosuid,nodev tmpfs || exit 1

# The sources as a checkout holds them, without build folders; from git where it can tell.
"${asRoot[@]}" mkdir -p "$root/root/tcpad"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf -
else
    tar --exclude='./build*' --exclude=./.git -cf - .
fi | "${asRoot[@]}" tar -xf - -C "$root/root/tcpad" || exit 1

echo "== scripts/test.sh on Debian $release"
"${asRoot[@]}" chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    TCPAD_RESULT_NAME="$release" "$@" \
    bash -c 'cd ~/tcpad && scripts/test.sh' </dev/null &
wait $!
