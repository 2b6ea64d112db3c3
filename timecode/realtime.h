// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Real time: how long a count of frames lasts on the clock.
//
// Timecode counts frames at a nominal rate, but most broadcast and camera video runs at 1000/1001
// of it (29.97 rather than 30): there an hour of timecode lasts 3.6 seconds longer. Both figures
// are worked exactly in integers, to the millisecond.
#pragma once

#include "timecode/timecode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace timecode {

/// How long `frames` frames last at counting.frameRate frames a second, or at frameRate x
/// 1000/1001 when pulledDown, as "HH:MM:SS.mmm": hours as two digits or more (no wrap at a day),
/// rounded to the nearest millisecond with halves up; a rounding that reaches a whole second
/// carries into it. Exact for every count. A counting without frames (rate 0) gives the empty text.
std::string realTimeText(std::uint64_t frames, Counting counting, bool pulledDown);

/// The rate as written beside a real-time figure, and as the rate in use: "30", or "29.97" when
/// pulled down (under drop frame too). A rate without a 1000/1001 variant has no pulled-down
/// text: nothing.
std::optional<std::string> realTimeRateText(Counting counting, bool pulledDown);

/// One figure of a real-time reading: the duration and the rate it was worked at.
struct RealTimeFigure
{
    std::string duration;
    std::string rate;

    friend bool operator==(const RealTimeFigure &, const RealTimeFigure &) = default;
};

/// What a format shows for a count of frames, the figure at the rate in use first: where a
/// 1000/1001 rate exists, its figure and the nominal one, in the order pulledDown says, except
/// under drop frame, which exists only at the slower rate. 16, 18, 25, 50, 72 and 100 show the
/// nominal figure alone; a counting without frames shows none.
std::vector<RealTimeFigure> realTimeFigures(std::uint64_t frames, Counting counting,
                                            bool pulledDown);

} // namespace timecode
