// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The widget that shows the real-time line: one line of read-only text, right-aligned, in the
// palette's text on the window's own colour. Every key changes it, so it is drawn from glyphs
// looked up once (glyphcache.h), and a new text draws again only the glyphs that changed: the
// figures are right-aligned in digits of one width, so a result one frame on mostly changes the
// last digits of each figure.
//
// A screen reader finds it by its accessible name and reads its text through the accessible text
// interface, as it reads a label's.
#pragma once

#include "panel/glyphcache.h"

#include <QWidget>

#include <optional>

namespace panel {

class RealTimeLine : public QWidget
{
    Q_OBJECT

public:
    explicit RealTimeLine(QWidget *parent = nullptr);

    QString text() const { return shown; }
    void setText(const QString &text);
    /// How wide `text` is drawn in `font`, margins included: what the line needs to show it whole.
    int widthFor(const QFont &font, const QString &text) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Where a run starts when it ends at the right margin.
    qreal originOf(const GlyphCache::Run &run) const;
    // What must be drawn again when `next` replaces the run shown: the glyphs that are not in
    // both at the same place.
    QRegion changedFor(const GlyphCache::Run &next) const;

    QString shown;
    GlyphCache glyphs;
    // The shown text as glyphs; nothing when it is laid out as other text is.
    std::optional<GlyphCache::Run> run;
};

} // namespace panel
