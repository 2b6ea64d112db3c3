// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "timecode/clock.h"

#include <algorithm>

namespace timecode {

namespace {

// GCC and clang both offer 128-bit integers; __extension__ says so under -Wpedantic.
__extension__ typedef unsigned __int128 Wide;

constexpr std::uint64_t nanosecondsPerSecond = 1'000'000'000;

/// The value of a field of minLength to maxLength ASCII digits; nothing for anything else. Nine
/// digits at most, so the value always fits.
std::optional<std::uint64_t> field(std::string_view text, std::size_t minLength,
                                   std::size_t maxLength) noexcept
{
    if (text.size() < minLength || text.size() > maxLength) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

} // namespace

std::optional<std::uint64_t> framesFromClockText(std::string_view text, Counting counting,
                                                 bool pulledDown) noexcept
{
    const std::size_t point = text.find_first_of(".,");
    if (point == std::string_view::npos || counting.frameRate == 0) {
        return std::nullopt;
    }
    const std::string_view decimals = text.substr(point + 1);
    std::optional<std::uint64_t> nanoseconds = field(decimals, 1, 9);
    if (!nanoseconds) {
        return std::nullopt;
    }
    for (std::size_t i = decimals.size(); i < 9; ++i) {
        *nanoseconds *= 10;
    }

    // Hours, minutes and seconds, or the last two or one of them: only the first field may be
    // longer than two digits or more than 59. At most 999 999 999 hours, under 2^42 seconds.
    std::string_view rest = text.substr(0, point);
    std::uint64_t seconds = 0;
    for (std::size_t fields = 0;; ++fields) {
        const std::size_t colon = rest.find(':');
        const std::string_view part = rest.substr(0, colon);
        const std::optional<std::uint64_t> value =
            fields == 0 ? field(part, 1, 9) : field(part, 2, 2);
        if (!value || (fields > 0 && *value > 59) || fields == 3) {
            return std::nullopt;
        }
        seconds = seconds * 60 + *value;
        if (colon == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(colon + 1);
    }

    // Nanoseconds times the rate as N x factor / 1001: under 2^72 x 2^17.
    const Wide numerator = (Wide{seconds} * nanosecondsPerSecond + *nanoseconds) *
                           counting.frameRate * (pulledDown ? 1000 : 1001);
    const Wide denominator = Wide{nanosecondsPerSecond} * 1001;
    return static_cast<std::uint64_t>((numerator * 2 + denominator) / (denominator * 2));
}

std::string clockEntryText(std::string_view digits)
{
    return laidOutDigits(digits, clockEntryWidth, '.');
}

} // namespace timecode
