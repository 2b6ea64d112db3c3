// Any bytes, read as frame-count text. Whatever reads is digits after at most one sign ('-' only
// before zero), and its numeral reads back as the same count. Adding the text to the last frame
// of the day moves a Timecode of every format to the right position within the day; a text that
// does not read leaves it where it was.
#include "timecode/timecode.h"

#include <cstdlib>

using namespace timecode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const std::optional<std::uint64_t> value = frameCountFromText(text);
    const std::string_view digits = text.substr(text.starts_with('+') || text.starts_with('-'));
    bool broken = value && (digits.find_first_not_of("0123456789") != digits.npos ||
                            (text[0] == '-' && *value != 0) ||
                            frameCountFromText(std::to_string(*value)) != value);
    for (const Format &format : formatTable) {
        Timecode moved = createTimecode(format.rateText, format.dropFrame).value();
        const std::uint64_t day = moved.framesPerDay();
        moved.frameNumber = day - 1;
        broken |= moved.addFrameText(text) != value.has_value() ||
                  moved.frameNumber != (day - 1 + value.value_or(0) % day) % day;
    }
    if (broken) {
        std::abort();
    }
    return 0;
}
