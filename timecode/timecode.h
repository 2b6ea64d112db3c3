// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The timecode model: a frame position within one 24-hour day, read from and written to text.
//
// Everything here is integer arithmetic over frame counts; there is no floating point and no
// toolkit. Text comes in as std::string_view (UTF-8 or anything else: any byte that is not an
// ASCII digit or separator makes a text unreadable) and goes out as std::string.
//
// Drop-frame counting keeps every frame but skips labels: in every minute whose number is not a
// multiple of ten, the first rate/15 frame labels of second 00 are not used (00-01 at 30 fps,
// 00-03 at 60, 00-07 at 120). One formula, scaled by the rate, serves all three rates.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace timecode {

/// The quantities of one way of counting frames, all derived from the rate and the drop-frame flag.
struct Counting
{
    std::uint64_t frameRate = 30;
    bool dropFrame = false;

    /// Labels per minute before any are dropped.
    constexpr std::uint64_t nominalFramesPerMinute() const noexcept { return frameRate * 60; }
    /// 2 at 30, 4 at 60, 8 at 120 with drop frame; 0 without.
    constexpr std::uint64_t framesDroppedPerMinute() const noexcept
    {
        return dropFrame ? frameRate / 15 : 0;
    }
    /// Frames in a minute that loses its dropped labels.
    constexpr std::uint64_t framesPerDropMinute() const noexcept
    {
        return nominalFramesPerMinute() - framesDroppedPerMinute();
    }
    /// The first minute of every ten keeps all labels; the other nine lose the dropped ones.
    constexpr std::uint64_t framesPerTenMinutes() const noexcept
    {
        return framesPerDropMinute() * 9 + nominalFramesPerMinute();
    }
    /// Frames in one day of this counting; all day arithmetic wraps here.
    constexpr std::uint64_t framesPerDay() const noexcept { return framesPerTenMinutes() * 144; }
    /// rate x 86400: longer than framesPerDay() under drop frame (2592000 against 2589408 at 30).
    constexpr std::uint64_t nominalFramesPerDay() const noexcept { return frameRate * 86400; }
    /// Digit positions of the frames field: three at 120 fps, else two.
    constexpr std::size_t frameDigits() const noexcept { return frameRate == 120 ? 3 : 2; }
    /// Digit positions of a whole timecode: what key entry keeps, and where a longer numeral is
    /// cut when it is read.
    constexpr std::size_t entryWidth() const noexcept { return 6 + frameDigits(); }
    /// ';' before the frames under drop frame, ':' otherwise.
    constexpr char frameSeparator() const noexcept { return dropFrame ? ';' : ':'; }

    friend constexpr bool operator==(Counting, Counting) = default;
};

/// Hours, minutes, seconds and frames as cut from a timecode text, each range-checked.
struct TimecodeFields
{
    std::uint64_t hours = 0;
    std::uint64_t minutes = 0;
    std::uint64_t seconds = 0;
    std::uint64_t frames = 0;

    friend constexpr bool operator==(const TimecodeFields &, const TimecodeFields &) = default;
};

/// The digits of a timecode text, read as one number, may not exceed this.
inline constexpr std::uint64_t maxTimecodeDigitValue = 2147483647;

/// Splits a timecode text into range-checked fields by counting digit positions from the right.
/// ':' and ';' are skipped wherever they stand; any other non-digit byte, a text without digits,
/// or digits worth more than maxTimecodeDigitValue make the text unreadable.
std::optional<TimecodeFields> timecodeFields(std::string_view text,
                                             std::uint64_t frameRate) noexcept;

/// Reads a timecode text as a frame count. Under drop frame a skipped label is read as the first
/// label that exists in its minute, never refused.
std::optional<std::uint64_t> framesFromTimecodeText(std::string_view text,
                                                    Counting counting) noexcept;

/// Reads a plain decimal frame count: optional '+', or '-' followed only by zeros; at most 2^64-1.
std::optional<std::uint64_t> frameCountFromText(std::string_view text) noexcept;

/// Reads a frame count as the calculator takes a frame-mode operand: reduced to one nominal day
/// (rate x 86400 frames), so that a count never stands for more than the display could show.
std::optional<std::uint64_t> frameCountWithinDay(std::string_view text, Counting counting) noexcept;

/// The digits of a keyed or pasted timecode text: ':' and ';' taken out wherever they stand.
/// Nothing when the text holds any other byte; the empty text gives no digits.
std::optional<std::string> entryDigits(std::string_view text);

/// Digits a keyed count keeps: the operand of a multiplication or division.
inline constexpr std::size_t countEntryWidth = 6;

/// Reads a count, the operand of a multiplication or division: a plain whole number of ASCII
/// digits only (no sign, blank or separator), at most 2^64-1.
std::optional<std::uint64_t> countFromText(std::string_view text) noexcept;

/// Writes a frame number as HH:MM:SS:FF (';' before the frames under drop frame, three frame
/// digits at 120 fps). A number of a day or more is written as its position within the day. A
/// counting without frames (the one of an unknown format) writes the empty text.
std::string timecodeText(std::uint64_t frameNumber, Counting counting);

/// The keyed digits laid out as a timecode of the counting: leading zeros dropped, then padded
/// with zeros on the left to entryWidth() digits, or cut to the first entryWidth() when longer
/// (a pasted text can hold more). No digits, or any byte that is not an ASCII digit, give the
/// empty text.
std::string entryText(std::string_view digits, Counting counting);

