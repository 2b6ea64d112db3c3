// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What each key and menu title does: the tables the panel's actions look a sender's title up in.
#pragma once

#include <QString>
#include <QStringList>

namespace panel {

class ViewController;

/// Runs the command of the key with this title on the panel; an unknown title does nothing.
void runKeyCommand(ViewController &panel, const QString &title);
/// Runs the command of the menu item with this title on the panel; an unknown title does nothing.
void runMenuCommand(ViewController &panel, const QString &title);
/// The titles each table understands, in its order.
QStringList keyTitles();
QStringList menuTitles();

} // namespace panel
