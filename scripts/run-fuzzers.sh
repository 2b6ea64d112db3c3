#!/bin/sh

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the libFuzzer targets with clang, warnings as errors, in BUILD_DIR and runs each for
# SECONDS on a copy of its seed corpus. Prints one line per target; exits non-zero when a target
# finds anything (a failed check, a crash, a sanitizer report) or cannot be built. Without clang++
# it skips.
#
# Usage: scripts/run-fuzzers.sh BUILD_DIR SECONDS
set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR SECONDS" >&2
    exit 2
fi
build_dir=$1
seconds=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)

if ! command -v clang++ >/dev/null 2>&1; then
    echo "run-fuzzers: clang++ not found, fuzzing skipped"
    exit 0
fi

mkdir -p "$build_dir"
if ! CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -DTCPAD_BUILD_BENCHMARKS=OFF \
        -DTCPAD_WERROR=ON >"$build_dir/fuzz-configure.log" 2>&1; then
    cat "$build_dir/fuzz-configure.log" >&2
    echo "run-fuzzers: configuring with clang++ failed" >&2
    exit 1
fi
if ! grep -q '^CMAKE_CXX_COMPILER_ID:.*Clang\|^CMAKE_CXX_COMPILER:.*clang' "$build_dir/CMakeCache.txt"; then
    echo "run-fuzzers: $build_dir was configured with another compiler; use a fresh folder" >&2
    exit 1
fi
if ! cmake --build "$build_dir" -j2 \
        --target fuzz_timecode_text fuzz_frame_count_text fuzz_clock_text fuzz_panel \
        fuzz_settings \
        >"$build_dir/fuzz-build.log" 2>&1; then
    cat "$build_dir/fuzz-build.log" >&2
    echo "run-fuzzers: building the fuzz targets failed" >&2
    exit 1
fi

status=0
for pair in fuzz_timecode_text:timecode_text fuzz_frame_count_text:frame_count_text \
    fuzz_clock_text:clock_text fuzz_panel:panel fuzz_settings:settings; do
    target=${pair%%:*}
    corpus=${pair#*:}
    work=$build_dir/fuzz-run/$target
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp "$source_dir/fuzz/corpus/$corpus"/* "$work/corpus/"

    # The panel targets load fontconfig through Qt, which keeps caches it never frees. Their
    # settings files go to memory, where flushing them to the disk costs nothing.
    TMPDIR=/dev/shm LSAN_OPTIONS="suppressions=$source_dir/fuzz/lsan.supp:print_suppressions=0" \
    "$build_dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/" "$work/corpus" >"$work/log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
    inputs=$(ls "$work/corpus" | wc -l)
    findings=$(ls "$work/artifacts" | wc -l)
    if [ "$rc" -eq 0 ] && [ "$findings" -eq 0 ]; then
        echo "$target: ok, ${runs:-?} runs in ${seconds} s, corpus grew to $inputs inputs"
    else
        echo "$target: FAILED (exit $rc, $findings finding(s) in $work/artifacts, log $work/log)"
        # What the target said, without libFuzzer's progress lines, and each small finding as
        # base64: a run in a root file system that is removed afterwards leaves only this output.
        grep -v -E '^#[0-9]|^INFO:|^ +"|Uses: [0-9]' "$work/log" | tail -n 40 | sed 's/^/    /'
        for finding in "$work/artifacts"/*; do
            [ -f "$finding" ] && [ "$(stat -c %s "$finding")" -le 4096 ] &&
                echo "    $(basename "$finding"): $(base64 -w 0 "$finding")"
        done
        status=1
    fi
done
exit $status
