// Per-call cost of writing and reading timecode text, ours against libavutil's helpers, on the same
// frames and the same texts. Each benchmark walks a fixed pseudo-random spread of frames across
// the day, so neither side profits from a repeated input or a predictable branch.
#include "timecode/timecode.h"

extern "C" {
#include <libavutil/timecode.h>
}

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t sampleCount = 4096; // a power of two, so the walk wraps with a mask
constexpr std::uint64_t sampleSeed = 0x2545f4914f6cdd1d;

struct Sample
{
    timecode::Counting counting;
    AVRational rate;
    int flags;
    std::vector<std::uint64_t> frames;
    std::vector<std::string> texts;
};

/// splitmix64: a fixed, portable sequence, so every run and every machine times the same frames.
std::uint64_t nextRandom(std::uint64_t &state)
{
    std::uint64_t z = (state += 0x9e3779b97f4a7c15);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
    z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
    return z ^ (z >> 31);
}

Sample makeSample(timecode::Counting counting, AVRational rate)
{
    Sample sample{counting,
                  rate,
                  AV_TIMECODE_FLAG_24HOURSMAX |
                      (counting.dropFrame ? AV_TIMECODE_FLAG_DROPFRAME : 0),
                  {},
                  {}};
    std::uint64_t state = sampleSeed;
    for (std::size_t i = 0; i < sampleCount; ++i) {
        const std::uint64_t frame = nextRandom(state) % counting.framesPerDay();
        sample.frames.push_back(frame);
        sample.texts.push_back(timecode::timecodeText(frame, counting));
    }
    return sample;
}

const Sample &sample30Df()
{
    static const Sample sample = makeSample({30, true}, {30000, 1001});
    return sample;
}

const Sample &sample25()
{
    static const Sample sample = makeSample({25, false}, {25, 1});
    return sample;
}

/// Both sides must agree on every sample before either is timed, or the comparison means nothing.
bool sidesAgree(const Sample &sample, benchmark::State &state)
{
    AVTimecode peer;
    if (av_timecode_init(&peer, sample.rate, sample.flags, 0, nullptr) != 0) {
        state.SkipWithError("libavutil refuses this counting");
        return false;
    }
    char buffer[AV_TIMECODE_STR_SIZE];
    for (std::size_t i = 0; i < sampleCount; ++i) {
        if (sample.texts[i] !=
            av_timecode_make_string(&peer, buffer, static_cast<int>(sample.frames[i]))) {
            state.SkipWithError("the written texts differ");
            return false;
        }
        AVTimecode parsed;
        if (av_timecode_init_from_string(&parsed, sample.rate, sample.texts[i].c_str(), nullptr) !=
                0 ||
            static_cast<std::uint64_t>(parsed.start) != sample.frames[i] ||
            timecode::framesFromTimecodeText(sample.texts[i], sample.counting) !=
                sample.frames[i]) {
            state.SkipWithError("the read frame counts differ");
            return false;
        }
    }
    return true;
}

void formatOurs(benchmark::State &state, const Sample &(*which)())
{
    const Sample &sample = which();
    if (!sidesAgree(sample, state)) {
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = timecode::timecodeText(sample.frames[i], sample.counting);
        benchmark::DoNotOptimize(text);
        i = (i + 1) & (sampleCount - 1);
    }
}

void formatPeer(benchmark::State &state, const Sample &(*which)())
{
    const Sample &sample = which();
    if (!sidesAgree(sample, state)) {
        return;
    }
    AVTimecode peer;
    av_timecode_init(&peer, sample.rate, sample.flags, 0, nullptr);
    char buffer[AV_TIMECODE_STR_SIZE];
    std::size_t i = 0;
    for (auto _ : state) {
        // The bare call, without copying the text out: the peer is timed at its cheapest.
        char *text = av_timecode_make_string(&peer, buffer, static_cast<int>(sample.frames[i]));
        benchmark::DoNotOptimize(text);
        benchmark::ClobberMemory();
        i = (i + 1) & (sampleCount - 1);
    }
}

void parseOurs(benchmark::State &state, const Sample &(*which)())
{
    const Sample &sample = which();
    if (!sidesAgree(sample, state)) {
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        std::optional<std::uint64_t> frames =
            timecode::framesFromTimecodeText(sample.texts[i], sample.counting);
        benchmark::DoNotOptimize(frames);
        i = (i + 1) & (sampleCount - 1);
    }
}

void parsePeer(benchmark::State &state, const Sample &(*which)())
{
    const Sample &sample = which();
    if (!sidesAgree(sample, state)) {
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        AVTimecode parsed;
        int status =
            av_timecode_init_from_string(&parsed, sample.rate, sample.texts[i].c_str(), nullptr);
        benchmark::DoNotOptimize(status);
        benchmark::DoNotOptimize(parsed.start);
        i = (i + 1) & (sampleCount - 1);
    }
}

} // namespace

BENCHMARK_CAPTURE(formatOurs, 30DF, sample30Df);
BENCHMARK_CAPTURE(formatPeer, 30DF, sample30Df);
BENCHMARK_CAPTURE(parseOurs, 30DF, sample30Df);
BENCHMARK_CAPTURE(parsePeer, 30DF, sample30Df);
BENCHMARK_CAPTURE(formatOurs, 25, sample25);
BENCHMARK_CAPTURE(formatPeer, 25, sample25);
BENCHMARK_CAPTURE(parseOurs, 25, sample25);
BENCHMARK_CAPTURE(parsePeer, 25, sample25);

BENCHMARK_MAIN();
