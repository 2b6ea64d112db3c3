// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/desktopclipboard.h"

#include "app/waylandclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace app {

namespace {

std::optional<QString> qtClipboardText()
{
    // Plain text only: QMimeData::hasText() would also take a list of copied files as text.
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasFormat(QStringLiteral("text/plain"))) {
        return std::nullopt;
    }
    return data->text();
}

} // namespace

DesktopClipboard::DesktopClipboard()
    : wayland(WaylandClipboard::connectTo(qgetenv("WAYLAND_DISPLAY")))
{
}

DesktopClipboard::~DesktopClipboard() = default;

void DesktopClipboard::setString(const QString &text)
{
    // Where the compositor takes the text, it also hands it to X11 programs; setting the X
    // selection as well would race with that hand-over in XWayland and can leave both clipboards
    // empty. Elsewhere Qt's setText replaces everything the clipboard held.
    if (!wayland || !wayland->setText(text)) {
        QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    }
}

void DesktopClipboard::requestString(Reply reply)
{
    if (!wayland) {
        reply(qtClipboardText());
        return;
    }
    wayland->readText(reply, [reply] { reply(qtClipboardText()); });
}

} // namespace app
