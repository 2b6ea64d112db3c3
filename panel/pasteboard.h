// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The clipboard as the panel needs it: plain text in, plain text out. The desktop's clipboard is
// app/'s business; the panel is handed one, and tests hand it a stand-in.
#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace panel {

class Pasteboard
{
public:
    /// Receives the clipboard's plain text, or nothing when it holds none (only an image, copied
    /// files).
    using Reply = std::function<void(const std::optional<QString> &)>;

    virtual ~Pasteboard() = default;
    /// Empties the clipboard and leaves this text as its only content.
    virtual void setString(const QString &text) = 0;
    /// Hands the clipboard's plain text to `reply`, at once or, when another program must send it,
    /// a few milliseconds later from the event loop. A newer request replaces one still waiting,
    /// and no reply comes once the pasteboard is gone.
    virtual void requestString(Reply reply) = 0;
};

} // namespace panel
