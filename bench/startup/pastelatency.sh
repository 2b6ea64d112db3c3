#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Paste latency on X11: from the window becoming active to the display holding a 12-character text
# that xclip holds on the clipboard, through tcpad's clipboard and through Qt's read, on a private
# Xvfb with openbox. Extra arguments go to the benchmark (e.g. --benchmark_repetitions=5).
#
# Usage: bench/startup/pastelatency.sh [BUILD_DIR] [BENCHMARK_ARGS...]
#        (default BUILD_DIR: build-startup beside the sources)
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:-$source_dir/build-startup}
shift || true

# shellcheck source=SCRIPTDIR/../../scripts/packages.sh
source "$source_dir/scripts/packages.sh"
installPackages "${buildPackages[@]}" "${benchPackages[@]}" xclip
mkdir -p "$build_dir"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTCPAD_BUILD_BENCHMARKS=ON \
    >"$build_dir/configure-paste.log" 2>&1 || { cat "$build_dir/configure-paste.log"; exit 1; }
cmake --build "$build_dir" -j2 --target bench_pastelatency >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/tcpad-paste.XXXXXX")
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
unset WAYLAND_DISPLAY SESSION_MANAGER
export DBUS_SESSION_BUS_ADDRESS=disabled:
# shellcheck source=SCRIPTDIR/../../scripts/privatedesktop.sh
source "$source_dir/scripts/privatedesktop.sh"
startPrivateDesktop "$work" 1280x800x24

export TCPAD_PASTE_TEXT="00:00:01:02é"
printf '%s' "$TCPAD_PASTE_TEXT" | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ "$(timeout 2 xclip -selection clipboard -o 2>/dev/null)" = "$TCPAD_PASTE_TEXT" ] && break
    sleep 0.1
done
"$build_dir/bench/startup/bench_pastelatency" "$@"
