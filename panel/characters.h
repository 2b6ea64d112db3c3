// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Cutting text in user-perceived characters, so that a letter with a combining mark, an emoji
// sequence or CR LF is never split in two.
#pragma once

#include <QString>

namespace panel {

/// The first `count` characters of the text, or all of it when it has fewer.
QString firstCharacters(const QString &text, qsizetype count);
/// The last `count` characters of the text, or all of it when it has fewer.
QString lastCharacters(const QString &text, qsizetype count);
/// The text without its last character; empty for an empty text.
QString withoutLastCharacter(const QString &text);

} // namespace panel
