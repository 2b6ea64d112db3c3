// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/glyphcache.h"

#include <QFont>
#include <QGlyphRun>
#include <QPainter>

#include <algorithm>

namespace panel {

void GlyphCache::reset()
{
    raw = QRawFont();
    asciiKnown.reset();
    byCharacter.clear();
    byIndex.clear();
}

std::optional<GlyphCache::Run> GlyphCache::runOf(const QString &text, const QFont &font,
                                                 const QPaintDevice *device)
{
    if (!raw.isValid()) {
        raw = QRawFont::fromFont(QFont(font, device));
    }
    Run laid;
    laid.indexes.reserve(text.size());
    laid.positions.reserve(text.size());
    for (const QChar character : text) {
        const Glyph glyph = glyphOf(character);
        if (glyph.index == 0) {
            return std::nullopt;
        }
        laid.indexes.append(glyph.index);
        laid.positions.append(QPointF(laid.width, 0));
        laid.width += glyph.advance;
    }
    return laid;
}

GlyphCache::Glyph GlyphCache::glyphOf(QChar character)
{
    const char16_t code = character.unicode();
    if (code < ascii.size() && asciiKnown[code]) {
        return ascii[code];
    }
    if (code >= ascii.size()) {
        if (const auto found = byCharacter.constFind(code); found != byCharacter.constEnd()) {
            return *found;
        }
    }
    Glyph glyph;
    const QList<quint32> looked = raw.glyphIndexesForString(QString(character));
    if (looked.size() == 1 && looked.front() != 0) {
        glyph.index = looked.front();
        glyph.advance = raw.advancesForGlyphIndexes(looked).front().x();
        const QRectF ink = raw.boundingRect(glyph.index);
        glyph.left = std::min<qreal>(0, ink.left());
        glyph.right = std::max(glyph.advance, ink.right());
        byIndex.insert(glyph.index, glyph);
    }
    if (code < ascii.size()) {
        ascii[code] = glyph;
        asciiKnown.set(code);
    } else {
        byCharacter.insert(code, glyph);
    }
    return glyph;
}

void GlyphCache::draw(QPainter &painter, QPointF origin, const Run &run) const
{
    QGlyphRun glyphs;
    glyphs.setRawFont(raw);
    glyphs.setGlyphIndexes(run.indexes);
    glyphs.setPositions(run.positions);
    painter.drawGlyphRun(origin, glyphs);
}

} // namespace panel
