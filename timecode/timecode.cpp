#include "timecode/timecode.h"

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

// Day arithmetic. Both operands are reduced first, so every intermediate value lies in
// [0, 2 * day) and nothing can overflow however large the operands are; the result lies in
// [0, day). Subtraction adds one day before taking the operand away, which makes the result a
// floor modulo: a position before midnight wraps to the end of the previous day.
constexpr std::uint64_t addWithinDay(std::uint64_t frame, std::uint64_t operand,
                                     std::uint64_t day) noexcept
{
    return (frame % day + operand % day) % day;
}

constexpr std::uint64_t subtractWithinDay(std::uint64_t frame, std::uint64_t operand,
                                          std::uint64_t day) noexcept
{
    return (frame % day + day - operand % day) % day;
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

struct RateText
{
    std::string_view text;
    std::uint64_t frameRate;
};

constexpr std::array<RateText, 12> rateTexts{{
    {"16", 16},
    {"18", 18},
    {"24", 24},
    {"25", 25},
    {"30", 30},
    {"48", 48},
    {"50", 50},
    {"60", 60},
    {"72", 72},
    {"96", 96},
    {"100", 100},
    {"120", 120},
}};

/// Drop frame needs a rate that divides into whole dropped labels per minute.
constexpr bool allowsDropFrame(std::uint64_t frameRate) noexcept
{
    return frameRate == 30 || frameRate == 60 || frameRate == 120;
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

/// The writer with the counting fixed at compile time.
template <std::uint64_t frameRate, bool dropFrame>
std::string timecodeTextAt(std::uint64_t frameNumber)
{
    return writeTimecodeText(frameNumber, Counting{frameRate, dropFrame});
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
    const std::size_t frameDigits = Counting{frameRate, false}.frameDigits();
    const std::size_t fullWidth = 6 + frameDigits;
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

std::string timecodeText(std::uint64_t frameNumber, Counting counting)
{
    // Dividing by the counting's quantities is most of the cost of writing a timecode. With the
    // counting a compile-time constant the compiler turns each division into a multiplication,
    // which nearly halves the time per call; so each counting of the format list gets its own
    // copy, and any other counting takes the general path.
    if (counting.dropFrame) {
        switch (counting.frameRate) {
        case 30:
            return timecodeTextAt<30, true>(frameNumber);
        case 60:
            return timecodeTextAt<60, true>(frameNumber);
        case 120:
            return timecodeTextAt<120, true>(frameNumber);
        }
    } else {
        switch (counting.frameRate) {
        case 16:
            return timecodeTextAt<16, false>(frameNumber);
        case 18:
            return timecodeTextAt<18, false>(frameNumber);
        case 24:
            return timecodeTextAt<24, false>(frameNumber);
        case 25:
            return timecodeTextAt<25, false>(frameNumber);
        case 30:
            return timecodeTextAt<30, false>(frameNumber);
        case 48:
            return timecodeTextAt<48, false>(frameNumber);
        case 50:
            return timecodeTextAt<50, false>(frameNumber);
        case 60:
            return timecodeTextAt<60, false>(frameNumber);
        case 72:
            return timecodeTextAt<72, false>(frameNumber);
        case 96:
            return timecodeTextAt<96, false>(frameNumber);
        case 100:
            return timecodeTextAt<100, false>(frameNumber);
        case 120:
            return timecodeTextAt<120, false>(frameNumber);
        }
    }
    return writeTimecodeText(frameNumber, counting);
}

bool Timecode::addTimecodeText(std::string_view text) noexcept
{
    return combine(framesFromTimecodeText(text), addWithinDay);
}

bool Timecode::subtractTimecodeText(std::string_view text) noexcept
{
    return combine(framesFromTimecodeText(text), subtractWithinDay);
}

bool Timecode::addFrameText(std::string_view text) noexcept
{
    return combine(frameCountFromText(text), addWithinDay);
}

bool Timecode::subtractFrameText(std::string_view text) noexcept
{
    return combine(frameCountFromText(text), subtractWithinDay);
}

bool Timecode::combine(std::optional<std::uint64_t> operand,
                       std::uint64_t (*withinDay)(std::uint64_t, std::uint64_t,
                                                  std::uint64_t) noexcept) noexcept
{
    if (!operand) {
        return false;
    }
    frameNumber = withinDay(frameNumber, *operand, framesPerDay());
    return true;
}

std::optional<Timecode> createTimecode(std::string_view rateText, bool dropFrame) noexcept
{
    for (const RateText &rate : rateTexts) {
        if (rate.text == rateText) {
            if (dropFrame && !allowsDropFrame(rate.frameRate)) {
                return std::nullopt;
            }
            return Timecode(Counting{rate.frameRate, dropFrame});
        }
    }
    return std::nullopt;
}

} // namespace timecode