/// The same layout for `width` digits with `separator` before the seventh: a timecode's entry, or
/// a clock time's with '.'.
std::string laidOutDigits(std::string_view digits, std::size_t width, char separator);

/// The running value of the calculator: a frame position within one day at a fixed counting.
class Timecode
{
public:
    /// Frames since 00:00:00:00. The owner may assign any value; every operation reduces it
    /// modulo framesPerDay() before use.
    std::uint64_t frameNumber = 0;

    constexpr std::uint64_t frameRate() const noexcept { return counting_.frameRate; }
    constexpr bool dropFrame() const noexcept { return counting_.dropFrame; }
    constexpr Counting counting() const noexcept { return counting_; }
    constexpr std::uint64_t framesPerDay() const noexcept { return counting_.framesPerDay(); }
    constexpr std::uint64_t nominalFramesPerDay() const noexcept
    {
        return counting_.nominalFramesPerDay();
    }

    /// Adds frames to frameNumber, reduced to a day first, and keeps the sum within a day;
    /// answers how many midnights the sum passed (one landing on midnight passed one).
    std::uint64_t addFrames(std::uint64_t frames) noexcept;
    /// Takes frames from frameNumber, reduced to a day first, and keeps the difference within a
    /// day; answers how many midnights it went back past (midnight itself is in the day).
    std::uint64_t subtractFrames(std::uint64_t frames) noexcept;

    /// Each reads its operand and adds or subtracts it as above, answering the midnights passed.
    /// An unreadable operand answers nothing and leaves frameNumber untouched.
    std::optional<std::uint64_t> addTimecodeText(std::string_view text) noexcept;
    std::optional<std::uint64_t> subtractTimecodeText(std::string_view text) noexcept;
    std::optional<std::uint64_t> addFrameText(std::string_view text) noexcept;
    std::optional<std::uint64_t> subtractFrameText(std::string_view text) noexcept;

    /// Multiplies frameNumber, reduced to a day first, by the count and keeps the product within
    /// a day; answers how many whole days the product passed (a product landing on midnight
    /// passed one). Exact for every count.
    std::uint64_t multiplyBy(std::uint64_t count) noexcept;
    /// Divides frameNumber, reduced to a day first, by the count, rounding down; answers the
    /// frames left over. A count of 0 answers nothing and leaves frameNumber exactly as it was.
    std::optional<std::uint64_t> divideBy(std::uint64_t count) noexcept;

    /// Reads a timecode text in this Timecode's own counting.
    std::optional<std::uint64_t> framesFromTimecodeText(std::string_view text) const noexcept
    {
        return timecode::framesFromTimecodeText(text, counting_);
    }
    /// frameNumber written as timecode text in this Timecode's own counting.
    std::string timecodeText() const { return timecode::timecodeText(frameNumber, counting_); }

    friend constexpr bool operator==(const Timecode &, const Timecode &) = default;

private:
    friend std::optional<Timecode> createTimecode(std::string_view rateText,
                                                  bool dropFrame) noexcept;
    constexpr explicit Timecode(Counting counting) noexcept : counting_(counting) {}

    Counting counting_;
};

/// A Timecode at frame 0, or nothing when the rate text and drop-frame flag are not those of a
/// format of formatTable: the rate text exactly ("16" ... "120": no blanks, signs or leading
/// zeros), drop frame only at 30, 60 or 120.
std::optional<Timecode> createTimecode(std::string_view rateText, bool dropFrame) noexcept;

/// A format title of the format list and what it stands for.
struct Format
{
    std::string_view title;
    std::string_view rateText;
    bool dropFrame = false;

    /// The counting of the format list with this rate text and drop-frame flag; anything else
    /// (an unknown format) counts no frames: rate 0, which reads no text and writes none.
    constexpr Counting counting() const noexcept;
};

/// The fifteen formats in the order the format list shows them: the one list of the rates and
/// drop-frame countings the calculator knows.
inline constexpr std::array<Format, 15> formatTable{{
    {"16", "16", false},
    {"18", "18", false},
    {"24", "24", false},
    {"25", "25", false},
    {"30 DF", "30", true},
    {"30 NDF", "30", false},
    {"48", "48", false},
    {"50", "50", false},
    {"60 DF", "60", true},
    {"60 NDF", "60", false},
    {"72", "72", false},
    {"96", "96", false},
    {"100", "100", false},
    {"120 DF", "120", true},
    {"120 NDF", "120", false},
}};

constexpr Counting Format::counting() const noexcept
{
    for (const Format &format : formatTable) {
        if (format.rateText == rateText && format.dropFrame == dropFrame) {
            std::uint64_t rate = 0;
            for (const char digit : rateText) {
                rate = rate * 10 + static_cast<std::uint64_t>(digit - '0');
            }
            return Counting{rate, dropFrame};
        }
    }
    return Counting{0, false};
}

/// The format of a title, compared whole and exactly. An unknown title gives the empty format
/// (no title, the empty rate text), which createTimecode refuses.
constexpr Format formatForTitle(std::string_view title) noexcept
{
    for (const Format &format : formatTable) {
        if (format.title == title) {
            return format;
        }
    }
    return Format{};
}

} // namespace timecode
