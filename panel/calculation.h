// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What the calculator works out, apart from the controls that show it: the text a key makes of
// the display's text, and what the equals step makes of the accumulator, the pending operation
// and the operand, with what it tells the tape. Nothing here reads or writes a control; the
// panel hands in what its controls show and shows what comes back.
#pragma once

#include "panel/tape.h"
#include "timecode/timecode.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace panel {

/// The pending operation, as the sign field shows it.
enum class Sign
{
    blank,
    plus,
    minus,
    times,
    dividedBy
};

/// The pending operation the sign field's text stands for; any other text is none.
Sign signOf(const QString &text);

/// What the display's text means: a timecode, a frame count, or the count that a multiplication
/// or division waits for.
enum class Reading
{
    timecode,
    frames,
    count
};

/// Whether the display's text is a clock time ("00:02:31.250", "1,16"): it holds a decimal
/// separator, which no timecode or frame count does. A clock time is read the same in every mode.
bool isClockText(std::string_view text);

/// The display's text read as a frame number in the counting, as an operand that starts a
/// calculation is read: a timecode, a frame count within one nominal day, or a clock time at the
/// rate in use (1000/1001 of the counting's when pulledDown) within one day. A count to multiply
/// or divide by is read as a frame count.
std::optional<std::uint64_t> framesOfText(const std::string &text, Reading reading,
                                          timecode::Counting counting, bool pulledDown);

/// The title of the key that starts a clock entry, and in one goes back to the entry of the
/// display's reading.
inline constexpr char clockKey[] = "Clock";

/// The display's text after one key ("<" takes back the last digit), or nothing when the key
/// leaves it as it is. A timecode is rebuilt from its digits in the counting's layout; frames
/// keep the keyed text, leading zeros included; a count is shown as its number; a clock time is
/// rebuilt as HH:MM:SS.mmm from its last nine digits. The clock key lays the digits shown out as
/// a clock time, or those of a clock time, as many of the last as it holds, as the reading's own
/// entry. A text the key cannot continue is dropped.
std::optional<QString> keyedText(const QString &display, const QString &key,
                                 timecode::Counting counting, Reading reading);

/// One step of the equals step.
struct Step
{
    timecode::Timecode result;
    /// The operand as the calculator read it, in the display's own form; empty without an
    /// operation.
    QString operand;
    /// A clock time as the display showed it and the rate it was read at, "00:02:31.250 at
    /// 23.976"; empty for any other operand.
    QString clock;
    /// What the tape notes after an operation's result.
    Tape::Note note;
};

/// Combines the operand text with `start` (the accumulator, or a fresh one while there is none)
/// by the pending operation; without one the operand replaces the frame number. A multiplication
/// or division reads the text as a count, whatever the display mode. A clock time is read at the
/// rate in use, 1000/1001 of start's when pulledDown. Nothing when the operand cannot be read, or
/// is a count of 0 to divide by.
std::optional<Step> equalsStep(const timecode::Timecode &start, Sign pending,
                               const std::string &text, Reading reading, bool pulledDown);

} // namespace panel
