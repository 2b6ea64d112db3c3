// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The panel's keyboard. Every key is bound once, by the `keys` property its control carries in
// viewcontroller.ui ("Return; Enter; =" for the equals key); a key presses its button, so it goes
// through exactly the same action as a click, and a key of another control gives it the focus.
#pragma once

#include <QKeySequence>
#include <QList>

class QLineEdit;
class QWidget;

namespace panel {

/// The keyboard keys bound to a control by its `keys` property; none for most.
QList<QKeySequence> boundKeys(const QWidget *control);

/// Binds the keys of every control of the panel, and keeps the read-only display from claiming
/// the editing keys (Backspace, Delete, Ctrl+C) that belong to the panel's and window's commands.
void bindKeys(QWidget *panel, QLineEdit *display);

} // namespace panel
