#!/usr/bin/env bash
# Installs what the build and the tests need, builds everything warning-free and runs every test:
# the CTest suite (core, panel, store, application and the X11 end-to-end suite) and a bounded run
# of each fuzz target when clang is present.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
installPackages "${buildPackages[@]}" "${testPackages[@]}" "${benchPackages[@]}"

jobs=$(nproc)
echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTCPAD_WERROR=ON >/dev/null
cmake --build build -j"$jobs"

echo "== tests"
(cd build && ctest --output-on-failure -j"$jobs")

if [ -x scripts/run-fuzzers.sh ]; then
    echo "== fuzzers"
    scripts/run-fuzzers.sh build-fuzz 30
fi
