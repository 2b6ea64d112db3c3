// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Which windowing platform tcpad asks Qt for, decided before the application object exists.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

namespace app {

/// In a Wayland session, the platforms for Qt to try in turn (QT_QPA_PLATFORM's list): X11 first,
/// through XWayland where a window can stay above the others, when DISPLAY names one, then Wayland;
/// in a sway session Wayland first, since sway keeps no window above others by itself anyway and
/// draws an XWayland window blurred on a scaled screen. Empty, leaving the choice to Qt, everywhere
/// else and whenever the user has chosen a platform with QT_QPA_PLATFORM.
QByteArray preferredPlatform(const QProcessEnvironment &environment);

} // namespace app
