// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Every frame of the day at each of the 21 rates, written as real time and read back as clock
// time: the time per frame of the round trip, and a check that it gives every frame back. The
// core test samples the same property; this walks all of it, too long for the test run. Exits
// non-zero when a frame does not come back.
#include "timecode/clock.h"
#include "timecode/rates.h"
#include "timecode/realtime.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

int failures = 0;

void roundTrip(benchmark::State &state, timecode::Rate rate)
{
    const timecode::Counting counting = rate.counting();
    for (auto _ : state) {
        for (std::uint64_t frame = 0; frame < counting.framesPerDay(); ++frame) {
            const std::string text = timecode::realTimeText(frame, counting, rate.pulledDown);
            if (timecode::framesFromClockText(text, counting, rate.pulledDown) != frame) {
                ++failures;
                state.SkipWithError(
                    ("frame " + std::to_string(frame) + " reads back from " + text + " as another")
                        .c_str());
                return;
            }
        }
    }
    state.SetItemsProcessed(
        static_cast<std::int64_t>(state.iterations() * counting.framesPerDay()));
}

} // namespace

int main(int argc, char **argv)
{
    for (const timecode::Rate &rate : timecode::rateTable) {
        benchmark::RegisterBenchmark(("roundTripDay/" + std::string(rate.text)).c_str(), roundTrip,
                                     rate)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (failures > 0) {
        std::fprintf(stderr, "%d rate(s) did not give every frame back\n", failures);
    }
    return failures > 0 ? 1 : 0;
}
