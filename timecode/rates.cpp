// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "timecode/rates.h"

#include <algorithm>
#include <limits>

namespace timecode {

namespace {

// GCC and clang both offer 128-bit integers; __extension__ says so under -Wpedantic.
__extension__ typedef unsigned __int128 Wide;

// A rate as N x factor / 1001 frames a second: the pulled-down rate and the nominal one share a
// denominator, so a ratio of two rates is a ratio of these two integers (at most 120 x 1001).
Wide scaledRate(Counting counting, bool pulledDown)
{
    return Wide{counting.frameRate} * (pulledDown ? 1000 : 1001);
}

// numerator / denominator to the nearest integer, halves up; the denominator is not 0.
Wide nearest(Wide numerator, Wide denominator)
{
    return (numerator * 2 + denominator) / (denominator * 2);
}

} // namespace

std::optional<Rate> rateForText(std::string_view text) noexcept
{
    const auto found = std::ranges::find(rateTable, text, &Rate::text);
    return found == rateTable.end() ? std::nullopt : std::optional<Rate>(*found);
}

bool isPulledDown(Counting counting, bool fractionalRate) noexcept
{
    const bool slowerExists = std::ranges::any_of(rateTable, [counting](const Rate &rate) {
        return rate.pulledDown && rate.counting().frameRate == counting.frameRate;
    });
    return slowerExists && (counting.dropFrame || fractionalRate);
}

bool fractionalRateChoosable(Counting counting) noexcept
{
    return isPulledDown(counting, true) != isPulledDown(counting, false);
}

std::uint64_t framesForSameDuration(std::uint64_t frames, Counting from, bool fromPulledDown,
                                    Counting to, bool toPulledDown) noexcept
{
    if (from.frameRate == 0) {
        return 0;
    }
    // frames x to / from: up to 2^64 x 120 x 1001, under 2^82.
    const Wide result =
        nearest(Wide{frames} * scaledRate(to, toPulledDown), scaledRate(from, fromPulledDown));
    constexpr std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
    return result > most ? most : static_cast<std::uint64_t>(result);
}

std::string conformSpeedText(Counting from, bool fromPulledDown, Counting to, bool toPulledDown)
{
    if (from.frameRate == 0) {
        return {};
    }
    // In thousandths of a percent: to / from x 100 000.
    const auto thousandths = static_cast<std::uint64_t>(
        nearest(scaledRate(to, toPulledDown) * 100'000, scaledRate(from, fromPulledDown)));
    std::string decimals = std::to_string(thousandths % 1000);
    decimals.insert(0, 3 - decimals.size(), '0');
    return std::to_string(thousandths / 1000) + '.' + decimals;
}

} // namespace timecode
