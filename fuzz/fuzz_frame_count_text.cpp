// Any bytes, read as frame-count text. The result must match a plain digit-by-digit reading with
// its own overflow check, every value read must survive writing and reading back, and adding or
// subtracting the text on a Timecode of every counting must land on the right position within
// the day, whatever the Timecode's frame number was.
#include "timecode/timecode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

__extension__ typedef unsigned __int128 Wide;

void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

/// Optional '+', or '-' before zeros only; then at least one digit and nothing else; the value
/// checked against 2^64 - 1 before each step, so it never wraps.
std::optional<std::uint64_t> referenceFrameCount(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (largest - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    if (negative && value != 0) {
        return std::nullopt;
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const std::optional<std::uint64_t> value = timecode::frameCountFromText(text);
    require(value == referenceFrameCount(text));
    if (value) {
        require(timecode::frameCountFromText(std::to_string(*value)) == value);
    }

    for (const timecode::Format &format : timecode::formatTable) {
        const std::optional<timecode::Timecode> made =
            timecode::createTimecode(format.rateText, format.dropFrame);
        require(made.has_value());
        const std::uint64_t day = made->framesPerDay();
        // The owner may assign any frame number, reduced or not.
        for (const std::uint64_t start : {std::uint64_t{0}, day - 1, made->nominalFramesPerDay(),
                                          std::numeric_limits<std::uint64_t>::max()}) {
            timecode::Timecode sum = *made;
            sum.frameNumber = start;
            require(sum.addFrameText(text) == value.has_value());
            timecode::Timecode difference = *made;
            difference.frameNumber = start;
            require(difference.subtractFrameText(text) == value.has_value());
            if (!value) {
                require(sum.frameNumber == start && difference.frameNumber == start);
                continue;
            }
            require(sum.frameNumber < day && difference.frameNumber < day);
            require(sum.frameNumber == (Wide{start} + *value) % day);
            require((Wide{difference.frameNumber} + *value) % day == start % day);
        }
    }
    return 0;
}
