// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The window as the user meets it: every key and menu item reaches the panel, also in window-only
// mode; the look as the palette changes; the platform asked for.
#include "app/platformchoice.h"
#include "app/windowcontroller.h"
#include "panel/realtimeline.h"
#include "panel/tape.h"
#include "panel/tapeview.h"
#include "store/preferences.h"

#include <QAccessible>
#include <QBackingStore>
#include <QClipboard>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QtTest>

// Presses the keys, separated by blanks, on the focused widget, each drawn as a user sees it.
static void press(const QString &keys)
{
    for (const QString &key : keys.split(' ')) {
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
        QCoreApplication::processEvents();
    }
}

// What the window holds of `widget` now, as it was painted part by part, against what painting
// it whole gives; the style's gradients may round a shade apart when drawn in part. At a whole
// scale only: at a fraction the widget starts between pixels.
static bool shownAsDrawn(QWidget *widget)
{
    QBackingStore *store = widget->window()->backingStore();
    if (!store || store->paintDevice()->devType() != QInternal::Image) {
        return false;
    }
    const qreal scale = widget->devicePixelRatioF();
    const QRect area(widget->mapTo(widget->window(), QPoint()) * scale, widget->size() * scale);
    const QImage shown = static_cast<const QImage *>(store->paintDevice())
                             ->copy(area)
                             .convertToFormat(QImage::Format_RGB32);
    const QImage drawn = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    bool same = shown.size() == drawn.size();
    for (int y = 0; same && y < shown.height(); ++y) {
        for (int x = 0; same && x < shown.width(); ++x) {
            const QRgb a = shown.pixel(x, y), b = drawn.pixel(x, y);
            same = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                             std::abs(qBlue(a) - qBlue(b))}) <= 2;
        }
    }
    return same;
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
    // A menu item whose title no command knows would do nothing; in window-only mode the
    // right-click menu offers the menu bar's menus.
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
        for (const auto &[menu, known] :
             {std::pair{window.form().menuCalculator, panel::ViewController::menuCommandTitles()},
              {window.form().menuMemory, panel::ViewController::memoryCommandTitles()}}) {
            for (const QAction *item : menu->actions()) {
                QVERIFY(item->isSeparator() || known.contains(item->text()));
            }
        }
        window.form().actionWindowOnly->trigger();
        QContextMenuEvent click(QContextMenuEvent::Keyboard, {}, {});
        QApplication::sendEvent(window.viewController(), &click);
        QVERIFY(!window.menuBar()->isVisible() && QApplication::activePopupWidget());
        QCOMPARE(QApplication::activePopupWidget()->actions(), window.menuBar()->actions());
    }

    // A dark palette replaces the light one while the window is open: each colour channel of the
    // operator keys moves a small share (5 to 30 %) of the way from the button colour k towards
    // the highlight h. The display and the sign keep a fixed-pitch font at about twice the size
    // of the keys'.
    void followsThePalette()
    {
        QApplication::setPalette(QPalette(QColor(0x10, 0x20, 0x30)));
        const QColor k = window.viewController()->palette().button().color();
        const QColor h = window.viewController()->palette().highlight().color();
        const QColor t = ui.buttonMinus->palette().button().color();
        for (const auto c : {&QColor::redF, &QColor::greenF, &QColor::blueF}) {
            QVERIFY(std::abs(((t.*c)() - (k.*c)()) / ((h.*c)() - (k.*c)()) - 0.175) < 0.125);
        }
        QVERIFY(ui.scratchPadRegister->fontInfo().fixedPitch() &&
                ui.sign->fontInfo().pixelSize() > ui.buttonC->fontInfo().pixelSize() * 1.4);

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
        const QImage line = tape->grab(newest).toImage();
        QImage blank(line.size(), line.format());
        blank.fill(line.pixel(line.width() - 1, 0));
        QVERIFY(tape->contentsRect().contains(newest) && line != blank);
        // Framed, as the display is.
        QVERIFY(QColor(tape->grab().toImage().pixel(0, tape->height() / 2)) !=
                tape->palette().color(QPalette::Base));
        // Lines that come and go, selections and scrolling move pixels and draw only what changed:
        // after each step the screen shows what drawing the whole tape afresh shows. Some steps
        // also check where the selection, the focus and the bar at the right went.
        panel::Tape &lines = started.viewController()->tape();
        const auto result = [&] { lines.writeOperation("30", '+', "1", "2", {}); };
        // Whether the thin bar at the right, which shows where the lines in view are, is drawn
        // at the height y.
        const auto barAt = [&](int y) {
            const QImage shown = tape->grab().toImage();
            const QPoint at =
                QPoint(tape->contentsRect().right() - 1, y) * shown.devicePixelRatio();
            return QColor(shown.pixel(at)) != tape->palette().color(QPalette::Base);
        };
        const std::pair<const char *, std::function<void()>> steps[] = {
            {"a result", [&] { press("+ 1 Return"); }},
            {"a selection",
             [&] {
                 press("Up Up Up Down");
                 QCOMPARE(tape->selectedLine(), lines.rowCount() - 2);
             }},
            {"a result ends it", [&] { press("+ 1 Return"); }},
            {"a key ends it", [&] { press("Up Up 5"); }},
            {"the wheel, a notch in halves as a touchpad sends it",
             [&] {
                 const auto turn = [&](int angle) {
                     QWheelEvent up({5, 5}, tape->mapToGlobal(QPoint(5, 5)), {}, {0, angle}, {}, {},
                                    Qt::NoScrollPhase, false);
                     QApplication::sendEvent(tape, &up);
                     return tape->lineRect(lines.rowCount() - 1).top();
                 };
                 const int newest = tape->lineRect(lines.rowCount() - 1).top();
                 QCOMPARE(turn(60), newest);
                 const int notch = turn(60);
                 QVERIFY(notch > tape->height());
                 QCOMPARE(turn(60), notch);
             }},
            {"Page Up",
             [&] {
                 // Up by a page less one line, from the newest line.
                 const int inView = tape->contentsRect().height() / tape->lineRect(0).height();
                 press("PgUp");
                 QCOMPARE(tape->selectedLine(), lines.rowCount() - inView);
             }},
            {"a full tape",
             [&] {
                 for (int i = 0; i < panel::Tape::maxLines / 2; ++i) {
                     result();
                     QCoreApplication::processEvents();
                 }
             }},
            {"a result on a full tape",
             [&] {
                 result();
                 QVERIFY(barAt(tape->contentsRect().bottom() - 1) &&
                         !barAt(tape->contentsRect().top() + 1));
             }},
            {"the first line at the top",
             [&] {
                 press("Home");
                 QVERIFY(tape->selectedLine() == 0 && barAt(tape->contentsRect().top() + 1) &&
                         !barAt(tape->contentsRect().bottom() - 1));
             }},
            {"the lines in view drop off", result},
            {"the focus leaves", [&] { press("Esc"); }},
            {"a click selects a line and takes the focus",
             [&] {
                 QTest::mouseClick(tape, Qt::LeftButton, {},
                                   tape->lineRect(lines.rowCount() - 3).center());
                 QVERIFY(tape->selectedLine() == lines.rowCount() - 3 && tape->hasFocus());
             }},
            {"a double click uses a line",
             [&] {
                 QTest::mouseDClick(tape, Qt::LeftButton, {},
                                    tape->lineRect(lines.rowCount() - 5).center());
                 QCOMPARE(display->text(), lines.value(lines.rowCount() - 5));
             }},
            {"the bar pressed at its top",
             [&] {
                 const QPoint barTop(tape->contentsRect().right() - 1, tape->contentsRect().top());
                 QTest::mousePress(tape, Qt::LeftButton, {}, barTop);
                 QTest::mouseRelease(tape, Qt::LeftButton, {}, barTop);
                 QVERIFY(tape->contentsRect().contains(tape->lineRect(0)));
             }},
            {"Clear Tape", [&] { lines.clear(); }},
        };
        for (const auto &[step, act] : steps) {
            act();
            QCoreApplication::processEvents();
            QVERIFY2(shownAsDrawn(tape), step);
        }
        QCOMPARE(lines.rowCount(), 0);
        // A screen reader finds a list named "Tape", a line per line of it, in words.
        tape->setFocus();
        press("+ 1 Return Up");
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(tape);
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
        // A right click opens the tape's own menu, which runs until it is closed.
        QString firstItem;
        QTimer::singleShot(0, tape, [&firstItem] {
            if (QWidget *menu = QApplication::activePopupWidget()) {
                firstItem = menu->actions().first()->text();
                menu->close();
            }
        });
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, tape->rect().center(),
                                     tape->mapToGlobal(tape->rect().center()));
        QApplication::sendEvent(tape, &rightClick);
        QCOMPARE(firstItem, "Copy Tape");
        started.form().actionTape->trigger();
        QCOMPARE(started.height(), before);
        QVERIFY(!store::Preferences().defTape());
    }

    // The real-time line, shown by its item, grows the window by its own height; at the window's
    // smallest width it shows the widest reading whole without widening the window, in text no
    // smaller than three quarters of the keys', and at the keys' size where there is room. A screen
    // reader finds it by name and reads its text; its own menu copies the first figure. Hidden, it
    // gives the room back and cannot be copied.
    void realTime()
    {
        app::WindowController started;
        started.show();
        QVERIFY(QTest::qWaitForWindowExposed(&started));
        panel::ViewController *panel = started.viewController();
        panel::RealTimeLine *line = panel->controls().realTime;
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
        started.resize(1, started.height());
        QCoreApplication::processEvents();
        QCOMPARE(line->text(), QString("24:01:26.392 at 119.88 \u00B7 23:59:59.992 at 120"));
        QCOMPARE(started.width(), narrowest);
        // Drawn whole, right-aligned within two pixels' margin, in the palette's text on the
        // window's own colour: no field behind it.
        QVERIFY(!line->autoFillBackground() && !line->testAttribute(Qt::WA_OpaquePaintEvent));
        const QImage drawn = line->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb ground = drawn.pixel(drawn.width() - 1, 0);
        const QRgb ink = line->palette().color(QPalette::Text).rgb();
        int inked = 0;
        int left = drawn.width();
        int right = -1;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                inked += drawn.pixel(x, y) == ink;
                if (drawn.pixel(x, y) != ground) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        const qreal scale = line->devicePixelRatioF();
        QVERIFY(inked > 0 && left >= 2 * scale && right < drawn.width() - 2 * scale &&
                right >= drawn.width() - 5 * scale);
        const int keys = panel->controls().buttonC->fontInfo().pixelSize();
        QVERIFY(line->fontInfo().pixelSize() >= keys * 0.75);
        started.resize(400, started.height());
        QCoreApplication::processEvents();
        QCOMPARE(line->fontInfo().pixelSize(), keys);
        QAccessibleInterface *readout = QAccessible::queryAccessibleInterface(line);
        QVERIFY(readout->text(QAccessible::Name) == "Real time" &&
                readout->text(QAccessible::Value) == line->text() && readout->state().readOnly);
        QAccessibleTextInterface *read = readout->textInterface();
        QVERIFY(read && read->text(0, read->characterCount()) == line->text());
        QCOMPARE(QAccessible::queryAccessibleInterface(panel->controls().buttonC)->role(),
                 QAccessible::Button);
        QCOMPARE(line->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(line->actions(), QList<QAction *>{copy});
        copy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), "24:01:26.392");
        started.form().actionRealTime->trigger();
        QVERIFY(!line->isVisible() && !copy->isEnabled());
        QCOMPARE(started.height(), before);
    }

    // A new reading draws again only the glyphs that changed (a result one frame on, only the
    // last digits of each figure), so what is on the screen after a run of readings, each painted
    // in turn, must be what drawing the last one afresh gives: longer and shorter readings, a
    // reading with a character the font lacks, and back. The glyphs are looked up once.
    void realTimeRedrawsWhatChanged()
    {
        struct : QObject
        {
            int drawn = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint) {
                    drawn = 0;
                    for (const QRect &part : static_cast<QPaintEvent *>(event)->region()) {
                        drawn += part.width();
                    }
                }
                return false;
            }
        } painted;
        QWidget window;
        panel::RealTimeLine &line = *new panel::RealTimeLine(&window);
        line.installEventFilter(&painted);
        line.setGeometry(0, 0, 360, 24);
        window.resize(line.size());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString readings[] = {
            "00:00:33.367 at 29.97 \u00B7 00:00:33.333 at 30",
            "00:00:33.400 at 29.97 \u00B7 00:00:33.367 at 30",
            "00:00:33.400 at 29.97",
            "100:00:33.400 at 29.97 \u00B7 99:54:33.367 at 30",
            "00:00:33.400 at \uE000",
            "00:00:33.367 at 29.97 \u00B7 00:00:33.333 at 30",
            "",
            "01:00:03.600 at 29.97 \u00B7 01:00:00.000 at 30",
        };
        for (const QString &reading : readings) {
            line.setText(reading);
            QCoreApplication::processEvents();
            QVERIFY(reading != readings[1] || painted.drawn < line.width() / 3);
            QVERIFY2(shownAsDrawn(&line), qPrintable(reading));
        }
        panel::GlyphCache glyphs;
        const auto once = glyphs.runOf(readings[0], line.font(), &line);
        const auto again = glyphs.runOf(readings[0], line.font(), &line);
        QVERIFY(once && again && again->indexes == once->indexes && again->width > 100);
    }

    // In a Wayland session, X11 through XWayland where a window can float, then Wayland for when
    // XWayland refuses tcpad; on sway, where nothing floats without a rule, Wayland first;
    // elsewhere, or when the user chose, what Qt chooses.
    void platform()
    {
        const std::pair<QStringList, QByteArray> rows[] = {
            {{"DISPLAY=:0", "SWAYSOCK=/run/sway.sock"}, ""},
            {{"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0"}, "xcb;wayland"},
            {{"DISPLAY=:0", "XDG_SESSION_TYPE=wayland", "XDG_CURRENT_DESKTOP=KDE:swayish"},
             "xcb;wayland"},
            {{"XDG_SESSION_TYPE=wayland"}, "wayland"},
            {{"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0", "SWAYSOCK=/run/sway.sock"}, "wayland;xcb"},
            {{"DISPLAY=:0", "XDG_SESSION_TYPE=wayland", "XDG_CURRENT_DESKTOP=wlroots:SWAY"},
             "wayland;xcb"},
            {{"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0", "SWAYSOCK=/run/sway.sock",
              "QT_QPA_PLATFORM=xcb"},
             ""},
        };
        for (const auto &[variables, expected] : rows) {
            QProcessEnvironment given;
            for (const QString &variable : variables) {
                given.insert(variable.section('=', 0, 0), variable.section('=', 1));
            }
            QCOMPARE(app::preferredPlatform(given), expected);
        }
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
