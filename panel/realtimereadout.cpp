// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/realtimereadout.h"

#include "panel/realtimeline.h"

#include <QEvent>

namespace panel {

namespace {

QString ascii(const std::string &text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

RealTimeReadout::RealTimeReadout(RealTimeLine *line) : QObject(line), line(line)
{
    line->installEventFilter(this);
    write();
}

void RealTimeReadout::show(std::optional<std::uint64_t> frames, timecode::Counting counting,
                           bool pulledDown)
{
    shown = frames && !line->isHidden() ? timecode::realTimeFigures(*frames, counting, pulledDown)
                                        : std::vector<timecode::RealTimeFigure>();
    line->setText(lineText(shown));
}

QString RealTimeReadout::lineText(const std::vector<timecode::RealTimeFigure> &figures)
{
    QStringList written;
    for (const timecode::RealTimeFigure &figure : figures) {
        //: A duration on the clock and the frame rate it was worked at: "01:00:03.600 at 29.97".
        written << tr("%1 at %2").arg(ascii(figure.duration), ascii(figure.rate));
    }
    return written.join(QStringView(u" \u00B7 "));
}

bool RealTimeReadout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == line && event->type() == QEvent::LanguageChange) {
        write();
    }
    return false;
}

void RealTimeReadout::write()
{
    // The widest reading of each format: the last frame of a nominal day, where the figures have
    // the most digits. Either order of the figures is as wide.
    QStringList readings;
    for (const timecode::Format &format : timecode::formatTable) {
        const timecode::Counting counting = format.counting();
        readings << lineText(
            timecode::realTimeFigures(counting.nominalFramesPerDay() - 1, counting, true));
    }
    line->setReadings(readings);
    line->setText(lineText(shown));
}

} // namespace panel
