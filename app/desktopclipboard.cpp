// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/desktopclipboard.h"

#include "app/waylandclipboard.h"
#include "app/xclipboard.h"

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
    : wayland(WaylandClipboard::connectTo(qgetenv("WAYLAND_DISPLAY"))),
      x11(XClipboard::onQtConnection())
{
}

DesktopClipboard::~DesktopClipboard() = default;

void DesktopClipboard::setString(const QString &text)
{
    // Where the compositor takes the text, it also hands it to X11 programs; setting the X
    // selection as well would race with that hand-over in XWayland and can leave both clipboards
    // empty. Elsewhere Qt's setText replaces everything the clipboard held.
    if (wayland && wayland->setText(text)) {
        return;
    }
    if (x11) {
        x11->setText(text);
    } else {
        QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    }
}

void DesktopClipboard::requestString(Reply reply)
{
    if (wayland) {
        wayland->readText(reply, [this, reply] { readXOrQt(reply); });
    } else {
        readXOrQt(reply);
    }
}

void DesktopClipboard::readXOrQt(const Reply &reply)
{
    // Natively on a compositor without data-control, only Qt can read the clipboard, and its read
    // waits for the owner (docs/window.md says how long).
    if (x11) {
        x11->readText(reply);
    } else {
        reply(qtClipboardText());
    }
}

} // namespace app
