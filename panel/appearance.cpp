// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/appearance.h"

#include "panel/keyboard.h"
#include "panel/viewcontroller.h"
#include "timecode/timecode.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QKeySequence>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionFrame>

#include <algorithm>

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

// Draws the display's field from a picture of it. The style draws the field's rounded,
// antialiased frame anew whenever the value changes, and that was most of the time from a key to
// the new value on screen; the frame itself only changes with the field's size, state or palette.
// Only for Qt's own Fusion style, which draws from the option alone: other styles may animate the
// frame, and a picture would stop them.
class FramePicture : public QProxyStyle
{
public:
    explicit FramePicture(QObject *owner) : QProxyStyle(QStringLiteral("Fusion"))
    {
        setParent(owner);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        const auto *field = qstyleoption_cast<const QStyleOptionFrame *>(option);
        if (element != PE_PanelLineEdit || !field ||
            painter->transform().type() > QTransform::TxTranslate) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        // Fusion draws the field from these alone.
        const Drawn now{field->rect.size(), field->state, field->palette.cacheKey(),
                        field->lineWidth, painter->device()->devicePixelRatio()};
        if (!(now == drawn)) {
            picture = QImage(now.size * now.scale, QImage::Format_ARGB32_Premultiplied);
            picture.setDevicePixelRatio(now.scale);
            picture.fill(Qt::transparent);
            QStyleOptionFrame atOrigin = *field;
            atOrigin.rect.moveTo(0, 0);
            QPainter onPicture(&picture);
            QProxyStyle::drawPrimitive(element, &atOrigin, &onPicture, widget);
            drawn = now;
        }
        painter->drawImage(field->rect.topLeft(), picture);
    }

    /// Whether the application's style is one whose frames a picture can stand in for.
    static bool suits()
    {
        return QApplication::style()->name().compare("fusion", Qt::CaseInsensitive) == 0;
    }

private:
    // What the picture was drawn for.
    struct Drawn
    {
        QSize size;
        QStyle::State state;
        qint64 palette = 0;
        int lineWidth = 0;
        qreal scale = 0;
        bool operator==(const Drawn &) const = default;
    };
    mutable Drawn drawn;
    mutable QImage picture;
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
    if (FramePicture::suits()) {
        ui.scratchPadRegister->setStyle(new FramePicture(panel));
    }
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
    const QList<QPushButton *> operators = {ui.buttonPlus, ui.buttonMinus, ui.buttonTimes,
                                            ui.buttonDivide, ui.buttonEquals};
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

} // namespace panel
