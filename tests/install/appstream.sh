#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Validates AppStream metadata with appstreamcli, offline, pedantic notes shown. Errors and warnings
# fail it, with one exception: a build configured without a homepage (TCPAD_HOMEPAGE empty, as
# tcpad has none yet) may lack the homepage link that AppStream 1.0 asks for. The same judgement for
# appstreamcli 0.16 and 1.0, which differ in what they know and in their exit codes.
#
# usage: appstream.sh validate FILE | validate-tree FOLDER  [HOMEPAGE]
set -uo pipefail
command=$1 target=$2 homepage=${3:-}
options=(--no-net)
[ "$command" = validate ] && options+=(--pedantic)
output=$(appstreamcli "$command" "${options[@]}" "$target" 2>&1)
status=$?
printf '%s\n' "$output"
[ $status -eq 0 ] && exit 0
allowed='^$'
[ -n "$homepage" ] || allowed=': url-homepage-missing$'
faults=$(grep -E '^ *[EW]: ' <<<"$output" | grep -vE "$allowed")
# A failure without a single fault that it names (a file it cannot read) is a failure too.
if [ -n "$faults" ] || ! grep -qE '^ *[EW]: ' <<<"$output"; then
    exit 1
fi
echo "(allowed: tcpad has no homepage)"
