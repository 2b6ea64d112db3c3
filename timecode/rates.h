// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The rates video really runs at, and moving a frame count from one of them to another.
//
// Every format counts at its nominal rate N, but the picture runs at N or at N x 1000/1001
// ("pulled down": 23.976 rather than 24). A rate is kept as the pair (counting, pulled down), so
// that every ratio between two rates is a ratio of small integers and all the work here is exact.
#pragma once

#include "timecode/timecode.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace timecode {

/// A rate as the trade writes it, and the format and rate of the calculator it stands for.
struct Rate
{
    /// "23.976", "25", "29.97 DF": drop frame is marked, since 29.97 also counts without it.
    std::string_view text;
    /// The title of its format in formatTable.
    std::string_view formatTitle;
    /// Whether the picture runs at 1000/1001 of the format's rate.
    bool pulledDown = false;

    constexpr Counting counting() const noexcept { return formatForTitle(formatTitle).counting(); }
};

/// Every rate the calculator converts between, slowest first, each once.
inline constexpr std::array<Rate, 21> rateTable{{
    {"16", "16", false},         {"18", "18", false},           {"23.976", "24", true},
    {"24", "24", false},         {"25", "25", false},           {"29.97", "30 NDF", true},
    {"29.97 DF", "30 DF", true}, {"30", "30 NDF", false},       {"47.952", "48", true},
    {"48", "48", false},         {"50", "50", false},           {"59.94", "60 NDF", true},
    {"59.94 DF", "60 DF", true}, {"60", "60 NDF", false},       {"72", "72", false},
    {"95.904", "96", true},      {"96", "96", false},           {"100", "100", false},
    {"119.88", "120 NDF", true}, {"119.88 DF", "120 DF", true}, {"120", "120 NDF", false},
}};

/// The rate whose text this is, compared whole and exactly; nothing for any other text.
std::optional<Rate> rateForText(std::string_view text) noexcept;

/// Whether the counting's picture runs at 1000/1001 of its rate, given the user's choice of the
/// fractional rate: never at 16, 18, 25, 50, 72 and 100, always under drop frame (which exists
/// only at the slower rate), as chosen at 24, 48, 96 and 30, 60 and 120 without drop frame.
bool isPulledDown(Counting counting, bool fractionalRate) noexcept;

/// Whether the user's choice of the fractional rate makes a difference to the counting.
bool fractionalRateChoosable(Counting counting) noexcept;

/// The frame count at the second rate that lasts as long as `frames` at the first: the nearest,
/// a half frame rounded up, not reduced to a day. Exact for the rates of rateTable and every
/// count; a result past 2^64 - 1 (only a count near the top of the range, going to a faster
/// rate, gets there) gives 2^64 - 1. A counting without frames (rate 0) to convert from gives 0.
std::uint64_t framesForSameDuration(std::uint64_t frames, Counting from, bool fromPulledDown,
                                    Counting to, bool toPulledDown) noexcept;

/// How fast the picture plays when frames made at the first rate are shown at the second, in
/// percent with three decimals, the last rounded half up: "104.167" from 24 to 25. A counting
/// without frames to play from gives the empty text.
std::string conformSpeedText(Counting from, bool fromPulledDown, Counting to, bool toPulledDown);

} // namespace timecode
