#!/bin/sh

# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the timecode benchmark in Release mode and prints, for writing and for reading timecode
# text, our time per call against libavutil's and the ratio of the two.
#
# Usage: bench/run-timecode.sh [BUILD_DIR]   (default: build-bench beside the sources)
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build-bench}
result=$build_dir/bench-timecode.json

mkdir -p "$build_dir"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTCPAD_BUILD_BENCHMARKS=ON \
    >"$build_dir/configure.log" 2>&1 || { cat "$build_dir/configure.log"; exit 1; }
cmake --build "$build_dir" -j2 --target bench_timecode >/dev/null
if [ ! -x "$build_dir/bench/bench_timecode" ]; then
    echo "bench_timecode was not built: Google Benchmark or libavutil is missing" >&2
    exit 1
fi

# Five repetitions, and the median of each: a shared machine makes single runs jumpy.
"$build_dir/bench/bench_timecode" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$result" --benchmark_out_format=json

# Medians per call, averaged over both countings for each side, then divided.
jq -r '
  [.benchmarks[] | select(.aggregate_name == "median")
   | {name: (.run_name | split("/")), ns: .cpu_time}] as $rows
  | def total(f): [$rows[] | select(.name[0] == f) | .ns] | add / length;
  def line(title; ours; peer; goal):
    "\(title): ours \(total(ours) * 10 | round / 10) ns, libavutil \(total(peer) * 10 | round / 10) ns per call, ratio \(total(ours) / total(peer) * 1000 | round / 1000) (goal at most \(goal))";
  line("formatting"; "formatOurs"; "formatPeer"; 0.1),
  line("parsing   "; "parseOurs"; "parsePeer"; 0.2)
' "$result"
