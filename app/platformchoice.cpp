// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/platformchoice.h"

#include <QStringList>

#include <algorithm>

namespace app {

namespace {

// sway's socket, or sway among the desktops the session names (a colon-separated list).
bool swaySession(const QProcessEnvironment &environment)
{
    if (!environment.value(QStringLiteral("SWAYSOCK")).isEmpty()) {
        return true;
    }
    const QStringList desktops =
        environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(QLatin1Char(':'));
    return std::any_of(desktops.begin(), desktops.end(), [](const QString &desktop) {
        return desktop.compare(QLatin1String("sway"), Qt::CaseInsensitive) == 0;
    });
}

} // namespace

QByteArray preferredPlatform(const QProcessEnvironment &environment)
{
    const bool waylandSession =
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland") ||
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (!waylandSession || environment.contains(QStringLiteral("QT_QPA_PLATFORM"))) {
        return QByteArray();
    }
    const bool x11Available = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    // sway stretches an XWayland window's pixels on a scaled screen (blurry at 1.5, blocky at 2)
    // and floats a window only by a rule of the user's, native or not: there a native window
    // loses nothing and is drawn at the screen's scale. X11 stays the way out should the Wayland
    // connection fail.
    if (swaySession(environment)) {
        return x11Available ? QByteArray("wayland;xcb") : QByteArray("wayland");
    }
    // Any other compositor does not let a client keep its window above others, so a floating
    // calculator runs through XWayland where it can. Qt tries the platforms in turn: where
    // XWayland refuses the connection (a launcher without XAUTHORITY), tcpad runs on Wayland.
    return x11Available ? QByteArray("xcb;wayland") : QByteArray("wayland");
}

} // namespace app
