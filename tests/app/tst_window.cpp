// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The window as the user meets it: every key and menu item reaches the panel, also in window-only
// mode; the look as the palette and the font change; the platform asked for.
#include "app/platformchoice.h"
#include "app/windowcontroller.h"
#include "panel/conversion.h"
#include "panel/tape.h"
#include "panel/tapeview.h"
#include "store/preferences.h"
#include "timecode/rates.h"

#include <QAccessible>
#include <QClipboard>
#include <QFontDatabase>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QTranslator>
#include <QtTest>

// Presses the keys, separated by blanks, on the focused widget, each drawn as a user sees it.
static void press(const QString &keys)
{
    for (const QString &key : keys.split(' ')) {
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
        QCoreApplication::processEvents();
    }
}

// Right-clicks `widget` and answers its menu, or null; a screen reader must find each item where
// the menu shows it, whatever other menu holds the same command.
static QWidget *rightClick(QWidget *widget)
{
    QContextMenuEvent click(QContextMenuEvent::Mouse, widget->rect().center(),
                            widget->mapToGlobal(widget->rect().center()));
    QApplication::sendEvent(widget, &click);
    QWidget *menu = QApplication::activePopupWidget();
    QAccessibleInterface *item =
        menu ? QAccessible::queryAccessibleInterface(menu)->child(0) : nullptr;
    return item && menu->geometry().contains(item->rect()) ? menu : nullptr;
}

// What `area` of `widget` (all of it, if empty) shows on its window, as the user sees it: its
// colours, and the leftmost and rightmost columns in any colour but that of its top right corner.
struct Ink
{
    QSet<QRgb> colours;
    int left = 0, right = -1;
};
static Ink inkOf(QWidget *widget, QRect area = {})
{
    area = area.isEmpty() ? widget->rect() : area;
    const QImage shown =
        widget->window()
            ->grab(QRect(widget->mapTo(widget->window(), area.topLeft()), area.size()))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    Ink ink{{}, shown.width()};
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            ink.colours.insert(shown.pixel(x, y));
            if (shown.pixel(x, y) != shown.pixel(shown.width() - 1, 0)) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
        }
    }
    return ink;
}

class WindowTest : public QObject
{
    Q_OBJECT

    app::WindowController window;
    const Ui::ViewController &ui = window.viewController()->controls();

private slots:
    // The key bindings, pressed on the active window of a new start, once for each register
    // digit #. From frame mode: # goes into its register, a pending sum is cleared all, 12 goes
    // through the clipboard, then 12 + 5900 - 12 + the register is recalled as timecode (the
    // rate is 30). The end-to-end suite presses the rest (Return, Enter, Alt+F, Alt+O, Alt+P,
    // Ctrl+Shift+W), also in window-only mode.
    // A menu item whose title no command knows would do nothing; each menu of rates lists every
    // rate the panel converts to, by its text. In window-only mode the right-click menu offers
    // the menu bar's menus.
    void everyKeyAndMenuItemReachesThePanel()
    {
        const QString keys = "Ctrl+T # Ctrl+Alt+# + Del 1 2 3 Backspace Ctrl+C Esc Ctrl+V + 5 9 . "
                             "- 2 Esc 1 2 + Ctrl+# = Esc R T";
        for (const char digit : QByteArray("123456789")) {
            app::WindowController started;
            started.show();
            QVERIFY(QTest::qWaitForWindowActive(&started));
            press(QString(keys).replace('#', digit));
            QCOMPARE(started.viewController()->controls().scratchPadRegister->text(),
                     QString("00:03:16:2") + digit);
        }
        QStringList rates;
        for (const timecode::Rate &rate : timecode::rateTable) {
            rates << QString::fromLatin1(rate.text.data(), qsizetype(rate.text.size()));
        }
        for (const auto &[menu, known] :
             {std::pair{window.form().menuCalculator,
                        panel::ViewController::menuCommandTitles() + panel::conversionMenuTitles()},
              {window.form().menuMemory, panel::ViewController::memoryCommandTitles()}}) {
            for (const QAction *item : menu->actions()) {
                QVERIFY(item->isSeparator() || known.contains(item->text()));
                if (menu == window.form().menuCalculator && item->menu()) {
                    QStringList titles;
                    for (const QAction *rate : item->menu()->actions()) {
                        titles << rate->text();
                    }
                    QCOMPARE(titles, rates);
                }
            }
        }
        // The fractional rate's item shows the rate in use, and is the user's to choose only where
        // a format has two; the choice holds for them all.
        QAction *fractional = window.form().actionFractionalRate;
        for (const char *step :
             {"30 DF 10", "25 00", "24 11", "choose 01", "30 NDF 01", "choose 11"}) {
            const QString format = QString(step).section(' ', 0, -2);
            format == "choose" ? fractional->trigger() : ui.popupFormat->setCurrentText(format);
            QCOMPARE(QString::number(fractional->isChecked()) +
                         QString::number(fractional->isEnabled()),
                     QString(step).section(' ', -1));
        }
        window.form().actionWindowOnly->trigger();
        QContextMenuEvent click(QContextMenuEvent::Keyboard, {}, {});
        QApplication::sendEvent(window.viewController(), &click);
        QVERIFY(window.menuBar()->isHidden() && QApplication::activePopupWidget());
        QCOMPARE(QApplication::activePopupWidget()->actions(), window.menuBar()->actions());
    }

