// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/tapeview.h"

#include "panel/tape.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace panel {

namespace {

// A line of the tape for a screen reader: its words ("plus 00:00:10:00"), and whether it is the
// selected one. It stands for a row, whatever line is on it now.
class LineInterface : public QAccessibleInterface
{
public:
    LineInterface(TapeView *view, int row) : view(view), line(row) {}

    bool isValid() const override { return view && line < view->tape().rowCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return view->window()->windowHandle(); }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(view);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name
                   ? view->tape().index(line).data(Qt::AccessibleTextRole).toString()
                   : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        const QRect area = view->lineRect(line);
        return QRect(view->mapToGlobal(area.topLeft()), area.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    int row() const { return line; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = state.selectable = true;
        state.selected = view->selectedLine() == line;
        state.focused = view->hasFocus() && view->currentLine() == line;
        state.invisible = !view->contentsRect().intersects(view->lineRect(line));
        return state;
    }

private:
    QPointer<TapeView> view;
    int line;
};

// The tape for a screen reader: a list, a child per line.
class TapeInterface : public QAccessibleWidget
{
public:
    explicit TapeInterface(TapeView *view) : QAccessibleWidget(view, QAccessible::List) {}
    ~TapeInterface() override
    {
        for (const QAccessible::Id id : std::as_const(lines)) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return view()->tape().rowCount(); }
    QAccessibleInterface *child(int row) const override
    {
        if (row < 0 || row >= childCount()) {
            return nullptr;
        }
        if (const auto known = lines.constFind(row); known != lines.cend()) {
            return QAccessible::accessibleInterface(*known);
        }
        auto *line = new LineInterface(view(), row);
        lines.insert(row, QAccessible::registerAccessibleInterface(line));
        return line;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *line = dynamic_cast<const LineInterface *>(child);
        return line && line->isValid() ? line->row() : -1;
    }

private:
    TapeView *view() const { return static_cast<TapeView *>(widget()); }

    mutable QHash<int, QAccessible::Id> lines;
};

QAccessibleInterface *tapeInterface(const QString &, QObject *object)
{
    auto *view = qobject_cast<TapeView *>(object);
    return view ? new TapeInterface(view) : nullptr;
}

} // namespace

TapeView::TapeView(const Tape &tape, QWidget *panelFocus, QWidget *parent)
    : QFrame(parent), lines(tape), panelFocus(panelFocus)
{
    static const bool readable = (QAccessible::installFactory(tapeInterface), true);
    Q_UNUSED(readable);
    setAccessibleName(tr("Tape"));
    setAccessibleDescription(tr("Every calculation written down. Enter or a double click puts the "
                                "value of a line into the display; Escape goes back to the keys"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    followFont(); // also where the fixed-pitch font is the one the tape had, and no change comes
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    // A new line is the current one, none selected: Enter is "=" until the user picks a line.
    connect(&tape, &QAbstractItemModel::rowsInserted, this, [this] {
        selected = -1;
        scrollToBottom();
        update();
    });
    // Lines drop off the top only to make room for new ones, which come right after and scroll
    // the tape; until then the lines in view stay where they are.
    connect(&tape, &QAbstractItemModel::rowsRemoved, this,
            [this](auto, int first, int last) { top = std::max(0, top - (last - first + 1)); });
    connect(&tape, &QAbstractItemModel::modelReset, this, [this] {
        selected = -1;
        top = 0;
        update();
    });
}

int TapeView::currentLine() const
{
    return selected >= 0 ? selected : lines.rowCount() - 1;
}

QRect TapeView::lineRect(int row) const
{
    const QRect area = contentsRect();
    const int height = lineHeight();
    return QRect(area.left(), area.top() + (row - top) * height, area.width() - barWidth(), height);
}

void TapeView::scrollToBottom()
{
    scrollTo(lines.rowCount());
}

void TapeView::clearSelection()
{
    if (selected >= 0) {
        selected = -1;
        update();
    }
}

QSize TapeView::sizeHint() const
{
    // Twelve lines, below a panel that sets the width.
    return QSize(fontMetrics().averageCharWidth() * 24, heightFor(12));
}

bool TapeView::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && takesKey(static_cast<QKeyEvent *>(event))) {
        event->accept(); // the key comes to the tape as a key press
        return true;
    }
    if (event->type() == QEvent::FontChange) {
        followFont();
    }
    return QFrame::event(event);
}

void TapeView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    drawFrame(&painter);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const QPalette::ColorGroup group = isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    const int end = std::min(lines.rowCount(), top + linesInView() + 1);
    for (int row = top; row < end; ++row) {
        const QRect line = lineRect(row);
        if (!event->region().intersects(line)) {
            continue;
        }
        const bool isSelected = row == selected;
        if (isSelected) {
            painter.fillRect(line, palette().brush(group, QPalette::Highlight));
        }
        style()->drawItemText(&painter, line.adjusted(margin, 0, -margin, 0),
                              Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, palette(),
                              isEnabled(), lines.index(row).data().toString(),
                              isSelected ? QPalette::HighlightedText : QPalette::Text);
        if (row == currentLine() && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = line;
            focus.backgroundColor =
                palette().color(group, isSelected ? QPalette::Highlight : QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
    // Where the lines in view are on the whole tape, as a thin bar at the right.
    if (const int count = lines.rowCount(); count > linesInView()) {
        const QRect bar = positionRect();
        const int length = std::max(barWidth() * 2, bar.height() * linesInView() / count);
        QColor ink = palette().color(group, QPalette::Text);
        ink.setAlphaF(0.35f);
        painter.fillRect(bar.left() + 1, bar.top() + (bar.height() - length) * top / maxTop(),
                         bar.width() - 2, length, ink);
    }
}

void TapeView::keyPressEvent(QKeyEvent *event)
{
    const int current = currentLine();
    switch (event->key()) {
    case Qt::Key_Up:
        select(selected < 0 ? current : current - 1);
        break;
    case Qt::Key_Down:
        select(selected < 0 ? current : current + 1);
        break;
    case Qt::Key_PageUp:
        select(current - std::max(1, linesInView() - 1));
        break;
    case Qt::Key_PageDown:
        select(current + std::max(1, linesInView() - 1));
        break;
    case Qt::Key_Home:
        select(0);
        break;
    case Qt::Key_End:
        select(lines.rowCount() - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected >= 0) {
            emit activated(selected);
        } else {
            event->ignore();
        }
        break;
    case Qt::Key_Escape:
        panelFocus->setFocus(Qt::ShortcutFocusReason);
        break;
    default:
        QFrame::keyPressEvent(event);
    }
}

void TapeView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        return QFrame::mousePressEvent(event);
    }
    if (positionRect().contains(event->position().toPoint())) {
        mouseMoveEvent(event);
    } else if (const int row = lineAt(event->position().toPoint()); row >= 0) {
        select(row);
    }
}

void TapeView::mouseMoveEvent(QMouseEvent *event)
{
    // Pressed on the bar at the right, the tape follows the pointer up and down.
    const QRect bar = positionRect();
    if ((event->buttons() & Qt::LeftButton) && bar.height() > 0 &&
        bar.contains(event->point(0).pressPosition().toPoint())) {
        const qreal share = (event->position().y() - bar.top()) / bar.height();
        scrollTo(qRound(share * lines.rowCount()) - linesInView() / 2);
    }
}

void TapeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (const int row = lineAt(event->position().toPoint());
        row >= 0 && event->button() == Qt::LeftButton) {
        select(row);
        emit activated(row);
    }
}

