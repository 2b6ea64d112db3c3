// Any bytes, read as timecode text in every counting of the format list. The fields must match a
// plain reading built from the digit characters; whatever reads must be a position within the
// day, must write as a text of the fixed shape showing the same label, and must read back as
// the same position.
#include "timecode/timecode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

using timecode::Counting;
using timecode::TimecodeFields;

void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

/// The fields the long way round: keep the digits, drop the leading zeros, compare the numeral
/// with the limit as text, pad it on the left to the full width and cut it by position.
std::optional<TimecodeFields> referenceFields(std::string_view text, std::uint64_t frameRate)
{
    std::string digits;
    for (const char c : text) {
        if (c == ':' || c == ';') {
            continue;
        }
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        digits += c;
    }
    if (digits.empty()) {
        return std::nullopt;
    }
    digits.erase(0, digits.find_first_not_of('0'));
    const std::string limit = std::to_string(timecode::maxTimecodeDigitValue);
    if (digits.size() > limit.size() || (digits.size() == limit.size() && digits > limit)) {
        return std::nullopt;
    }
    const std::size_t frameWidth = frameRate == 120 ? 3 : 2;
    const std::size_t fullWidth = 6 + frameWidth;
    if (digits.size() < fullWidth) {
        digits.insert(0, fullWidth - digits.size(), '0');
    }
    const auto number = [&digits](std::size_t from, std::size_t count) {
        std::uint64_t value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            value = value * 10 + static_cast<std::uint64_t>(digits[i] - '0');
        }
        return value;
    };
    const TimecodeFields fields{number(0, 2), number(2, 2), number(4, 2), number(6, frameWidth)};
    if (fields.hours >= 24 || fields.minutes >= 60 || fields.seconds >= 60 ||
        fields.frames >= frameRate) {
        return std::nullopt;
    }
    return fields;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

/// HH:MM:SS, the frame separator, and two frame digits (three at 120).
bool hasTimecodeShape(const std::string &text, Counting counting)
{
    if (text.size() != 9 + counting.frameDigits()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char expected = i == 2 || i == 5 ? ':' : i == 8 ? counting.frameSeparator() : '\0';
        if (expected != '\0' ? text[i] != expected : !isDigit(text[i])) {
            return false;
        }
    }
    return true;
}

void checkCounting(std::string_view text, const timecode::Timecode &start)
{
    const Counting counting = start.counting();
    const std::optional<TimecodeFields> fields = timecode::timecodeFields(text, counting.frameRate);
    require(fields == referenceFields(text, counting.frameRate));
    if (fields) {
        require(fields->hours < 24 && fields->minutes < 60 && fields->seconds < 60 &&
                fields->frames < counting.frameRate);
    }

    const std::optional<std::uint64_t> frames = timecode::framesFromTimecodeText(text, counting);
    require(frames.has_value() == fields.has_value());

    timecode::Timecode moved = start;
    require(moved.subtractTimecodeText(text) == frames.has_value());
    require(moved.frameNumber < counting.framesPerDay());
    require(moved.addTimecodeText(text) == frames.has_value());
    require(moved.frameNumber == start.frameNumber % counting.framesPerDay());
    if (!frames) {
        return;
    }

    require(*frames < counting.framesPerDay());
    const std::string written = timecode::timecodeText(*frames, counting);
    require(hasTimecodeShape(written, counting));
    require(timecode::framesFromTimecodeText(written, counting) == frames);

    // The written label is the one read, except that a label drop frame skips comes out as the
    // first label its minute has.
    TimecodeFields expected = *fields;
    const std::uint64_t dropped = counting.framesDroppedPerMinute();
    if (expected.minutes % 10 != 0 && expected.seconds == 0 && expected.frames < dropped) {
        expected.frames = dropped;
    }
    require(timecode::timecodeFields(written, counting.frameRate) == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    for (const timecode::Format &format : timecode::formatTable) {
        std::optional<timecode::Timecode> start =
            timecode::createTimecode(format.rateText, format.dropFrame);
        require(start.has_value());
        // The last frame of the day, so that any addition but of zero wraps past midnight.
        start->frameNumber = start->framesPerDay() - 1;
        checkCounting(text, *start);
    }
    return 0;
}
