#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the Debian package with CPack, checks its contents, dependencies and description, has
# lintian find no error or warning in it, unpacks it and starts the unpacked binary headless to
# see that it runs.
#
# usage: debian-package.sh BUILD-FOLDER WORK-FOLDER [HOMEPAGE]
set -euo pipefail
workDir=$2
rm -rf "$workDir"
mkdir -p "$workDir"
fail() { printf '%s\n' "$@"; exit 1; }

(cd "$1" && cpack -G DEB -B "$workDir" >"$workDir/cpack.log" 2>&1) ||
    fail "$(cat "$workDir/cpack.log")"
deb=$(ls "$workDir"/tcpad_*.deb)
contents=$(dpkg-deb -c "$deb")
for path in bin/tcpad share/applications/tcpad.desktop share/icons/hicolor/scalable/apps/tcpad.svg \
            share/man/man1/tcpad.1.gz share/metainfo/io.github.tcpad.tcpad.metainfo.xml; do
    grep -q " ./usr/$path\$" <<<"$contents" || fail "package lacks /usr/$path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libqt6widgets6 qt6-qpa-plugins; do
    grep -q "$dependency" <<<"$depends" || fail "package does not depend on $dependency: $depends"
done
# CPack joins a list's items with ';', which would then open a line of the long description.
description=$(dpkg-deb -f "$deb" Description)
! grep -q '^ ;' <<<"$description" || fail "stray ';' in the description:" "$description"
dpkg-deb -x "$deb" "$workDir/root"
# Informational and pedantic tags are advice; errors and warnings are faults. lintian's AppStream
# check (Debian 13) is appstreamcli's, which fails metadata without a homepage: without one, the
# package's metadata is judged here as the metadata test judges it, and that one tag is let pass.
allowed='^$'
if [ -z "${3:-}" ]; then
    "$(dirname "$0")/appstream.sh" validate-tree "$workDir/root" ||
        fail "the package's AppStream metadata is not valid"
    allowed=' appstream-metadata-validation-failed( |$)'
fi
report=$(lintian --tag-display-limit 0 --fail-on none "$deb") || fail "lintian failed" "$report"
printf '%s\n' "$report"
faults=$(grep -E '^[EW]: ' <<<"$report" | grep -vE "$allowed" || true)
[ -z "$faults" ] || fail "lintian finds faults"

export XDG_CONFIG_HOME="$workDir/config"
QT_QPA_PLATFORM=offscreen "$workDir/root/usr/bin/tcpad" &
pid=$!
sleep 2
kill -TERM "$pid" || fail "the packaged tcpad did not keep running"
wait "$pid" || true
echo "package $(basename "$deb") is complete and starts"
