// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/binaryvalues.h"

#include <string>
#include <string_view>

namespace store {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The value of a digit in base 8 or 16, or -1.
int digitIn(char c, int base)
{
    const int lower = c | 0x20;
    const int digit = c >= '0' && c <= '9'           ? c - '0'
                      : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10
                                                     : -1;
    return digit < base ? digit : -1;
}

struct Line
{
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype equals = -1; // the first '=' outside quotes, or -1
};

// One line as Qt's reader cuts the file: leading white space and whole comment lines are
// skipped; a line ends at a line break or at a ';' outside quotes, but a backslash carries it
// over the break that follows, and so do open quotes.
bool nextLine(QByteArrayView text, qsizetype &pos, Line &line)
{
    const qsizetype size = text.size();
    qsizetype start = pos;
    while (start < size && isSpace(text[start])) {
        ++start;
    }
    line.equals = -1;
    bool inQuotes = false;
    qsizetype i = start;
    for (bool ended = false; i < size && !ended;) {
        switch (text[i++]) {
        case '=':
            if (!inQuotes && line.equals < 0) {
                line.equals = i - 1;
            }
            break;
        case '\n':
        case '\r':
            ended = !inQuotes;
            break;
        case '\\':
            if (i < size) {
                const char escaped = text[i++];
                if (i < size && (escaped == '\n' || escaped == '\r') &&
                    (text[i] == '\n' || text[i] == '\r') && text[i] != escaped) {
                    ++i;
                }
            }
            break;
        case '"':
            inQuotes = !inQuotes;
            break;
        case ';':
            if (i == start + 1) {
                while (i < size && text[i] != '\n' && text[i] != '\r') {
                    ++i;
                }
                while (i < size && isSpace(text[i])) {
                    ++i;
                }
                start = i;
            } else {
                ended = !inQuotes;
            }
            break;
        default:
            break;
        }
        if (ended) {
            --i;
        }
    }
    pos = i;
    line.start = start;
    line.end = i;
    return i > start;
}

bool isBinaryForm(std::u16string_view text)
{
    return text.starts_with(u"@Variant(") || text.starts_with(u"@DateTime(");
}

// Whether the value, or any entry of it as a list, begins in binary form once unescaped as Qt
// unescapes it. Bytes past ASCII are left out: in whatever way they are decoded, they give
// characters past ASCII, which never begin that form, so leaving them out can only find more.
bool holdsBinaryValue(QByteArrayView value)
{
    static constexpr std::string_view simpleCodes = "abfnrtv\"?'\\";
    static constexpr std::u16string_view simpleValues = u"\a\b\f\n\r\t\v\"?'\\";
    const qsizetype size = value.size();
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < size && (value[i] == ' ' || value[i] == '\t')) {
            ++i;
        }
    };
    std::u16string entry;
    bool inQuotes = false;
    skipBlanks();
    while (i < size) {
        const char c = value[i++];
        if (c == '\\' && i < size) {
            const char code = value[i++];
            const std::size_t simple = simpleCodes.find(code);
            if (simple != std::string_view::npos) {
                entry += simpleValues[simple];
            } else if (code == 'x' || digitIn(code, 8) >= 0) {
                // A run of hexadecimal digits after the 'x', or of octal ones from the code on,
                // as wide as Qt's: longer runs wrap around. An 'x' without digits gives nothing.
                const int base = code == 'x' ? 16 : 8;
                if (base == 8) {
                    --i;
                }
                const qsizetype first = i;
                char16_t escaped = 0;
                for (int digit; i < size && (digit = digitIn(value[i], base)) >= 0; ++i) {
                    escaped = char16_t(escaped * base + digit);
                }
                if (i > first) {
                    entry += escaped;
                }
            } else if ((code == '\n' || code == '\r') && i < size &&
                       (value[i] == '\n' || value[i] == '\r') && value[i] != code) {
                ++i; // a line carried over: the break, of one or two characters, goes
            }
            // Any other escaped character is dropped.
        } else if (c == '"') {
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
            }
        } else if (c == ',' && !inQuotes) {
            if (isBinaryForm(entry)) {
                return true;
            }
            entry.clear();
            skipBlanks();
        } else if (static_cast<unsigned char>(c) < 0x80 && c != '\\') {
            entry += char16_t(c);
        }
    }
    return isBinaryForm(entry);
}

} // namespace

QByteArray withoutBinaryValues(QByteArrayView iniText)
{
    QByteArray result;
    qsizetype kept = 0; // the bytes before this are in result already
    qsizetype pos = iniText.startsWith("\xef\xbb\xbf") ? 3 : 0;
    Line line;
    while (nextLine(iniText, pos, line)) {
        if (iniText[line.start] == '[' || line.equals < 0) {
            continue; // a section's name or a line Qt skips
        }
        const qsizetype valueStart = line.equals + 1;
        if (holdsBinaryValue(iniText.sliced(valueStart, line.end - valueStart))) {
            result += iniText.sliced(kept, valueStart - kept);
            result += "@Invalid()";
            kept = line.end;
        }
    }
    result += iniText.sliced(kept);
    return result;
}

} // namespace store
