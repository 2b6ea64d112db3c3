// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/calculation.h"

#include "panel/characters.h"
#include "timecode/clock.h"
#include "timecode/realtime.h"

#include <algorithm>
#include <utility>

namespace panel {

namespace {

bool isDigits(const std::string &text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string lastDigits(std::string digits, std::size_t width)
{
    digits.erase(0, digits.size() - std::min(digits.size(), width));
    return digits;
}

// The digits of a clock time, its separators taken out; nothing when it holds anything else.
std::optional<std::string> clockDigits(const std::string &text)
{
    std::string digits = text;
    std::erase_if(digits, [](char c) { return c == ':' || c == '.' || c == ','; });
    return digits.empty() || isDigits(digits) ? std::optional(digits) : std::nullopt;
}

// A key in a clock entry: the digits shift in from the right, and the first falls out past nine.
std::optional<QString> clockKeyed(const std::string &shown, const std::string &key, bool takeBack)
{
    if (!takeBack && !isDigits(key)) {
        return std::nullopt;
    }
    std::optional<std::string> digits = clockDigits(shown);
    if (!digits) {
        return QString();
    }
    if (takeBack && !digits->empty()) {
        digits->pop_back();
    } else if (!takeBack) {
        digits = lastDigits(*digits + key, timecode::clockEntryWidth);
    }
    // Taken back to nothing, it stays a clock entry.
    return QString::fromLatin1(timecode::clockEntryText(digits->empty() ? "0" : *digits));
}

// The entry of the reading made of a clock entry's last digits, as many as it holds. The zeros
// that lay the clock time out were never keyed.
QString leftClock(const std::string &shown, timecode::Counting counting, Reading reading)
{
    std::string digits = clockDigits(shown).value_or(std::string());
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    if (reading == Reading::frames) {
        return QString::fromLatin1(lastDigits(digits, counting.entryWidth()));
    }
    if (reading == Reading::count) {
        const auto count = timecode::countFromText(lastDigits(digits, timecode::countEntryWidth));
        return count ? QString::number(*count) : QString();
    }
    return QString::fromLatin1(
        timecode::entryText(lastDigits(digits, counting.entryWidth()), counting));
}

} // namespace

bool isClockText(std::string_view text)
{
    return text.find_first_of(".,") != std::string_view::npos;
}

std::optional<std::uint64_t> framesOfText(const std::string &text, Reading reading,
                                          timecode::Counting counting, bool pulledDown)
{
    if (isClockText(text)) {
        // Within a day, as a timecode is; a counting without frames reads no clock time.
        const auto frames = timecode::framesFromClockText(text, counting, pulledDown);
        return frames ? std::optional(*frames % counting.framesPerDay()) : std::nullopt;
    }
    return reading == Reading::timecode ? timecode::framesFromTimecodeText(text, counting)
                                        : timecode::frameCountWithinDay(text, counting);
}

Sign signOf(const QString &text)
{
    const std::pair<char16_t, Sign> signs[] = {{u'+', Sign::plus},
                                               {u'-', Sign::minus},
                                               {u'\u00d7', Sign::times},
                                               {u'\u00f7', Sign::dividedBy}};
    for (const auto &[character, sign] : signs) {
        if (text.size() == 1 && text.front() == character) {
            return sign;
        }
    }
    return Sign::blank;
}

std::optional<QString> keyedText(const QString &display, const QString &key,
                                 timecode::Counting counting, Reading reading)
{
    const bool takeBack = key == QLatin1String("<");
    const std::string shown = display.toStdString();
    const std::string keyed = key.toStdString();
    if (key == QLatin1String(clockKey)) {
        if (isClockText(shown)) {
            return leftClock(shown, counting, reading);
        }
        // What is keyed so far, read again as a clock time; the error text starts from zero.
        const std::string digits = timecode::entryDigits(shown).value_or(std::string());
        return QString::fromLatin1(timecode::clockEntryText(digits.empty() ? "0" : digits));
    }
    if (isClockText(shown)) {
        return clockKeyed(shown, keyed, takeBack);
    }

    if (reading == Reading::frames) {
        // Frame mode keeps the keyed text as it is, leading zeros included.
        const auto width = static_cast<qsizetype>(counting.entryWidth());
        const QString edited =
            takeBack ? withoutLastCharacter(display) : lastCharacters(display + key, width);
        const bool readable = timecode::frameCountFromText(edited.toStdString()).has_value();
        return readable ? edited : QString();
    }

    // A timecode or a count is rebuilt from digits alone; a key that is no digit has nothing to
    // add.
    if (!takeBack && !isDigits(keyed)) {
        return std::nullopt;
    }
    const bool count = reading == Reading::count;
    const std::size_t width = count ? timecode::countEntryWidth : counting.entryWidth();
    std::optional<std::string> keptDigits = timecode::entryDigits(shown);
    if (!keptDigits || (count && keptDigits->size() != shown.size())) {
        // The error text or anything else that is not a timecode (or, for a count, a plain
        // number) is dropped with the key.
        return QString();
    }
    std::string &digits = *keptDigits;
    if (takeBack) {
        if (!digits.empty()) {
            digits.pop_back();
        }
    } else {
        digits = lastDigits(digits + keyed, width);
    }
    if (count) {
        // A count shows as the number it is; a damaged register's digits that make no number go.
        const std::optional<std::uint64_t> number = timecode::countFromText(digits);
        return number ? QString::number(*number) : QString();
    }
    // No digits left show nothing; a pasted or loaded text can hold more digits than the width.
    return QString::fromLatin1(timecode::entryText(digits, counting));
}

std::optional<Step> equalsStep(const timecode::Timecode &start, Sign pending,
                               const std::string &text, Reading reading, bool pulledDown)
{
    // The result is worked on a copy, so that a refused operand leaves the accumulator as it was.
    Step step{start, QString(), QString(), {}};
    timecode::Timecode &result = step.result;
    if (pending == Sign::times || pending == Sign::dividedBy) {
        const std::optional<std::uint64_t> count = timecode::countFromText(text);
        if (!count) {
            return std::nullopt;
        }
        step.operand = QString::number(*count);
        if (pending == Sign::times) {
            const std::uint64_t days = result.multiplyBy(*count);
            step.note = {days > 0 ? Tape::Note::Kind::daysOn : Tape::Note::Kind::none, days};
            return step;
        }
        const std::optional<std::uint64_t> over = result.divideBy(*count);
        if (!over) {
            return std::nullopt;
        }
        step.note = {*over > 0 ? Tape::Note::Kind::leftOver : Tape::Note::Kind::none, *over};
        return step;
    }
    // Read once: the operand's frames are what is combined and what the tape shows of it.
    const timecode::Counting counting = start.counting();
    const bool timecodeMode = reading == Reading::timecode;
    const bool clock = isClockText(text);
    const std::optional<std::uint64_t> frames =
        pending == Sign::blank ? framesOfText(text, reading, counting, pulledDown)
        : clock                ? timecode::framesFromClockText(text, counting, pulledDown)
        : timecodeMode         ? timecode::framesFromTimecodeText(text, counting)
                               : timecode::frameCountFromText(text);
    if (!frames) {
        return std::nullopt;
    }
    if (clock) {
        const auto rate = timecode::realTimeRateText(counting, pulledDown).value_or(std::string());
        step.clock =
            Tape::tr("%1 at %2").arg(QString::fromStdString(text), QString::fromStdString(rate));
    }
    if (pending == Sign::blank) {
        result.frameNumber = *frames;
        return step;
    }
    step.operand = timecodeMode ? QString::fromStdString(timecode::timecodeText(*frames, counting))
                                : QString::number(*frames);
    if (pending == Sign::plus) {
        step.note = {Tape::Note::Kind::daysOn, result.addFrames(*frames)};
    } else {
        step.note = {Tape::Note::Kind::daysBack, result.subtractFrames(*frames)};
    }
    if (step.note.count == 0) {
        step.note.kind = Tape::Note::Kind::none;
    }
    return step;
}

} // namespace panel
