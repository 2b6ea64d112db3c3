// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Which windowing platform tcpad asks Qt for, decided before the application object exists.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

namespace app {

/// "xcb" in a Wayland session that also offers X11 (XWayland), where a window can stay above
/// the others; empty, leaving the choice to Qt, everywhere else and whenever the user has chosen a
/// platform with QT_QPA_PLATFORM.
QByteArray preferredPlatform(const QProcessEnvironment &environment);

} // namespace app
