// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes, read as frame-count text. Whatever reads is digits after at most one sign ('-' only
// before zero), and its numeral reads back as the same count. What the accumulator does with a
// count is the timecode test's table to show: operands up to 2^64-1, unreduced frame numbers, both
// directions and the operands it refuses.
#include "timecode/timecode.h"

#include <cstdlib>

using namespace timecode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const std::optional<std::uint64_t> value = frameCountFromText(text);
    const std::string_view digits = text.substr(text.starts_with('+') || text.starts_with('-'));
    if (value &&
        (digits.find_first_not_of("0123456789") != digits.npos || (text[0] == '-' && *value != 0) ||
         frameCountFromText(std::to_string(*value)) != value)) {
        std::abort();
    }
    return 0;
}
