// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The desktop's clipboard (the X11 CLIPBOARD selection, not the primary one), as the panel's
// pasteboard.
#pragma once

#include "panel/pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace app {

class DesktopClipboard : public panel::Pasteboard
{
public:
    void setString(const QString &text) override
    {
        // setText replaces everything the clipboard held.
        QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    }

    std::optional<QString> string() const override
    {
        // Plain text only: QMimeData::hasText() would also take a list of copied files as text.
        const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
        if (!data || !data->hasFormat(QStringLiteral("text/plain"))) {
            return std::nullopt;
        }
        return data->text();
    }
};

} // namespace app
