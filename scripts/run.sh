#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs what tcpad needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
installPackages "${buildPackages[@]}" "${runPackages[@]}"

# Every option this build relies on is named, as build/ may be kept from the test command, which
# makes warnings errors.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTCPAD_WERROR=OFF -DTCPAD_SANITIZE=OFF \
    -DTCPAD_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target tcpad
exec build/app/tcpad
