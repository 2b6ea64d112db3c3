// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The few window-manager requests Qt has no API for, sent straight to the X server. Every function
// does nothing on another platform (offscreen, Wayland) or for a window that is not shown.
#pragma once

class QWidget;

namespace app {

/// Asks the window manager to leave the window out of the task bar and the pager.
void skipTaskbar(QWidget *window);

} // namespace app
