// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/conversion.h"

#include "panel/viewcontroller.h"
#include "timecode/rates.h"

namespace panel {

namespace {

const char *const convertTitle = "Convert To";
const char *const conformTitle = "Conform To";

QString ascii(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QStringList conversionMenuTitles()
{
    return {QLatin1String(convertTitle), QLatin1String(conformTitle)};
}

void runConversion(ViewController &panel, const QString &rateTitle, const QString &menuTitle)
{
    const bool keepDuration = menuTitle == QLatin1String(convertTitle);
    const std::optional<timecode::Rate> rate = timecode::rateForText(rateTitle.toStdString());
    if (!rate || (!keepDuration && menuTitle != QLatin1String(conformTitle))) {
        return;
    }
    // With nothing keyed or pending the total itself is converted.
    const bool nothingPending = panel.accumulator() && panel.currentSign() == Sign::blank &&
                                panel.controls().scratchPadRegister->text().isEmpty();
    if (!nothingPending && !panel.calculate()) {
        return;
    }
    const timecode::Timecode &total = *panel.accumulator();
    const timecode::Counting from = total.counting();
    const timecode::Counting to = rate->counting();
    const bool fromPulledDown = panel.pulledDown();
    const timecode::Format format = timecode::formatForTitle(rate->formatTitle);
    std::optional<timecode::Timecode> result =
        timecode::createTimecode(format.rateText, format.dropFrame);
    const std::uint64_t days = result->addFrames(
        keepDuration ? timecode::framesForSameDuration(total.frameNumber, from, fromPulledDown, to,
                                                       rate->pulledDown)
                     : total.frameNumber);
    const QString speed =
        keepDuration
            ? QString()
            : ascii(timecode::conformSpeedText(from, fromPulledDown, to, rate->pulledDown));

    // The list's own handler empties the display and keeps the format; the total is shown after.
    const QString formatBefore = panel.controls().popupFormat->currentText();
    panel.controls().popupFormat->setCurrentText(ascii(format.title));
    if (timecode::fractionalRateChoosable(to)) {
        panel.keepFractionalRate(rate->pulledDown);
    }
    panel.showTotal(*result);
    panel.tape().writeConversion(
        formatBefore, ascii(rate->text), speed, panel.accumulatorText(),
        {days > 0 ? Tape::Note::Kind::daysOn : Tape::Note::Kind::none, days});
}

} // namespace panel
