#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Every source file states its licence. reuse skips what git ignores only where git is installed
# and the source is a checkout; so that the answer is the same everywhere, it lints a copy of the
# source without the build folders, the files .gitignore names.
#
# usage: licensing.sh SOURCE-FOLDER WORK-FOLDER
set -euo pipefail
rm -rf "$2"
mkdir -p "$2"
tar -C "$1" --exclude-vcs --exclude='./build*' --exclude=./.cache --exclude=compile_commands.json \
    --exclude='*.user' -cf - . | tar -C "$2" -xf -
reuse --root "$2" lint
