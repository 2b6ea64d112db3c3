// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The real-time line under the display: how long the value lasts on the clock, at the 1000/1001
// rate where video runs at it and at the nominal rate, worked by timecode/realtime.h. The panel
// refreshes it whenever the display, the mode, the format or the accumulator change; its members
// for the line are defined in realtimereadout.cpp, beside the rule of what the line reads.
#pragma once

#include "timecode/realtime.h"
#include "timecode/timecode.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace panel {

/// The frames the line describes: the display's text read in the display's mode and the
/// format, as an operand that starts a calculation is read (a frame count within one nominal
/// day); else, while the display holds nothing that reads (empty, the error text, a count to
/// multiply or divide by), the accumulator's; else nothing.
std::optional<std::uint64_t> realTimeFrames(const QString &display, bool timecodeMode,
                                            timecode::Counting counting,
                                            const std::optional<timecode::Timecode> &accumulator,
                                            bool operandIsCount);

/// The figures as the line shows them: "01:00:03.600 at 29.97 · 01:00:00.000 at 30".
QString realTimeLine(const std::vector<timecode::RealTimeFigure> &figures);

} // namespace panel
