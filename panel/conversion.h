// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Moving the running total to another rate. Convert To keeps how long the total lasts, so its
// frames are counted again at the new rate (a 23.976 edit delivered at 25); Conform To keeps the
// frames, which then play faster or slower (24 fps film shown at 25). Either completes what is
// pending first, as "=" does, then switches the format list, locked as it is, and the choice of
// the 1000/1001 rate to the new rate: the one way the format changes under a running total.
#pragma once

#include <QString>
#include <QStringList>

namespace panel {

class ViewController;

/// The titles of the two menus, each of which lists the rates of timecode::rateTable by their
/// text.
QStringList conversionMenuTitles();

/// Moves the panel's running total to the rate whose text is `rateTitle`, keeping its duration
/// under the menu titled "Convert To" and its frames under "Conform To"; the result, reduced into
/// the new format's day, is the new total. An unknown title does nothing, and so does an ERROR on
/// the display or from completing what is pending, which leaves the format as it was.
void runConversion(ViewController &panel, const QString &rateTitle, const QString &menuTitle);

} // namespace panel
