// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/calculation.h"

#include "panel/characters.h"

#include <utility>

namespace panel {

std::optional<std::uint64_t> framesOfText(const std::string &text, Reading reading,
                                          timecode::Counting counting)
{
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
    const std::string keyed = key.toStdString();
    if (!takeBack &&
        (keyed.empty() || keyed.find_first_not_of("0123456789") != std::string::npos)) {
        return std::nullopt;
    }
    const bool count = reading == Reading::count;
    const std::size_t width = count ? timecode::countEntryWidth : counting.entryWidth();
    const std::string shown = display.toStdString();
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
        digits += keyed;
        if (digits.size() > width) {
            digits.erase(0, digits.size() - width);
        }
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
                               const std::string &text, Reading reading)
{
    // The result is worked on a copy, so that a refused operand leaves the accumulator as it was.
    Step step{start, QString(), {}};
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
    const std::optional<std::uint64_t> frames =
        pending == Sign::blank ? framesOfText(text, reading, counting)
        : timecodeMode         ? timecode::framesFromTimecodeText(text, counting)
                               : timecode::frameCountFromText(text);
    if (!frames) {
        return std::nullopt;
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
