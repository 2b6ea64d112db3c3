// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What the real-time line says: how long a count of frames lasts on the clock, at the 1000/1001
// rate where video runs at it and at the nominal rate, as timecode/realtime.h works it out,
// written "01:00:03.600 at 29.97 · 01:00:00.000 at 30" in the user's language. The panel tells it
// the frames its value stands for whenever the display, the mode, the format or the running total
// change; a language change writes the line again.
#pragma once

#include "timecode/realtime.h"
#include "timecode/timecode.h"

#include <QCoreApplication>
#include <QObject>

#include <cstdint>
#include <optional>
#include <vector>

namespace panel {

class RealTimeLine;

class RealTimeReadout : public QObject
{
    Q_OBJECT

public:
    /// Writes on `line`, which owns it.
    explicit RealTimeReadout(RealTimeLine *line);

    /// Shows how long `frames` last in the counting, the figure at the rate in use (pulled down
    /// or not) first; nothing empties the line. A hidden line is left empty, so it holds nothing
    /// stale when it is shown again.
    void show(std::optional<std::uint64_t> frames, timecode::Counting counting, bool pulledDown);
    /// The figures the line shows, the first first; none while it shows nothing.
    const std::vector<timecode::RealTimeFigure> &figures() const { return shown; }

    /// The figures as the line writes them.
    static QString lineText(const std::vector<timecode::RealTimeFigure> &figures);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Writes the figures, and gives the line the widest reading it must fit.
    void write();

    RealTimeLine *line;
    std::vector<timecode::RealTimeFigure> shown;
};

} // namespace panel
