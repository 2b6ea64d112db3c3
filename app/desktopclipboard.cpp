// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/desktopclipboard.h"

#include "app/waylandclipboard.h"
#include "app/xclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <utility>

namespace app {

// Qt's clipboard, read only where that never waits for another program: what tcpad copied itself
// through Qt, answered from memory while Qt still holds it, and on platforms that keep the
// clipboard in this process (offscreen) whatever it holds. On X11 and Wayland Qt waits for the
// owner with the event loop stopped, for as long as the owner keeps sending, and reads the whole
// text; there the other routes read.
class QtClipboard : public PasteRoute
{
public:
    QString copied;

    void read(PasteRead &paste) override
    {
        const QClipboard *clipboard = QGuiApplication::clipboard();
        const QString platform = QGuiApplication::platformName();
        if (clipboard->ownsClipboard()) {
            paste.append(copied.toUtf8());
            paste.end(PasteRead::End::utf8);
            return;
        }
        if (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"))) {
            paste.end(PasteRead::End::unanswered);
            return;
        }
        // Plain text only: QMimeData::hasText() would also take a list of copied files as text.
        const QMimeData *data = clipboard->mimeData(QClipboard::Clipboard);
        if (!data || !data->hasFormat(QStringLiteral("text/plain"))) {
            paste.end(PasteRead::End::nothing);
            return;
        }
        paste.append(data->text().toUtf8());
        paste.end(PasteRead::End::utf8);
    }
    void cancel() override {}
};

DesktopClipboard::DesktopClipboard()
    : qt(std::make_unique<QtClipboard>()),
      wayland(WaylandClipboard::connectTo(qgetenv("WAYLAND_DISPLAY"))),
      x11(XClipboard::onQtConnection()), paste([this](PasteRead::End how) { ended(how); })
{
    for (PasteRoute *route :
         {static_cast<PasteRoute *>(qt.get()), static_cast<PasteRoute *>(wayland.get()),
          static_cast<PasteRoute *>(x11.get())}) {
        if (route) {
            routes.push_back(route);
        }
    }
    reading = routes.size();
    deadline.setSingleShot(true);
    deadline.setInterval(PasteRead::deadlineMs);
    QObject::connect(&deadline, &QTimer::timeout, &deadline, [this] { answer(std::nullopt); });
}

DesktopClipboard::~DesktopClipboard()
{
    stop();
}

void DesktopClipboard::setString(const QString &text)
{
    // Where the compositor takes the text, it also hands it to X11 programs; setting the X
    // selection as well would race with that hand-over in XWayland and can leave both clipboards
    // empty. Elsewhere Qt's setText replaces everything the clipboard held.
    if (wayland && wayland->setText(text)) {
        return;
    }
    qt->copied = text;
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void DesktopClipboard::requestString(Reply reply)
{
    stop();
    waiting = std::move(reply);
    deadline.start();
    ask(0);
}

void DesktopClipboard::ask(std::size_t route)
{
    paste.clear();
    reading = route;
    if (route < routes.size()) {
        routes[route]->read(paste);
    } else {
        answer(std::nullopt);
    }
}

void DesktopClipboard::ended(PasteRead::End how)
{
    if (how == PasteRead::End::unanswered) {
        ask(reading + 1);
        return;
    }
    const QByteArray &bytes = paste.read();
    answer(how == PasteRead::End::nothing  ? std::nullopt
           : how == PasteRead::End::latin1 ? std::optional(QString::fromLatin1(bytes))
                                           : std::optional(QString::fromUtf8(bytes)));
}

void DesktopClipboard::answer(const std::optional<QString> &text)
{
    stop();
    // The reply may start another paste.
    if (waiting) {
        std::exchange(waiting, nullptr)(text);
    }
}

void DesktopClipboard::stop()
{
    deadline.stop();
    if (const std::size_t route = std::exchange(reading, routes.size()); route < routes.size()) {
        routes[route]->cancel();
    }
    paste.clear();
}

} // namespace app
