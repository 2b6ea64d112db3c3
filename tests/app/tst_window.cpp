// The window as the user meets it: every key and menu item reaches the panel, also in window-only
// mode; the look in dark and light palettes; the platform asked for.
#include "app/platformchoice.h"
#include "app/windowcontroller.h"

#include <QtTest>

class WindowTest : public QObject
{
    Q_OBJECT

    app::WindowController window;
    const Ui::ViewController &ui = window.viewController()->controls();

private slots:
    // A menu item whose title no command knows would do nothing (the keys and the registers are
    // each pressed below). In window-only mode the right-click menu offers the menu bar's menus.
    void everyMenuItemHasAHandler()
    {
        using panel::ViewController;
        for (const auto &[menu, known] :
             {std::pair{window.form().menuCalculator, ViewController::menuCommandTitles()},
              {window.form().menuMemory, ViewController::memoryCommandTitles()}}) {
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

    // Every key binding once, pressed on the active window of a new start: "keys > display". The
    // row that picks another format runs last, as the format is kept for the next start.
    void keysReachThePanel()
    {
        QStringList rows = {"1 + Del 4 5 2 3 Return > 00:00:45:23", "1 + 2 Esc 3 = Esc R T > 4",
                            "5 9 . - 1 6 0 8 = > 00:00:42:22",
                            "1 2 3 Backspace Ctrl+C Esc Ctrl+V Return Ctrl+T > 12"};
        for (char digit = '1'; digit <= '9'; ++digit) {
            rows << QString("%1 Ctrl+Alt+%1 Esc Ctrl+%1 > 00:00:00:0%1").arg(digit);
        }
        for (const QString &row : rows << "Ctrl+Shift+W Alt+F Down 4 7 Return > 00:00:00:47") {
            app::WindowController started;
            started.show();
            QVERIFY(QTest::qWaitForWindowActive(&started));
            for (const QString &step : row.split(" > ")[0].split(' ')) {
                QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
            }
            // The value display is the window's only line edit.
            QCOMPARE(row.split(" > ")[0] + " > " + started.findChild<QLineEdit *>()->text(), row);
        }
    }

    // The palette changes while the window is open: each colour channel of the operator keys moves
    // a small share (5 to 30 %) of the way from the button colour k towards the highlight h. The
    // display and the sign keep a fixed-pitch font at about twice the size of the keys'.
    void looksInDarkAndLight()
    {
        for (const QPalette &palette : {QPalette(QColor(0x10, 0x20, 0x30)), QPalette(Qt::white)}) {
            QApplication::setPalette(palette);
            const QColor k = window.viewController()->palette().button().color();
            const QColor h = window.viewController()->palette().highlight().color();
            const QColor t = ui.buttonMinus->palette().button().color();
            for (const auto c : {&QColor::redF, &QColor::greenF, &QColor::blueF}) {
                QVERIFY(std::abs(((t.*c)() - (k.*c)()) / ((h.*c)() - (k.*c)()) - 0.175) < 0.125);
            }
            QVERIFY(ui.scratchPadRegister->fontInfo().fixedPitch() &&
                    ui.sign->fontInfo().pixelSize() > ui.buttonC->fontInfo().pixelSize() * 1.4);
        }
    }

    // X11 in a Wayland session that offers it, so the window can float; else what Qt chooses.
    void platform()
    {
        QProcessEnvironment given;
        given.insert("DISPLAY", ":0");
        QCOMPARE(app::preferredPlatform(given), "");
        given.insert("WAYLAND_DISPLAY", "wayland-0");
        QCOMPARE(app::preferredPlatform(given), "xcb");
        given.insert("QT_QPA_PLATFORM", "wayland");
        QCOMPARE(app::preferredPlatform(given), "");
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