    // A dark palette replaces the light one while the window is open: each colour channel of the
    // operator keys moves a small share (5 to 30 %) of the way from the button colour k towards
    // the highlight h. The display and the sign are at about twice the size of the keys' text,
    // in a font whose digits all have one width, so that they stay put as they change.
    void followsThePalette()
    {
        QApplication::setPalette(QPalette(QColor(0x10, 0x20, 0x30)));
        const QColor k = window.viewController()->palette().button().color();
        const QColor h = window.viewController()->palette().highlight().color();
        const QColor t = ui.buttonMinus->palette().button().color();
        for (const auto c : {&QColor::redF, &QColor::greenF, &QColor::blueF}) {
            QVERIFY(std::abs(((t.*c)() - (k.*c)()) / ((h.*c)() - (k.*c)()) - 0.175) < 0.125);
        }
        const QFontMetricsF digits(ui.scratchPadRegister->font());
        for (const char digit : QByteArray("123456789")) {
            QCOMPARE(digits.horizontalAdvance(QChar(digit)), digits.horizontalAdvance('0'));
        }
        const qreal keys = ui.buttonC->fontInfo().pixelSize();
        QVERIFY(ui.scratchPadRegister->fontInfo().pixelSize() > keys * 1.4 &&
                ui.sign->fontInfo().pixelSize() > keys * 1.4);

        // The display's field, drawn from a picture, is what the style draws, as each row changes
        // one thing: focus, palette, size and place, scale, no frame, a scaling painter.
        QStyle *display = ui.scratchPadRegister->style();
        QVERIFY(display != QApplication::style());
        QStyleOptionFrame field;
        field.initFrom(ui.scratchPadRegister);
        const QPalette dark = field.palette;
        const QPalette light(Qt::white);
        const QStyle::State focus = field.state | QStyle::State_HasFocus;
        const std::tuple<QPalette, QStyle::State, QRect, qreal, int, qreal> rows[] = {
            {light, field.state, {3, 4, 120, 30}, 1, 2, 1},
            {light, focus, {3, 4, 120, 30}, 1, 2, 1},
            {dark, focus, {3, 4, 120, 30}, 1, 2, 1},
            {dark, focus, {0, 0, 90, 26}, 1, 2, 1},
            {dark, focus, {0, 0, 90, 26}, 2, 2, 1},
            {dark, focus, {0, 0, 90, 26}, 2, 0, 1},
            {dark, focus, {0, 0, 90, 26}, 1, 2, 1.5}};
        for (const auto &[palette, state, rect, scale, lineWidth, zoom] : rows) {
            std::tie(field.palette, field.state, field.rect, field.lineWidth) =
                std::tie(palette, state, rect, lineWidth);
            QImage drawn(QSize(140, 40) * scale, QImage::Format_ARGB32_Premultiplied);
            drawn.setDevicePixelRatio(scale);
            drawn.fill(Qt::transparent);
            QImage expected = drawn;
            for (const auto &[style, image] :
                 {std::pair{display, &drawn}, {QApplication::style(), &expected}}) {
                QPainter painter(image);
                painter.scale(zoom, zoom);
                style->drawPrimitive(QStyle::PE_PanelLineEdit, &field, &painter,
                                     ui.scratchPadRegister);
            }
            QCOMPARE(drawn, expected);
        }
    }

