// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "timecode/realtime.h"

#include "timecode/rates.h"

namespace timecode {

namespace {

// GCC and clang both offer 128-bit integers; __extension__ says so under -Wpedantic.
__extension__ typedef unsigned __int128 Wide;

// Whole units of a duration, written with at least `width` digits.
std::string padded(std::uint64_t value, std::size_t width)
{
    std::string text = std::to_string(value);
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

} // namespace

std::string realTimeText(std::uint64_t frames, Counting counting, bool pulledDown)
{
    if (counting.frameRate == 0) {
        return std::string();
    }
    // frames x 1000 / rate milliseconds, or x 1001 at the slower rate: up to 74 bits, more than
    // the count itself (2^64 - 1 frames at 16 last 2^70 ms). Halves round up by adding half the
    // divisor before dividing; the hours then fit in 64 bits again.
    const Wide scaled = Wide{frames} * (pulledDown ? 1001 : 1000);
    const Wide rate = counting.frameRate;
    const Wide milliseconds = (scaled * 2 + rate) / (rate * 2);
    const auto hours = static_cast<std::uint64_t>(milliseconds / 3'600'000);
    const auto withinHour = static_cast<std::uint64_t>(milliseconds % 3'600'000);
    return padded(hours, 2) + ':' + padded(withinHour / 60'000, 2) + ':' +
           padded(withinHour / 1000 % 60, 2) + '.' + padded(withinHour % 1000, 3);
}

std::optional<std::string> realTimeRateText(Counting counting, bool pulledDown)
{
    if (!pulledDown) {
        return std::to_string(counting.frameRate);
    }
    // The slower rate's text without a drop-frame mark: 29.97 runs as fast with it as without.
    for (const Rate &rate : rateTable) {
        const Counting counted = rate.counting();
        if (rate.pulledDown && !counted.dropFrame && counted.frameRate == counting.frameRate) {
            return std::string(rate.text);
        }
    }
    return std::nullopt;
}

std::vector<RealTimeFigure> realTimeFigures(std::uint64_t frames, Counting counting,
                                            bool pulledDown)
{
    std::vector<RealTimeFigure> figures;
    if (counting.frameRate == 0) {
        return figures;
    }
    if (const std::optional<std::string> slower = realTimeRateText(counting, true)) {
        figures.push_back({realTimeText(frames, counting, true), *slower});
    }
    if (!counting.dropFrame) {
        const RealTimeFigure nominal{realTimeText(frames, counting, false),
                                     *realTimeRateText(counting, false)};
        figures.insert(pulledDown ? figures.end() : figures.begin(), nominal);
    }
    return figures;
}

} // namespace timecode
