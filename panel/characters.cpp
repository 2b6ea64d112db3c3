// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/characters.h"

#include <QTextBoundaryFinder>

namespace panel {

namespace {

qsizetype lengthOfFirstCharacters(const QString &text, qsizetype count)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype position = 0;
    for (qsizetype i = 0; i < count && position < text.size(); ++i) {
        position = finder.toNextBoundary();
    }
    return position;
}

qsizetype characterCount(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

} // namespace

QString firstCharacters(const QString &text, qsizetype count)
{
    return text.left(lengthOfFirstCharacters(text, count));
}

QString lastCharacters(const QString &text, qsizetype count)
{
    const qsizetype surplus = characterCount(text) - count;
    return surplus > 0 ? text.mid(lengthOfFirstCharacters(text, surplus)) : text;
}

QString withoutLastCharacter(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.toEnd();
    const qsizetype start = finder.toPreviousBoundary();
    return start > 0 ? text.left(start) : QString();
}

} // namespace panel