    // The tape, shown by its item, grows the window and takes the focus, where Enter is "=" until
    // Up selects the newest line and Up again the one above; Enter then uses it and Escape gives
    // the focus back to the keys. Hidden, it gives the room back. Its own menu copies it. Shown
    // or hidden, the choice is in the settings at once.
    void tape()
    {
        app::WindowController started;
        started.show();
        QVERIFY(QTest::qWaitForWindowActive(&started));
        const int before = started.height();
        started.form().actionTape->trigger();
        panel::TapeView *tape = started.tapeView();
        QVERIFY(started.height() > before && QApplication::focusWidget() == tape);
        QVERIFY(store::Preferences().defTape()); // kept at once, as every setting is
        // However small the window is made, the tape keeps four lines.
        const QSize shown = started.size();
        started.resize(shown.width(), 1);
        QVERIFY(tape->contentsRect().height() >= 4 * tape->lineRect(0).height());
        started.resize(shown);
        // More lines than the tape shows: the newest stays in view, and is drawn.
        press("1 +" + QString(" 1 Return +").repeated(12) + " 2 Return Up Up Return");
        const QLineEdit *display = started.viewController()->controls().scratchPadRegister;
        QCOMPARE(display->text(), "00:00:00:02");
        const QRect newest = tape->lineRect(27);
        QVERIFY(tape->contentsRect().contains(newest) && inkOf(tape, newest).right >= 0);
        // Framed, as the display is.
        QVERIFY(QColor(tape->grab().toImage().pixel(0, tape->height() / 2)) !=
                tape->palette().color(QPalette::Base));
        // Where the selection and the thin bar at the right, which shows where the lines in view
        // are, go as lines come and the keys, the wheel and the mouse move through them.
        panel::Tape &lines = started.viewController()->tape();
        const auto barAt = [&](int y) {
            const QImage shown = tape->grab().toImage();
            const QPoint at =
                QPoint(tape->contentsRect().right() - 1, y) * shown.devicePixelRatio();
            return QColor(shown.pixel(at)) != tape->palette().color(QPalette::Base);
        };
        press("Up Up Up Down");
        QCOMPARE(tape->selectedLine(), lines.rowCount() - 2);
        press("+ 1 Return");
        QCOMPARE(tape->selectedLine(), -1); // a new line ends the selection, and so does a key
        press("Up Up 5");
        QCOMPARE(tape->selectedLine(), -1);
        // The wheel, a notch in halves as a touchpad sends it.
        const auto turn = [&](int angle) {
            QWheelEvent up({5, 5}, tape->mapToGlobal(QPoint(5, 5)), {}, {0, angle}, {}, {},
                           Qt::NoScrollPhase, false);
            QApplication::sendEvent(tape, &up);
            return tape->lineRect(lines.rowCount() - 1).top();
        };
        const int bottom = tape->lineRect(lines.rowCount() - 1).top();
        QCOMPARE(turn(60), bottom);
        const int notch = turn(60);
        QVERIFY(notch > tape->height());
        QCOMPARE(turn(60), notch);
        // Page Up goes up a page less one line, from the newest line.
        const int inView = tape->contentsRect().height() / tape->lineRect(0).height();
        press("PgUp");
        QCOMPARE(tape->selectedLine(), lines.rowCount() - inView);
        for (int i = 0; i < panel::Tape::maxLines / 2 + 1; ++i) {
            lines.writeOperation("30", '+', "1", "2", {});
        }
        QVERIFY(barAt(tape->contentsRect().bottom() - 1) && !barAt(tape->contentsRect().top() + 1));
        press("Home");
        QVERIFY(tape->selectedLine() == 0 && barAt(tape->contentsRect().top() + 1) &&
                !barAt(tape->contentsRect().bottom() - 1));
        lines.writeOperation("30", '+', "1", "2", {}); // the lines in view drop off
        press("Esc");
        QTest::mouseClick(tape, Qt::LeftButton, {}, tape->lineRect(lines.rowCount() - 3).center());
        QVERIFY(tape->selectedLine() == lines.rowCount() - 3 && tape->hasFocus());
        const auto highlighted = [&](int row) {
            const QSet<QRgb> shown = inkOf(tape, tape->lineRect(row)).colours;
            return shown.contains(
                       tape->palette().color(QPalette::Active, QPalette::Highlight).rgb()) ||
                   shown.contains(
                       tape->palette().color(QPalette::Inactive, QPalette::Highlight).rgb());
        };
        QVERIFY(highlighted(lines.rowCount() - 3) && !highlighted(lines.rowCount() - 4));
        QTest::mouseDClick(tape, Qt::LeftButton, {}, tape->lineRect(lines.rowCount() - 5).center());
        QCOMPARE(display->text(), lines.value(lines.rowCount() - 5));
        const QPoint barTop(tape->contentsRect().right() - 1, tape->contentsRect().top());
        QTest::mousePress(tape, Qt::LeftButton, {}, barTop);
        QTest::mouseRelease(tape, Qt::LeftButton, {}, barTop);
        QVERIFY(tape->contentsRect().contains(tape->lineRect(0)));
        // A screen reader is told which lines are out of view.
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(tape);
        QVERIFY(!list->child(0)->state().invisible &&
                list->child(lines.rowCount() - 1)->state().invisible);
        lines.clear();
        // A screen reader finds a list named "Tape", a line per line of it, in words.
        tape->setFocus();
        press("+ 1 Return Up");
        QAccessibleInterface *last = list->child(lines.rowCount() - 1);
        QVERIFY(list->role() == QAccessible::List && list->text(QAccessible::Name) == "Tape" &&
                list->childCount() == lines.rowCount() && last->state().selected &&
                last->state().focused && !list->child(0)->state().focused &&
                list->indexOfChild(last) == lines.rowCount() - 1 && !list->child(-1) &&
                !list->child(lines.rowCount()));
        QCOMPARE(last->text(QAccessible::Name), "equals " + display->text());
        for (const auto &[sign, words] :
             {std::pair(u'\u00d7', "times 3"), {u'\u00f7', "divided by 3"}}) {
            lines.writeOperation("30 NDF", sign, "3", "00:00:00:01", {});
            QCOMPARE(list->child(lines.rowCount() - 2)->text(QAccessible::Name), words);
        }
        QTest::keyClick(tape, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), display);
        // A right click opens the tape's own menu.
        QWidget *menu = rightClick(tape);
        QVERIFY(menu && menu->actions().first()->text() == "Copy Tape");
        menu->close();
        started.form().actionTape->trigger();
        QCOMPARE(started.height(), before);
        QVERIFY(!store::Preferences().defTape());
    }

    // The real-time line, shown by its item, grows the window by its own height; at the window's
    // smallest width it shows the widest reading whole without widening the window, in text no
    // smaller than three quarters of the keys', and at the keys' size where there is room, also
    // once the desktop's font has changed, in points or in pixels. It is drawn in the window's
    // text colour on the window's own colour, in every palette. A screen reader finds it by name
    // and reads its text; its own menu copies the first figure. Hidden, it gives the room back.
    void realTime()
    {
        app::WindowController started;
        started.show();
        QVERIFY(QTest::qWaitForWindowExposed(&started));
        panel::ViewController *panel = started.viewController();
        QLineEdit *line = panel->controls().realTime;
        QAction *copy = started.form().actionCopyRealTime;
        const int before = started.height();
        const int narrowest = started.minimumSizeHint().width();
        QVERIFY(!line->isVisible() && !copy->isEnabled());
        started.form().actionRealTime->trigger();
        QCOMPARE(started.height(), before + line->height() + panel->layout()->spacing());
        panel->controls().popupFormat->setCurrentText("120 NDF");
        for (const char digit : QByteArray("235959119")) {
            panel->keyEntry(QString(digit));
        }
        QCOMPARE(line->text(), QString("24:01:26.392 at 119.88 \u00B7 23:59:59.992 at 120"));
        const QFont desktop = QApplication::font();
        QFont larger = desktop, pixels = desktop, other = desktop;
        larger.setPointSizeF(desktop.pointSizeF() * 1.5);
        pixels.setPixelSize(22);
        other.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        for (const QFont &font : {desktop, larger, pixels, other}) {
            QApplication::setFont(font);
            started.resize(1, started.height());
            QCoreApplication::processEvents();
            QVERIFY(font != desktop || started.width() == narrowest);
            // Whole: blank at the left, right-aligned within a few pixels.
            const Ink ink = inkOf(line);
            const qreal scale = line->devicePixelRatioF();
            QVERIFY(ink.left >= 2 * scale && ink.right >= line->width() * scale - 8 * scale);
            const int keys = panel->controls().buttonC->fontInfo().pixelSize();
            QVERIFY(line->fontInfo().pixelSize() >= keys * 0.75 - 1);
            QVERIFY(line->height() >= QFontMetrics(font).height());
            started.resize(started.width() * 2, started.height());
            QCoreApplication::processEvents();
            QCOMPARE(line->fontInfo().pixelSize(), keys);
            QCOMPARE(line->fontInfo().family(), QFontInfo(font).family());
        }
        QApplication::setFont(desktop);
        // In the user's language, again when it changes.
        struct : QTranslator
        {
            QString translate(const char *, const char *text, const char *, int) const override
            {
                return QLatin1String(text) == "%1 at %2" ? "%1 @ %2" : QString();
            }
            bool isEmpty() const override { return false; }
        } language;
        QCoreApplication::installTranslator(&language);
        QCoreApplication::processEvents();
        QCOMPARE(line->text(), QString("24:01:26.392 @ 119.88 \u00B7 23:59:59.992 @ 120"));
        QCoreApplication::removeTranslator(&language);
        QPalette differing(Qt::white);
        differing.setColor(QPalette::Text, QColor(0xc0, 0, 0));
        differing.setColor(QPalette::WindowText, QColor(0, 0, 0xc0));
        for (const QPalette &palette :
             {QPalette(Qt::white), QPalette(QColor(0x10, 0x20, 0x30)), differing}) {
            QApplication::setPalette(palette);
            QCoreApplication::processEvents();
            const QSet<QRgb> ink = inkOf(line).colours;
            QVERIFY(ink.contains(palette.color(QPalette::WindowText).rgb()) &&
                    ink.contains(palette.color(QPalette::Window).rgb()) &&
                    (palette != differing || !ink.contains(palette.color(QPalette::Text).rgb())));
        }
        QAccessibleInterface *readout = QAccessible::queryAccessibleInterface(line);
        QAccessibleTextInterface *read = readout->textInterface();
        QVERIFY(readout->text(QAccessible::Name) == "Real time" &&
                readout->text(QAccessible::Value) == line->text() && readout->state().readOnly &&
                read &&
                QRect(line->mapToGlobal(QPoint()), line->size()).contains(read->characterRect(0)));
        // The Window menu's item asked where it is first, as a screen reader walking the menu bar
        // does; the line's own menu still has its item where it shows it.
        QAccessibleInterface *windowMenu =
            QAccessible::queryAccessibleInterface(started.form().menuWindow);
        for (int i = 0; i < windowMenu->childCount(); ++i) {
            windowMenu->child(i)->rect();
        }
        QWidget *menu = rightClick(line);
        QVERIFY(menu && menu->actions().size() == 1);
        menu->actions().first()->trigger();
        menu->close();
        QCOMPARE(QGuiApplication::clipboard()->text(), "24:01:26.392");
        const int shown = started.height();
        started.form().actionRealTime->trigger();
        QVERIFY(!line->isVisible() && !copy->isEnabled());
        QCOMPARE(started.height(), shown - line->height() - panel->layout()->spacing());
    }

    // In a Wayland session, X11 through XWayland where a window can float, then Wayland for when
    // XWayland refuses tcpad; on sway, where nothing floats without a rule, Wayland first;
    // elsewhere, or when the user chose, what Qt chooses.
    void platform()
    {
        const std::pair<const char *, QByteArray> rows[] = {
            {"DISPLAY=:0 SWAYSOCK=/run/sway.sock", ""},
            {"DISPLAY=:0 WAYLAND_DISPLAY=wayland-0", "xcb;wayland"},
            {"DISPLAY=:0 XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE:swayish", "xcb;wayland"},
            {"XDG_SESSION_TYPE=wayland", "wayland"},
            {"DISPLAY=:0 WAYLAND_DISPLAY=wayland-0 SWAYSOCK=/run/sway.sock", "wayland;xcb"},
            {"DISPLAY=:0 XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=wlroots:SWAY", "wayland;xcb"},
            {"WAYLAND_DISPLAY=wayland-0 SWAYSOCK=/run/sway.sock QT_QPA_PLATFORM=xcb", ""},
        };
        for (const auto &[variables, expected] : rows) {
            QProcessEnvironment given;
            for (const QString &variable : QString(variables).split(' ')) {
                given.insert(variable.section('=', 0, 0), variable.section('=', 1));
            }
            QCOMPARE(app::preferredPlatform(given), expected);
        }
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
