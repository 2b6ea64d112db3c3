// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// How the panel looks beyond what its form describes: a fixed-pitch display wide enough for the
// longest timecode, larger operator symbols tinted towards the palette's accent, and tooltips
// that name each key's keyboard keys.
#pragma once

#include "ui_viewcontroller.h"

namespace panel {

/// Styles the controls of a freshly built panel; the tint follows later palette changes.
void applyAppearance(QWidget *panel, const Ui::ViewController &ui);

} // namespace panel
