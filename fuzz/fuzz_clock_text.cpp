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
        const std::string decimals = fields[4].str() + std::string(9 - fields[4].length(), '0');
        nanoseconds = nanoseconds * 1'000'000'000 + std::stoull(decimals);
    }
    for (const Rate &rate : rateTable) {
        const Counting counting = rate.counting();
        const std::optional<std::uint64_t> frames =
            framesFromClockText(text, counting, rate.pulledDown);
        if (frames.has_value() != readable) {
            std::abort();
        }
        if (!frames) {
            continue;
        }
        // With the time as twice the frames in units of a 10^9 x 1001th: frames is the nearest
        // whole number to it when it lies in [frames - 1/2, frames + 1/2).
        const Wide twice = nanoseconds * counting.frameRate * (rate.pulledDown ? 1000 : 1001) * 2;
        const Wide unit = Wide{1'000'000'000} * 1001;
        const Wide low = Wide{*frames} * 2 * unit;
        const std::string back = realTimeText(*frames, counting, rate.pulledDown);
        if (twice + unit < low || twice + unit >= low + 2 * unit ||
            (back.size() <= 19 && framesFromClockText(back, counting, rate.pulledDown) != frames)) {
            std::abort();
        }
    }
    return 0;
}
