// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Lines of text drawn from glyphs looked up once per font. Laying a new text out through Qt's text
// engine shapes it anew, which costs more than the rest of a key's work; the tape's lines and the
// real-time line are digits, signs and a few words, which need no shaping: each character is
// looked up once, as a glyph with its advance, and a text is drawn as one run of them. A character
// the font lacks has no glyph of its own there: such a text is laid out as any other, through the
// fallback fonts.
#pragma once

#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>

#include <array>
#include <bitset>
#include <optional>

class QPainter;
class QPaintDevice;

namespace panel {

class GlyphCache
{
public:
    struct Glyph
    {
        quint32 index = 0;
        qreal advance = 0;
        // How far its ink and its advance reach either side of where it is drawn.
        qreal left = 0;
        qreal right = 0;
    };
    // A text as a run of glyphs from its left end, and how wide the run is.
    struct Run
    {
        QList<quint32> indexes;
        QList<QPointF> positions;
        qreal width = 0;
    };

    /// Forgets every glyph, as when the font changes.
    void reset();
    /// `text` as a run in `font` as drawn on `device`; nothing when the font lacks a glyph of it.
    std::optional<Run> runOf(const QString &text, const QFont &font, const QPaintDevice *device);
    /// A glyph of a run made since the last reset.
    Glyph glyph(quint32 index) const { return byIndex.value(index); }
    /// Draws `run` from `origin`, its left end on the baseline, in the painter's pen.
    void draw(QPainter &painter, QPointF origin, const Run &run) const;

private:
    // The glyph of `character`, looked up the first time it is asked for.
    Glyph glyphOf(QChar character);

    QRawFont raw;
    // ASCII, which is nearly every character drawn, in a table; the rest by hash.
    std::array<Glyph, 128> ascii;
    std::bitset<128> asciiKnown;
    QHash<char16_t, Glyph> byCharacter;
    QHash<quint32, Glyph> byIndex;
};

} // namespace panel
