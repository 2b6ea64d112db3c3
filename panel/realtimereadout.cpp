// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/realtimereadout.h"

#include "panel/realtimeline.h"
#include "panel/viewcontroller.h"

namespace panel {

std::optional<std::uint64_t> realTimeFrames(const QString &display, bool timecodeMode,
                                            timecode::Counting counting,
                                            const std::optional<timecode::Timecode> &accumulator,
                                            bool operandIsCount)
{
    const std::string text = display.toStdString();
    std::optional<std::uint64_t> frames;
    if (operandIsCount || counting.frameRate == 0) {
        // No duration to read.
    } else if (timecodeMode) {
        frames = timecode::framesFromTimecodeText(text, counting);
    } else if ((frames = timecode::frameCountFromText(text))) {
        // As the equals step reads it, so the line never shows what the calculator will not use.
        *frames %= counting.nominalFramesPerDay();
    }
    if (!frames && accumulator) {
        frames = accumulator->frameNumber;
    }
    return frames;
}

QString realTimeLine(const std::vector<timecode::RealTimeFigure> &figures)
{
    // Looked up once: a translation lookup takes a lock, and the line changes with every key. It is
    // filled in piece by piece, as QString::arg would parse the pattern at every call.
    static const QString figureAtRate = QObject::tr("%1 at %2");
    static const qsizetype first = figureAtRate.indexOf(QLatin1String("%1"));
    static const qsizetype second = figureAtRate.indexOf(QLatin1String("%2"));
    const QStringView pattern(figureAtRate);
    const auto ascii = [](const std::string &text) {
        return QLatin1String(text.data(), static_cast<qsizetype>(text.size()));
    };
    QString line;
    line.reserve(64);
    for (const timecode::RealTimeFigure &figure : figures) {
        if (!line.isEmpty()) {
            line += QStringView(u" \u00B7 ");
        }
        if (first < 0 || second < first) {
            line += figureAtRate.arg(ascii(figure.duration), ascii(figure.rate));
            continue;
        }
        line += pattern.left(first);
        line += ascii(figure.duration);
        line += pattern.mid(first + 2, second - first - 2);
        line += ascii(figure.rate);
        line += pattern.mid(second + 2);
    }
    return line;
}

namespace {

// What the line shows for the panel as it stands; nothing when the display and the accumulator
// give no value.
std::vector<timecode::RealTimeFigure> figuresOf(const ViewController &panel)
{
    // A count to multiply or divide by is no duration: the accumulator's figures show instead.
    const bool operandIsCount = panel.reading() == Reading::count;
    const timecode::Counting counting = panel.selectedFormat().counting();
    const std::optional<std::uint64_t> frames =
        realTimeFrames(panel.controls().scratchPadRegister->text(), panel.isTimecodeMode(),
                       counting, panel.accumulator(), operandIsCount);
    return frames ? timecode::realTimeFigures(*frames, counting)
                  : std::vector<timecode::RealTimeFigure>();
}

} // namespace

bool ViewController::realTimeShown() const
{
    return userDefault->defRealTime();
}

void ViewController::keepRealTimeShown(bool shown)
{
    ui.realTime->setVisible(shown);
    showRealTime();
    userDefault->setDefRealTime(shown);
    userDefault->synchronize();
}

void ViewController::showRealTime()
{
    // A hidden line costs nothing and holds nothing stale for when it is shown again.
    ui.realTime->setText(ui.realTime->isHidden() ? QString() : realTimeLine(figuresOf(*this)));
}

void ViewController::copyRealTime()
{
    const std::vector<timecode::RealTimeFigure> figures = figuresOf(*this);
    if (!figures.empty() && pasteboard) {
        pasteboard->setString(QString::fromStdString(figures.front().duration));
    }
}

} // namespace panel
