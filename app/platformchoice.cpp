// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/platformchoice.h"

namespace app {

QByteArray preferredPlatform(const QProcessEnvironment &environment)
{
    const bool waylandSession =
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland") ||
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (!waylandSession || environment.contains(QStringLiteral("QT_QPA_PLATFORM"))) {
        return QByteArray();
    }
    // A Wayland compositor does not let a client keep its window above others, so a floating
    // calculator runs through XWayland where it can. Qt tries the platforms in turn: where
    // XWayland refuses the connection (a launcher without XAUTHORITY), tcpad runs on Wayland.
    const bool x11Available = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    return x11Available ? QByteArray("xcb;wayland") : QByteArray("wayland");
}

} // namespace app
