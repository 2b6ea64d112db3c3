// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Per-call cost of writing and reading timecode text, ours against libavutil's helpers, on the same
// frames and the same texts. Each benchmark walks a fixed pseudo-random spread of frames across
// the day, so neither side profits from a repeated input or a predictable branch.
#include "timecode/timecode.h"

extern "C" {
#include <libavutil/timecode.h>
}

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t sampleCount = 4096; // a power of two, so the walk wraps with a mask

struct Sample
{
    const char *name;
    timecode::Counting counting;
    AVRational rate;
    AVTimecode peer{};
    std::vector<std::uint64_t> frames{};
    std::vector<std::string> texts{};
};

/// Fills the sample with frames from splitmix64 (a fixed, portable sequence, so every run times
/// the same frames) and their texts. Answers whether both sides write the same texts and read the
/// same frame counts back: if they differ, the comparison means nothing.
bool prepare(Sample &sample)
{
    const int flags =
        AV_TIMECODE_FLAG_24HOURSMAX | (sample.counting.dropFrame ? AV_TIMECODE_FLAG_DROPFRAME : 0);
    if (av_timecode_init(&sample.peer, sample.rate, flags, 0, nullptr) != 0) {
        return false;
    }
    std::uint64_t state = 0x2545f4914f6cdd1d;
    char buffer[AV_TIMECODE_STR_SIZE];
    for (std::size_t i = 0; i < sampleCount; ++i) {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
        z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
        const std::uint64_t frame = (z ^ (z >> 31)) % sample.counting.framesPerDay();
        std::string text = timecode::timecodeText(frame, sample.counting);
        AVTimecode parsed;
        if (text != av_timecode_make_string(&sample.peer, buffer, static_cast<int>(frame)) ||
            av_timecode_init_from_string(&parsed, sample.rate, text.c_str(), nullptr) != 0 ||
            static_cast<std::uint64_t>(parsed.start) != frame ||
            timecode::framesFromTimecodeText(text, sample.counting) != frame) {
            return false;
        }
        sample.frames.push_back(frame);
        sample.texts.push_back(std::move(text));
    }
    return true;
}

/// Registers NAME/SAMPLE, which runs the call on one sample index after the other.
template <typename Call>
void walk(const std::string &name, const Sample &sample, Call call)
{
    benchmark::RegisterBenchmark((name + "/" + sample.name).c_str(),
                                 [call](benchmark::State &state) {
                                     std::size_t i = 0;
                                     for (auto _ : state) {
                                         call(i);
                                         i = (i + 1) & (sampleCount - 1);
                                     }
                                 });
}

} // namespace

int main(int argc, char **argv)
{
    static Sample samples[] = {{"30DF", {30, true}, {30000, 1001}}, {"25", {25, false}, {25, 1}}};
    for (Sample &sample : samples) {
        if (!prepare(sample)) {
            std::fprintf(stderr, "ours and libavutil's disagree on %s\n", sample.name);
            return 1;
        }
        const Sample *s = &sample;
        walk("formatOurs", sample, [s](std::size_t i) {
            benchmark::DoNotOptimize(timecode::timecodeText(s->frames[i], s->counting));
        });
        walk("formatPeer", sample, [s](std::size_t i) {
            // The bare call, with the text left in its buffer: the peer is timed at its cheapest.
            char buffer[AV_TIMECODE_STR_SIZE];
            benchmark::DoNotOptimize(
                av_timecode_make_string(&s->peer, buffer, static_cast<int>(s->frames[i])));
            benchmark::ClobberMemory();
        });
        walk("parseOurs", sample, [s](std::size_t i) {
            benchmark::DoNotOptimize(timecode::framesFromTimecodeText(s->texts[i], s->counting));
        });
        walk("parsePeer", sample, [s](std::size_t i) {
            AVTimecode parsed;
            benchmark::DoNotOptimize(
                av_timecode_init_from_string(&parsed, s->rate, s->texts[i].c_str(), nullptr));
            benchmark::DoNotOptimize(parsed.start);
        });
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
