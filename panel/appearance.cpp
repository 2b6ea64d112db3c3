// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/appearance.h"

#include "panel/keyboard.h"
#include "panel/viewcontroller.h"
#include "timecode/timecode.h"

#include <QCache>
#include <QEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeySequence>
#include <QPainter>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QTableView>

namespace panel {

namespace {

// Tints the operator keys towards the palette's highlight colour, and tints them again whenever
// the desktop changes the palette, so the accent suits a light and a dark palette alike.
class OperatorAccent : public QObject
{
public:
    OperatorAccent(QWidget *panel, QList<QPushButton *> keys)
        : QObject(panel), keys(std::move(keys))
    {
        apply(panel->palette());
        panel->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange && !applying) {
            apply(static_cast<QWidget *>(watched)->palette());
        }
        return false;
    }

private:
    void apply(const QPalette &panelPalette)
    {
        applying = true;
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            const QColor button = panelPalette.color(group, QPalette::Button);
            const QColor highlight = panelPalette.color(group, QPalette::Highlight);
            const qreal share = 0.15;
            const QColor tint =
                QColor::fromRgbF(button.redF() * (1 - share) + highlight.redF() * share,
                                 button.greenF() * (1 - share) + highlight.greenF() * share,
                                 button.blueF() * (1 - share) + highlight.blueF() * share);
            for (QPushButton *key : keys) {
                QPalette keyPalette = key->palette();
                keyPalette.setColor(group, QPalette::Button, tint);
                key->setPalette(keyPalette);
            }
        }
        applying = false;
    }

    QList<QPushButton *> keys;
    bool applying = false;
};

// Draws the lines of the tape from glyph runs laid out once: a line never changes, and laying
// each out again for every repaint (what the style's own item drawing does) was most of the time a
// full tape took to show a new result.
class TapeLines : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QWidget *view = item.widget;
        QStyle *style = view->style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, view);
        QStaticText *text = laidOut.object(item.text);
        if (!text) {
            text = new QStaticText(item.text);
            text->setTextFormat(Qt::PlainText);
            text->prepare(QTransform(), item.font);
            laidOut.insert(item.text, text);
        }
        const bool selected = item.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled)
                                               ? QPalette::Disabled
                                           : item.state & QStyle::State_Active ? QPalette::Active
                                                                               : QPalette::Inactive;
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        painter->save();
        painter->setFont(item.font);
        painter->setPen(
            item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawStaticText(
            item.rect.left() + margin,
            item.rect.top() + (item.rect.height() - int(text->size().height())) / 2, *text);
        painter->restore();
        if (item.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(item);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, view);
        }
    }

private:
    // The visible lines and a few more; a line scrolled back into view is laid out again.
    mutable QCache<QString, QStaticText> laidOut{64};
};

} // namespace

void applyAppearance(QWidget *panel, const Ui::ViewController &ui)
{
    // The value is what the eye looks for first: a fixed-pitch font, so digits stay put as they
    // change, at about twice the size of the keys' text, with room for the longest timecode.
    QFont displayFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    displayFont.setPointSizeF(panel->font().pointSizeF() * 2.0);
    ui.scratchPadRegister->setFont(displayFont);
    ui.sign->setFont(displayFont);
    QString longest;
    for (const timecode::Format &format : timecode::formatTable) {
        const timecode::Counting counting = format.counting();
        const std::string text = timecode::timecodeText(counting.framesPerDay() - 1, counting);
        if (text.size() > static_cast<std::size_t>(longest.size())) {
            longest = QString::fromStdString(text);
        }
    }
    const QFontMetrics metrics(displayFont);
    ui.scratchPadRegister->setMinimumWidth(metrics.horizontalAdvance(longest) +
                                           metrics.averageCharWidth() * 2);
    ui.sign->setFixedWidth(metrics.averageCharWidth() * 2);

    // The operator symbols are thin glyphs; larger they read as well as the digits.
    const QList<QPushButton *> operators = {ui.buttonPlus, ui.buttonMinus, ui.buttonEquals};
    for (QPushButton *key : operators) {
        QFont operatorFont = key->font();
        operatorFont.setPointSizeF(panel->font().pointSizeF() * 1.4);
        key->setFont(operatorFont);
    }
    new OperatorAccent(panel, operators);

    // Tell each control which keyboard keys reach it; a screen reader speaks the description
    // rather than the tooltip once one is set.
    for (QWidget *control : panel->findChildren<QWidget *>()) {
        QStringList names;
        for (const QKeySequence &key : boundKeys(control)) {
            names << key.toString(QKeySequence::NativeText);
        }
        if (names.isEmpty()) {
            continue;
        }
        const QString keys = names.join(QStringLiteral(", "));
        const QString tip = control->toolTip();
        control->setToolTip(tip.isEmpty() ? QObject::tr("Key: %1").arg(keys)
                                          : QObject::tr("%1 (key: %2)").arg(tip, keys));
        if (!control->accessibleDescription().isEmpty()) {
            control->setAccessibleDescription(
                QObject::tr("%1 (key: %2)").arg(control->accessibleDescription(), keys));
        }
    }
}

void applyTapeAppearance(QTableView *tape)
{
    // Lines are written in columns, the sign, then the value, as on paper; one row per line.
    tape->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    tape->setItemDelegate(new TapeLines(tape));
    const int line = tape->fontMetrics().lineSpacing() + 2;
    tape->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tape->verticalHeader()->setMinimumSectionSize(line);
    tape->verticalHeader()->setDefaultSectionSize(line);
    tape->setMinimumHeight(line * 4 + tape->frameWidth() * 2);
}

} // namespace panel
