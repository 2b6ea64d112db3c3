// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Clock time in: a duration such as a music cue's or a subtitle's, read as the frame it falls on.
//
// The reverse of the real-time figures, and as exact: a real-time figure reads back as the frame
// it was worked from, at every rate.
#pragma once

#include "timecode/timecode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace timecode {

/// Reads a clock time "[[H:]M:]S.F" as the nearest frame at counting.frameRate, or at 1000/1001
/// of it when pulledDown; a half frame is rounded up, and the count is not reduced to a day. The
/// first field present has 1 to 9 ASCII digits, any later one exactly two and at most 59; then
/// '.' or ',' (as subtitle files write it) and 1 to 9 decimal digits. Anything else (a sign, a
/// blank, an empty field, no decimal separator) and a counting without frames read as nothing.
std::optional<std::uint64_t> framesFromClockText(std::string_view text, Counting counting,
                                                 bool pulledDown) noexcept;

/// Digits a keyed clock time keeps: hours, minutes, seconds and milliseconds.
inline constexpr std::size_t clockEntryWidth = 9;

/// The keyed digits laid out as a clock time, "HH:MM:SS.mmm": leading zeros dropped, then padded
/// with zeros on the left to clockEntryWidth digits, or cut to the first clockEntryWidth when
/// longer. No digits, or any byte that is not an ASCII digit, give the empty text. Fields are not
/// range-checked here: reading the text does that.
std::string clockEntryText(std::string_view digits);

} // namespace timecode
