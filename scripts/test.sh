#!/usr/bin/env bash
# Installs what the build and the tests need, builds everything warning-free and runs every test:
# the CTest suite (core, panel, store, application, packaging and the X11 end-to-end suite), the
# same unit suites again under AddressSanitizer and UndefinedBehaviorSanitizer, and a bounded run
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

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTCPAD_WERROR=ON \
    -DTCPAD_SANITIZE=ON -DTCPAD_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ctest --output-on-failure -j"$jobs" -LE 'e2e|install')

if command -v clang++ >/dev/null; then
    echo "== fuzzers"
    scripts/run-fuzzers.sh build-fuzz 30
fi
