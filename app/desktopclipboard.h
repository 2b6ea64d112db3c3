// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The desktop's clipboard as the panel's pasteboard: the X11 CLIPBOARD selection (not the primary
// one), read through XCB from the event loop and written through Qt, and in a Wayland session also
// the compositor's selection, so that a copy made while another program has the focus reaches
// native Wayland programs too, and a paste takes what the user copied last, wherever that was.
//
// This class owns each paste; the routes only read bytes (see pasteread.h). A paste has one
// deadline from its request, however many routes it tries, and one answer: the text, or nothing
// when the clipboard holds none, its owner breaks off, or the deadline passes. A newer paste ends
// an older one in whichever route it is, and the older one is never answered.
#pragma once

#include "app/pasteread.h"
#include "panel/pasteboard.h"

#include <QTimer>

#include <memory>
#include <vector>

namespace app {

class QtClipboard;
class WaylandClipboard;
class XClipboard;

class DesktopClipboard : public panel::Pasteboard
{
public:
    /// Connects to the Wayland compositor that WAYLAND_DISPLAY names, if any.
    DesktopClipboard();
    ~DesktopClipboard() override;

    void setString(const QString &text) override;
    /// Takes what Qt holds itself at once; else reads the Wayland selection where the compositor
    /// lets tcpad read it without the focus, then the X selection where Wayland's cannot be read.
    void requestString(Reply reply) override;

private:
    void ask(std::size_t route);
    void ended(PasteRead::End how);
    void answer(const std::optional<QString> &text);
    /// Ends the paste under way without an answer.
    void stop();

    std::unique_ptr<QtClipboard> qt;
    std::unique_ptr<WaylandClipboard> wayland;
    std::unique_ptr<XClipboard> x11;
    // The routes in the order a paste asks them.
    std::vector<PasteRoute *> routes;

    // The paste under way: its reply, the route reading (none past the last), what it read.
    Reply waiting;
    std::size_t reading = 0;
    PasteRead paste;
    QTimer deadline;
};

} // namespace app
