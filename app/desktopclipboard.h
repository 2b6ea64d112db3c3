// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The desktop's clipboard as the panel's pasteboard: the X11 CLIPBOARD selection (not the primary
// one), read through XCB from the event loop and written through Qt, and in a Wayland session also
// the compositor's selection, so that a copy made while another program has the focus reaches
// native Wayland programs too, and a paste takes what the user copied last, wherever that was.
#pragma once

#include "panel/pasteboard.h"

#include <memory>

namespace app {

class WaylandClipboard;
class XClipboard;

class DesktopClipboard : public panel::Pasteboard
{
public:
    /// Connects to the Wayland compositor that WAYLAND_DISPLAY names, if any.
    DesktopClipboard();
    ~DesktopClipboard() override;

    void setString(const QString &text) override;
    /// Reads the Wayland selection where the compositor lets tcpad read it without the focus, and
    /// the X selection elsewhere or when the compositor does not answer.
    void requestString(Reply reply) override;

private:
    void readXOrQt(const Reply &reply);

    std::unique_ptr<WaylandClipboard> wayland;
    std::unique_ptr<XClipboard> x11;
};

} // namespace app
