// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The widget that shows the real-time line: one line of read-only text, right-aligned, as a
// caption to the value rather than a field. It is a frameless, read-only line edit, so that a
// screen reader finds it by name and reads its text, character by character, from Qt; its text
// is drawn on the window's own colour in the window's text colour.
//
// Its text keeps the panel's font size where the line is wide enough for the widest reading it
// can show, and shrinks as the window narrows, down to three quarters of that size at the
// window's smallest. The line keeps the height of the full size, so nothing moves meanwhile, and
// it follows the panel's font, point- or pixel-sized, whenever that changes.
#pragma once

#include <QLineEdit>

namespace panel {

class RealTimeLine : public QLineEdit
{
    Q_OBJECT

public:
    explicit RealTimeLine(QWidget *parent = nullptr);

    /// The texts the line must show whole at the window's smallest width.
    void setReadings(const QStringList &texts);
    /// As high as the panel's font needs, however large the font now shown.
    QSize sizeHint() const override;
    /// The smallest share of the panel's font size the text shrinks to.
    static constexpr qreal smallestShare = 0.75;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The panel's font at `share` of its size.
    QFont sized(qreal share) const;
    // How wide `text` is in `font`, with the line's margins.
    qreal widthFor(const QFont &font, const QString &text) const;
    // The height and minimum width for the panel's font, then the font for the line's width.
    void fit();
    // The largest font, from the panel's down to the smallest share, that shows the widest
    // reading whole.
    void fitWidth();
    // Text on the window's colour is the window's text colour; a line edit draws the field's.
    void followPalette();

    QStringList readings;
    // The widest of the readings in the panel's font.
    QString widest;
    bool following = false;
};

} // namespace panel
