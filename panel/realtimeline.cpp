// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/realtimeline.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <utility>

namespace panel {

namespace {

// Room either side of the text, as a line edit without a frame keeps.
constexpr int margin = 2;

// Read-only text to assistive technology: the name says what the line is, the text interface
// gives what it shows, with no caret and no selection.
class RealTimeLineAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit RealTimeLineAccessible(QWidget *line)
        : QAccessibleWidget(line, QAccessible::StaticText)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface *>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? shown() : QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *start, int *end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    QString shown() const { return static_cast<const RealTimeLine *>(widget())->text(); }
};

QAccessibleInterface *accessibleLine(const QString &className, QObject *object)
{
    if (className == QLatin1String(RealTimeLine::staticMetaObject.className()) &&
        object->isWidgetType()) {
        return new RealTimeLineAccessible(static_cast<QWidget *>(object));
    }
    return nullptr;
}

} // namespace

RealTimeLine::RealTimeLine(QWidget *parent) : QWidget(parent)
{
    static const bool accessible = [] {
        QAccessible::installFactory(accessibleLine);
        return true;
    }();
    Q_UNUSED(accessible)
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void RealTimeLine::setText(const QString &text)
{
    if (text == shown) {
        return;
    }
    const QString before = std::exchange(shown, text);
    std::optional<GlyphCache::Run> next = glyphs.runOf(shown, font(), this);
    if (run && next && isVisible()) {
        update(changedFor(*next));
    } else {
        update();
    }
    run = std::move(next);
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, before, shown);
        QAccessible::updateAccessibility(&event);
    }
}

int RealTimeLine::widthFor(const QFont &font, const QString &text) const
{
    // Measured as it is drawn, from the glyphs' own advances, so the fit and the drawing agree.
    GlyphCache measure;
    const std::optional<GlyphCache::Run> laid = measure.runOf(text, font, this);
    const qreal width = laid ? laid->width : QFontMetricsF(font, this).horizontalAdvance(text);
    return static_cast<int>(std::ceil(width)) + 2 * margin;
}

QSize RealTimeLine::sizeHint() const
{
    // The width is the fit's to set; the height is the text's and a pixel either side.
    return {0, fontMetrics().height() + 2};
}

QSize RealTimeLine::minimumSizeHint() const
{
    return sizeHint();
}

qreal RealTimeLine::originOf(const GlyphCache::Run &laid) const
{
    return width() - margin - laid.width;
}

QRegion RealTimeLine::changedFor(const GlyphCache::Run &next) const
{
    // Both runs go left to right, so they are walked side by side: a glyph that the other has not
    // at the same place (to a 64th of a pixel) is drawn again, as far as its ink and its advance
    // reach and a pixel more for the smoothing. Spans that touch are joined.
    QVarLengthArray<QRect, 8> spans;
    const auto redraw = [&](qreal at, quint32 index) {
        const GlyphCache::Glyph glyph = glyphs.glyph(index);
        const int left = static_cast<int>(std::floor(at + glyph.left)) - 1;
        const int right = static_cast<int>(std::ceil(at + glyph.right)) + 1;
        if (!spans.isEmpty() && left <= spans.back().right() + 1) {
            spans.back().setLeft(std::min(spans.back().left(), left));
            spans.back().setRight(std::max(spans.back().right(), right - 1));
        } else {
            spans.append(QRect(left, 0, right - left, height()));
        }
    };
    const auto at = [this](const GlyphCache::Run &laid, qsizetype i) {
        return std::llround((originOf(laid) + laid.positions[i].x()) * 64);
    };
    const GlyphCache::Run &was = *run;
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < was.indexes.size() || j < next.indexes.size()) {
        const bool wasLeft =
            j == next.indexes.size() || (i < was.indexes.size() && at(was, i) <= at(next, j));
        const bool nowLeft =
            i == was.indexes.size() || (j < next.indexes.size() && at(next, j) <= at(was, i));
        if (wasLeft && nowLeft && was.indexes[i] == next.indexes[j]) {
            ++i;
            ++j;
            continue;
        }
        if (wasLeft) {
            redraw(at(was, i) / 64.0, was.indexes[i]);
            ++i;
        }
        if (nowLeft) {
            redraw(at(next, j) / 64.0, next.indexes[j]);
            ++j;
        }
    }
    QRegion region;
    for (const QRect &span : spans) {
        region += span;
    }
    return region;
}

void RealTimeLine::paintEvent(QPaintEvent *)
{
    if (shown.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    if (!run) {
        painter.drawText(rect().adjusted(margin, 0, -margin, 0),
                         Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    const int top = (height() - metrics.height() + 1) / 2;
    glyphs.draw(painter, QPointF(originOf(*run), top + metrics.ascent()), *run);
}

void RealTimeLine::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        glyphs.reset();
        run = glyphs.runOf(shown, font(), this);
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace panel
