// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes, read as a clock time at every rate. A text reads exactly when a slow reading of the
// same grammar (a regular expression, then the limit of 59) takes it; what reads is the nearest
// frame to the time the text names, a half frame up; and its real time reads back as it.
#include "timecode/clock.h"
#include "timecode/rates.h"
#include "timecode/realtime.h"

#include <cstdlib>
#include <regex>
#include <string>

using namespace timecode;

__extension__ typedef unsigned __int128 Wide;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    static const std::regex grammar(R"((\d{1,9})(?::(\d\d))?(?::(\d\d))?[.,](\d{1,9}))");
    std::smatch fields;
    bool readable = std::regex_match(text, fields, grammar);
    Wide nanoseconds = 0; // whole seconds first
    for (std::size_t i = 1; readable && i <= 3; ++i) {
        if (fields[i].matched) {
            const Wide value = std::stoull(fields[i].str());
            readable = i == 1 || value <= 59;
            nanoseconds = nanoseconds * 60 + value;
        }
    }
    if (readable) {
        nanoseconds = nanoseconds * 1'000'000'000 +
                      std::stoull(fields[4].str().append(9 - fields[4].length(), '0'));
    }
    // Twice the time in frames at the rate, plus one, in units of a 10^9 x 1001th: the nearest
    // frame, a half up, is the one whose double it reaches but whose double plus two it does not.
    const Wide unit = Wide{1'000'000'000} * 1001;
    for (const Rate &rate : rateTable) {
        const Counting counting = rate.counting();
        const std::optional<std::uint64_t> frames =
            framesFromClockText(text, counting, rate.pulledDown);
        const Wide time = nanoseconds * counting.frameRate * (rate.pulledDown ? 2000 : 2002) + unit;
        const Wide doubled = Wide{frames.value_or(0)} * 2 * unit;
        const std::string back = realTimeText(frames.value_or(0), counting, rate.pulledDown);
        if (frames.has_value() != readable ||
            (frames && (time < doubled || time >= doubled + 2 * unit ||
                        (back.size() <= 19 &&
                         framesFromClockText(back, counting, rate.pulledDown) != frames)))) {
            std::abort();
        }
    }
    return 0;
}