void TapeView::wheelEvent(QWheelEvent *event)
{
    // A notch is 120; touchpads send parts of one.
    wheelTurn += event->angleDelta().y();
    const int notches = wheelTurn / 120;
    wheelTurn %= 120;
    scrollTo(top - notches * QApplication::wheelScrollLines());
    event->accept();
}

void TapeView::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    // The newest line stays in view if it was.
    const int before = event->oldSize().height() - frameWidth() * 2;
    top = top + std::max(1, before / lineHeight()) >= lines.rowCount() ? maxTop()
                                                                       : std::min(top, maxTop());
}

int TapeView::lineHeight() const
{
    return fontMetrics().lineSpacing() + 2;
}

int TapeView::heightFor(int lineCount) const
{
    return lineHeight() * lineCount + frameWidth() * 2;
}

int TapeView::linesInView() const
{
    return std::max(1, contentsRect().height() / lineHeight());
}

int TapeView::maxTop() const
{
    return std::max(0, lines.rowCount() - linesInView());
}

void TapeView::followFont()
{
    bar = std::max(4, fontMetrics().averageCharWidth() * 2 / 3);
    setMinimumHeight(heightFor(4));
    updateGeometry();
}

QRect TapeView::positionRect() const
{
    const QRect area = contentsRect();
    return QRect(area.right() - barWidth() + 1, area.top(), barWidth(), area.height());
}

int TapeView::lineAt(QPoint position) const
{
    const int offset = position.y() - contentsRect().top();
    const int row = top + offset / lineHeight();
    return offset >= 0 && row < lines.rowCount() ? row : -1;
}

void TapeView::scrollTo(int first)
{
    first = std::clamp(first, 0, maxTop());
    if (first != top) {
        top = first;
        update();
    }
}

void TapeView::select(int row)
{
    if (lines.rowCount() == 0) {
        return;
    }
    selected = std::clamp(row, 0, lines.rowCount() - 1);
    // The line into view, scrolling no more than it takes.
    scrollTo(std::clamp(top, selected - linesInView() + 1, selected));
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(selected);
        QAccessible::updateAccessibility(&focus);
    }
}

bool TapeView::takesKey(const QKeyEvent *key) const
{
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return lines.rowCount() > 0;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return selected >= 0;
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

} // namespace panel
