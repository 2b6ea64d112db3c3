// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/realtimeline.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace panel {

RealTimeLine::RealTimeLine(QWidget *parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setFrame(false);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // On the window's own colour: the foreground is the window's text.
    setBackgroundRole(QPalette::Window);
    setForegroundRole(QPalette::WindowText);
    followPalette();
    if (parent) {
        parent->installEventFilter(this);
    }
    fit();
}

void RealTimeLine::setReadings(const QStringList &texts)
{
    readings = texts;
    fit();
}

QSize RealTimeLine::sizeHint() const
{
    return {QLineEdit::sizeHint().width(), minimumHeight()};
}

bool RealTimeLine::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ParentChange:
        // The panel's font is the one the line fits; it hears of its changes through the panel.
        if (parentWidget()) {
            parentWidget()->installEventFilter(this);
        }
        fit();
        break;
    case QEvent::PaletteChange:
        followPalette();
        break;
    default:
        break;
    }
    return QLineEdit::event(event);
}

bool RealTimeLine::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::FontChange) {
        fit();
    }
    return false;
}

void RealTimeLine::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    fitWidth();
}

void RealTimeLine::fitWidth()
{
    // Font sizes come in steps, so the size is found by steps too, not by proportion.
    qreal share = 1;
    while (share > smallestShare && widthFor(sized(share), widest) > width()) {
        share -= 0.025;
    }
    const QFont font = sized(std::max(share, smallestShare));
    if (font != this->font()) {
        setFont(font);
    }
}

QFont RealTimeLine::sized(qreal share) const
{
    QFont font = parentWidget() ? parentWidget()->font() : QApplication::font(this);
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * share);
    } else {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * share))));
    }
    return font;
}

qreal RealTimeLine::widthFor(const QFont &font, const QString &text) const
{
    // The text, and the few pixels a frameless line edit keeps either side of it.
    const QMargins margins = textMargins() + contentsMargins();
    return QFontMetricsF(font, this).horizontalAdvance(text) + margins.left() + margins.right() + 4;
}

void RealTimeLine::fit()
{
    const QFont full = sized(1);
    const QFontMetricsF metrics(full, this);
    widest.clear();
    for (const QString &reading : std::as_const(readings)) {
        if (metrics.horizontalAdvance(reading) > metrics.horizontalAdvance(widest)) {
            widest = reading;
        }
    }
    setFixedHeight(static_cast<int>(std::ceil(metrics.height())) + 2);
    setMinimumWidth(static_cast<int>(std::ceil(widthFor(sized(smallestShare), widest))));
    fitWidth();
}

void RealTimeLine::followPalette()
{
    if (following) {
        return;
    }
    following = true;
    QPalette shown = palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        shown.setBrush(group, QPalette::Text, shown.brush(group, foregroundRole()));
        shown.setBrush(group, QPalette::Base, Qt::transparent);
    }
    setPalette(shown);
    following = false;
}

} // namespace panel
