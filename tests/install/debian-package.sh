#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the Debian package with CPack, checks its contents, dependencies and description, has
# lintian find no error or warning in it, unpacks it and starts the unpacked binary headless to
# see that it runs.
set -euo pipefail
buildDir=$1
workDir=$2
rm -rf "$workDir"
mkdir -p "$workDir"

(cd "$buildDir" && cpack -G DEB -B "$workDir" >"$workDir/cpack.log" 2>&1) || {
    cat "$workDir/cpack.log"
    exit 1
}
deb=$(ls "$workDir"/tcpad_*.deb)
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/tcpad ./usr/share/applications/tcpad.desktop \
            ./usr/share/icons/hicolor/scalable/apps/tcpad.svg \
            ./usr/share/metainfo/io.github.tcpad.tcpad.metainfo.xml; do
    grep -q " $path\$" <<<"$contents" || { echo "package lacks $path"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libqt6widgets6 qt6-qpa-plugins; do
    grep -q "$dependency" <<<"$depends" || { echo "package does not depend on $dependency: $depends"; exit 1; }
done
# CPack joins a list's items with ';', which would then open a line of the long description.
description=$(dpkg-deb -f "$deb" Description)
! grep -q '^ ;' <<<"$description" || { echo "stray ';' in the description:"; echo "$description"; exit 1; }
# Informational and pedantic tags are advice; errors and warnings are faults.
lintian --tag-display-limit 0 --fail-on error,warning "$deb" || { echo "lintian finds faults"; exit 1; }

dpkg-deb -x "$deb" "$workDir/root"
export XDG_CONFIG_HOME="$workDir/config"
QT_QPA_PLATFORM=offscreen "$workDir/root/usr/bin/tcpad" &
pid=$!
sleep 2
if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" || true
    echo "the packaged tcpad did not keep running"
    exit 1
fi
kill -TERM "$pid"
wait "$pid" || true
echo "package $(basename "$deb") is complete and starts"
