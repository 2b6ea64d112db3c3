# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Debian packages tcpad needs, and a helper that installs the missing ones. Sourced by the
# README's commands; installs as root, or through sudo when run as another user.

buildPackages=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
               libxcb1-dev libxcb-xfixes0-dev libwayland-dev)
# qt6-wayland: where XWayland refuses tcpad, it runs natively on Wayland.
runPackages=(qt6-qpa-plugins qt6-wayland)
# passwd: useradd, for the Wayland suite's own user (a minimal system lacks it).
testPackages=(dpkg-dev file passwd xvfb xauth xfonts-base openbox xdotool xclip x11-utils
              clang libclang-rt-dev desktop-file-utils appstream lintian reuse man-db groff-base
              sway xwayland foot wl-clipboard qt6-wayland)
# libxcb-damage0-dev and libxcb-xtest0-dev: the key-to-pixels probe.
benchPackages=(libbenchmark-dev libavutil-dev libxcb1-dev libxcb-damage0-dev libxcb-xtest0-dev
               xvfb openbox x11-utils dbus-daemon)

installPackages()
{
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local asRoot=()
    if [ "$(id -u)" -ne 0 ]; then
        asRoot=(sudo)
    fi
    echo "Installing ${missing[*]}"
    "${asRoot[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${asRoot[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}
