// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes, read as timecode text in every format. Whatever reads is written with the label that
// was read (a label drop frame skips comes out as the first label of its minute), and the written
// text reads back as the same position within the day.
#include "timecode/timecode.h"

#include <algorithm>
#include <cstdlib>

using namespace timecode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    for (const Format &format : formatTable) {
        const Counting counting = format.counting();
        const std::optional<std::uint64_t> frames = framesFromTimecodeText(text, counting);
        TimecodeFields fields = timecodeFields(text, counting.frameRate).value_or(TimecodeFields{});
        const bool skippable = fields.minutes % 10 != 0 && fields.seconds == 0;
        fields.frames = std::max(fields.frames, skippable ? counting.framesDroppedPerMinute() : 0);
        const std::string written = timecodeText(frames.value_or(0), counting);
        if (frames && (timecodeFields(written, counting.frameRate) != fields ||
                       framesFromTimecodeText(written, counting) != frames)) {
            std::abort();
        }
    }
    return 0;
}
