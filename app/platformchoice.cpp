// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/platformchoice.h"

namespace app {

QByteArray preferredPlatform(const QProcessEnvironment &environment)
{
    // A Wayland compositor does not let a client keep its window above others, so a floating
    // calculator runs through XWayland where it is available.
    const bool waylandSession =
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland") ||
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    const bool x11Available = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    const bool userChose = environment.contains(QStringLiteral("QT_QPA_PLATFORM"));
    return waylandSession && x11Available && !userChose ? QByteArray("xcb") : QByteArray();
}

} // namespace app
