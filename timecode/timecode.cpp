// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "timecode/timecode.h"

#include <algorithm>
#include <charconv>

namespace timecode {

namespace {

/// 10^exponent for the few small exponents a timecode numeral needs (0..10).
constexpr std::uint64_t powerOfTen(std::size_t exponent) noexcept
{
    std::uint64_t power = 1;
    for (std::size_t i = 0; i < exponent; ++i) {
        power *= 10;
    }
    return power;
}

/// Whether text is one or more ASCII digits and nothing else.
bool plainDigits(std::string_view text) noexcept
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

/// Writes value as exactly width decimal digits, zero-padded; value must fit.
char *writeDigits(char *out, std::uint64_t value, std::size_t width) noexcept
{
    for (std::size_t i = width; i > 0; --i) {
        out[i - 1] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

/// Writes a frame number in the given counting. Always inlined, so that each caller below that
/// passes a constant counting gets a copy whose divisions are by constants.
[[gnu::always_inline]] inline std::string writeTimecodeText(std::uint64_t frameNumber,
                                                            Counting counting)
{
    const std::uint64_t rate = counting.frameRate;
    const std::uint64_t nominalMinute = counting.nominalFramesPerMinute();
    const std::uint64_t dropMinute = counting.framesPerDropMinute();
    const std::uint64_t tenMinutes = counting.framesPerTenMinutes();

    const std::uint64_t frame = frameNumber % counting.framesPerDay();
    const std::uint64_t block = frame / tenMinutes; // [0, 143]
    const std::uint64_t offset = frame % tenMinutes;

    // The first minute of a block keeps all labels; in the nine others the position starts at
    // the number of dropped labels, so their first label is 02 (30), 04 (60) or 08 (120).
    std::uint64_t minuteInBlock = 0;
    std::uint64_t position = offset;
    if (offset >= nominalMinute) {
        minuteInBlock = 1 + (offset - nominalMinute) / dropMinute;
        position = (offset - nominalMinute) % dropMinute + counting.framesDroppedPerMinute();
    }

    char buffer[12];
    char *out = writeDigits(buffer, block / 6, 2);
    *out++ = ':';
    out = writeDigits(out, (block % 6) * 10 + minuteInBlock, 2);
    *out++ = ':';
    out = writeDigits(out, position / rate, 2);
    *out++ = counting.frameSeparator();
    out = writeDigits(out, position % rate, counting.frameDigits());
    return std::string(buffer, out);
}

/// Writes in the counting of formatTable[slot - 1] as a compile-time constant, or in the given
/// counting when the slot is 0. Dividing by the counting's quantities is most of the cost of
/// writing a timecode; with constants the compiler turns each division into a multiplication,
/// which nearly halves the time per call. The chain of tests becomes one jump table.
template <std::size_t index = 0>
[[gnu::always_inline]] inline std::string writeListed(std::uint64_t frameNumber, Counting counting)
{
    if constexpr (index < formatTable.size()) {
        if (counting == formatTable[index].counting()) {
            return writeTimecodeText(frameNumber, formatTable[index].counting());
        }
        return writeListed<index + 1>(frameNumber, counting);
    } else {
        return writeTimecodeText(frameNumber, counting);
    }
}

} // namespace

std::optional<TimecodeFields> timecodeFields(std::string_view text,
                                             std::uint64_t frameRate) noexcept
{
    // Bytes rather than user-perceived characters: a character that is exactly one of ':', ';'
    // or '0'-'9' is a single byte, and any other character holds a byte that is none of them
    // (a digit followed by a combining mark included), so both readings refuse the same texts.
    std::uint64_t value = 0;
    std::size_t length = 0; // digits from the first non-zero one: the length of value's numeral
    bool anyDigit = false;
    for (const char c : text) {
        if (c == ':' || c == ';') {
            continue;
        }
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        anyDigit = true;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        // Leading zeros add nothing, so the value only grows: once past the limit it stays past.
        if (value > maxTimecodeDigitValue) {
            return std::nullopt;
        }
        if (value != 0) {
            ++length;
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }

    // The numeral is zero-padded on the left to the full width and the fields are cut from its
    // left; a numeral longer than the full width therefore loses its rightmost digits.
    const Counting counting{frameRate, false};
    const std::size_t frameDigits = counting.frameDigits();
    const std::size_t fullWidth = counting.entryWidth();
    if (length > fullWidth) {
        value /= powerOfTen(length - fullWidth);
    }

    TimecodeFields fields;
    // One branch per width, so that every divisor is a constant the compiler can turn into a
    // multiplication.
    if (frameDigits == 3) {
        fields.frames = value % 1000;
        value /= 1000;
    } else {
        fields.frames = value % 100;
        value /= 100;
    }
    fields.seconds = value % 100;
    value /= 100;
    fields.minutes = value % 100;
    fields.hours = value / 100;

    if (fields.hours >= 24 || fields.minutes >= 60 || fields.seconds >= 60 ||
        fields.frames >= frameRate) {
        return std::nullopt;
    }
    return fields;
}

std::optional<std::uint64_t> framesFromTimecodeText(std::string_view text,
                                                    Counting counting) noexcept
{
    std::optional<TimecodeFields> fields = timecodeFields(text, counting.frameRate);
    if (!fields) {
        return std::nullopt;
    }
    const std::uint64_t dropped = counting.framesDroppedPerMinute();
    // A label that drop-frame counting skips is read as the first label of its minute that exists.
    if (dropped > 0 && fields->minutes % 10 != 0 && fields->seconds == 0 &&
        fields->frames < dropped) {
        fields->frames = dropped;
    }
    // In a minute that lost labels, the labels start at `dropped`, which the minute's offset
    // (minutes % 10) * framesPerDropMinute already accounts for.
    const std::uint64_t tenMinutes = counting.framesPerTenMinutes();
    return fields->hours * 6 * tenMinutes + (fields->minutes / 10) * tenMinutes +
           (fields->minutes % 10) * counting.framesPerDropMinute() +
           fields->seconds * counting.frameRate + fields->frames;
}

std::optional<std::uint64_t> frameCountFromText(std::string_view text) noexcept
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars on an unsigned type takes digits only: no sign, blank or base prefix.
    std::uint64_t value = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    // A minus sign is tolerated only in front of zero.
    if (negative && value != 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> frameCountWithinDay(std::string_view text, Counting counting) noexcept
{
    const std::optional<std::uint64_t> count = frameCountFromText(text);
    if (!count || counting.frameRate == 0) {
        return std::nullopt;
    }
    return *count % counting.nominalFramesPerDay();
}

std::optional<std::string> entryDigits(std::string_view text)
{
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digits += c;
        } else if (c != ':' && c != ';') {
            return std::nullopt;
        }
    }
    return digits;
}

std::optional<std::uint64_t> countFromText(std::string_view text) noexcept
{
    return plainDigits(text) ? frameCountFromText(text) : std::nullopt;
}

std::string timecodeText(std::uint64_t frameNumber, Counting counting)
{
    if (counting.frameRate == 0) {
        return {};
    }
    return writeListed(frameNumber, counting);
}

std::string entryText(std::string_view digits, Counting counting)
{
    return laidOutDigits(digits, counting.entryWidth(), counting.frameSeparator());
}

std::string laidOutDigits(std::string_view digits, std::size_t width, char separator)
{
    if (!plainDigits(digits)) {
        return {};
    }
    // Working on the digits as text, so that no length of them can overflow a number.
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    const std::size_t padding = width - std::min(digits.size(), width);
    std::string text;
    for (std::size_t i = 0; i < width; ++i) {
        if (i == 2 || i == 4) {
            text += ':';
        } else if (i == 6) {
            text += separator;
        }
        text += i < padding ? '0' : digits[i - padding];
    }
    return text;
}

// Day arithmetic. The operand is taken apart into whole days and the rest, both below 2^64, and
// only the rest is combined with the frame, reduced first: every intermediate value lies in
// [0, 2 * day), so nothing can overflow however large the operand is. Subtraction adds one day
// before taking the rest away, which makes the result a floor modulo: a position before midnight
// wraps to the end of the previous day.
std::uint64_t Timecode::addFrames(std::uint64_t frames) noexcept
{
    const std::uint64_t day = framesPerDay();
    const std::uint64_t sum = frameNumber % day + frames % day; // [0, 2 * day)
    frameNumber = sum % day;
    return frames / day + sum / day;
}

std::uint64_t Timecode::subtractFrames(std::uint64_t frames) noexcept
{
    const std::uint64_t day = framesPerDay();
    const std::uint64_t frame = frameNumber % day;
    const std::uint64_t rest = frames % day;
    frameNumber = (frame + day - rest) % day;
    return frames / day + (rest > frame ? 1 : 0);
}

std::optional<std::uint64_t> Timecode::addTimecodeText(std::string_view text) noexcept
{
    const std::optional<std::uint64_t> frames = framesFromTimecodeText(text);
    return frames ? std::optional(addFrames(*frames)) : std::nullopt;
}

std::optional<std::uint64_t> Timecode::subtractTimecodeText(std::string_view text) noexcept
{
    const std::optional<std::uint64_t> frames = framesFromTimecodeText(text);
    return frames ? std::optional(subtractFrames(*frames)) : std::nullopt;
}

std::optional<std::uint64_t> Timecode::addFrameText(std::string_view text) noexcept
{
    const std::optional<std::uint64_t> frames = frameCountFromText(text);
    return frames ? std::optional(addFrames(*frames)) : std::nullopt;
}

std::optional<std::uint64_t> Timecode::subtractFrameText(std::string_view text) noexcept
{
    const std::optional<std::uint64_t> frames = frameCountFromText(text);
    return frames ? std::optional(subtractFrames(*frames)) : std::nullopt;
}

std::uint64_t Timecode::multiplyBy(std::uint64_t count) noexcept
{
    // The product can pass 2^64, so it is taken apart along the count's whole days and the rest of
    // it; since a day holds fewer than 2^24 frames, each part stays below 2^64, and so does the
    // number of days.
    const std::uint64_t day = framesPerDay();
    const std::uint64_t frame = frameNumber % day;
    const std::uint64_t rest = frame * (count % day);
    frameNumber = rest % day;
    return frame * (count / day) + rest / day;
}

std::optional<std::uint64_t> Timecode::divideBy(std::uint64_t count) noexcept
{
    if (count == 0) {
        return std::nullopt;
    }
    const std::uint64_t frame = frameNumber % framesPerDay();
    frameNumber = frame / count;
    return frame % count;
}

std::optional<Timecode> createTimecode(std::string_view rateText, bool dropFrame) noexcept
{
    const Counting counting = Format{{}, rateText, dropFrame}.counting();
    if (counting.frameRate == 0) {
        return std::nullopt;
    }
    return Timecode(counting);
}

} // namespace timecode
