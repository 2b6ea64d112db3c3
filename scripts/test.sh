#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs what the build and the tests need, builds everything warning-free and runs every test:
# the CTest suite (core, panel, store, application, packaging and the X11 and Wayland end-to-end
# suites), the unit suites and the Wayland end-to-end suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a bounded run of each fuzz target when clang is present. Ends with
# one line counting what passed and failed, named by TCPAD_RESULT_NAME (default "tcpad").
#
# TCPAD_SANITIZERS=0 leaves out the runs under the sanitizers, TCPAD_FUZZ=0 the fuzzers, and
# TCPAD_FUZZ_SECONDS sets each fuzz target's time (30): for a second pass on another release, where
# they would repeat what the first pass showed. TCPAD_EXTRA_PACKAGES names Debian packages to add,
# such as another set of fonts the window's tests must hold with.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
read -r -a extraPackages <<<"${TCPAD_EXTRA_PACKAGES:-}"
installPackages "${buildPackages[@]}" "${testPackages[@]}" "${benchPackages[@]}" \
    "${extraPackages[@]}" || exit 1

jobs=$(nproc)
passed=0
failed=0

# Runs CTest in a build folder and adds its counts to the totals.
runSuite()
{
    local dir=$1
    shift
    (cd "$dir" && ctest --output-on-failure -j"$jobs" "$@") | tee "$dir/ctest-summary.log"
    local summary total failures
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$dir/ctest-summary.log")
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    failures=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    if [ -z "$total" ]; then
        echo "no CTest summary in $dir"
        failed=$((failed + 1))
        return
    fi
    passed=$((passed + total - failures))
    failed=$((failed + failures))
}

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTCPAD_WERROR=ON -DTCPAD_SANITIZE=OFF \
    -DTCPAD_BUILD_BENCHMARKS=ON >/dev/null &&
    cmake --build build -j"$jobs" || exit 1

# The window's tests check what a user sees in whatever fonts the machine has; say which.
echo "== tests, with the fixed-pitch font $(fc-match monospace 2>/dev/null)"
runSuite build

# Noto Sans Mono, which many desktops carry, is one whose fixed pitch Qt does not report. Where it
# is installed but fontconfig prefers another monospace font, the window's tests run once more with
# it preferred, so that they are shown to hold with it too.
if fc-list 'Noto Sans Mono' 2>/dev/null | grep -q . &&
    ! fc-match monospace 2>/dev/null | grep -q 'Noto Sans Mono'; then
    notoFirst=$(mktemp "${TMPDIR:-/tmp}/tcpad-fonts.XXXXXX")
    cat >"$notoFirst" <<'CONF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <alias binding="strong"><family>monospace</family><prefer><family>Noto Sans Mono</family></prefer></alias>
</fontconfig>
CONF
    export FONTCONFIG_FILE=$notoFirst
    echo "== window tests, with the fixed-pitch font $(fc-match monospace 2>/dev/null)"
    runSuite build -R '^tst_window'
    unset FONTCONFIG_FILE
    rm -f "$notoFirst"
fi

if [ "${TCPAD_SANITIZERS:-1}" != 0 ]; then
    echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTCPAD_WERROR=ON \
        -DTCPAD_SANITIZE=ON -DTCPAD_BUILD_BENCHMARKS=OFF >/dev/null &&
        cmake --build build-sanitize -j"$jobs" || exit 1
    runSuite build-sanitize -LE 'e2e|install'
    # The Wayland clipboard is exercised only by its end-to-end suite; a fault there, or memory it
    # leaves unfreed, ends tcpad with an error and fails the case.
    runSuite build-sanitize -R '^e2e_wayland$'
fi

if [ "${TCPAD_FUZZ:-1}" != 0 ] && command -v clang++ >/dev/null; then
    echo "== fuzzers"
    scripts/run-fuzzers.sh build-fuzz "${TCPAD_FUZZ_SECONDS:-30}" | tee build-fuzz-summary.log
    status=${PIPESTATUS[0]}
    passed=$((passed + $(grep -c ': ok,' build-fuzz-summary.log)))
    found=$(grep -c -E '^[[:alnum:]_]+: FAILED' build-fuzz-summary.log)
    # Targets that could not be built print no line of their own: that is one failure, not none.
    if [ "$status" -ne 0 ] && [ "$found" -eq 0 ]; then
        found=1
    fi
    failed=$((failed + found))
fi

echo "${TCPAD_RESULT_NAME:-tcpad}: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
