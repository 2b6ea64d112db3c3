// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The clipboard as the panel needs it: plain text in, plain text out. The desktop's clipboard is
// app/'s business; the panel is handed one, and tests hand it a stand-in.
#pragma once

#include <QString>

#include <optional>

namespace panel {

class Pasteboard
{
public:
    virtual ~Pasteboard() = default;
    /// Empties the clipboard and leaves this text as its only content.
    virtual void setString(const QString &text) = 0;
    /// The clipboard's plain text, or nothing when it holds none (only an image, copied files).
    virtual std::optional<QString> string() const = 0;
};

} // namespace panel
