// The floating window: its window-manager hints, window-only mode, and the right-click menu that
// keeps every command in reach.
#include "app/windowcontroller.h"
#include "panel/viewcontroller.h"

#include <QMenuBar>
#include <QtTest>

#include <memory>

class FloatingWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { window.reset(); }
    void floatsWithACloseButtonOnly();
    void windowOnlyModeHidesTheMenuBarForGood();
    void shortcutsWorkWithoutTheMenuBar_data();
    void shortcutsWorkWithoutTheMenuBar();
    void rightClickOffersEveryMenu();

private:
    QString display() const
    {
        return window->viewController()->controls().scratchPadRegister->text();
    }

    std::unique_ptr<app::WindowController> window;
};

void FloatingWindowTest::init()
{
    QFile::remove(store::Preferences().fileName()); // each test from a first run
    window = std::make_unique<app::WindowController>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void FloatingWindowTest::floatsWithACloseButtonOnly()
{
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(window->windowType(), Qt::Window);
    QVERIFY(window->testAttribute(Qt::WA_QuitOnClose));
}

void FloatingWindowTest::windowOnlyModeHidesTheMenuBarForGood()
{
    QVERIFY(!window->isWindowOnly());
    QVERIFY(window->menuBar()->isVisible());
    const int height = window->height();

    window->form().actionWindowOnly->trigger();
    QVERIFY(window->isWindowOnly());
    QVERIFY(!window->menuBar()->isVisible());
    QVERIFY(window->height() < height);
    QVERIFY(window->isVisible());
    QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    // A second call changes nothing, and nothing turns the mode off.
    window->switchToWindowOnly();
    QVERIFY(window->isWindowOnly());
    QVERIFY(!window->menuBar()->isVisible());
    QVERIFY(!window->form().actionWindowOnly->isEnabled());
}

void FloatingWindowTest::shortcutsWorkWithoutTheMenuBar_data()
{
    QTest::addColumn<bool>("windowOnly");
    QTest::newRow("with the menu bar") << false;
    QTest::newRow("in window-only mode") << true;
}

void FloatingWindowTest::shortcutsWorkWithoutTheMenuBar()
{
    QFETCH(bool, windowOnly);
    if (windowOnly) {
        window->switchToWindowOnly();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);

    // Key 12, save it into Mem-4 (Ctrl+Alt+4), clear, load it back (Ctrl+4), switch to frames
    // (Ctrl+T).
    QTest::keyClicks(focus, QStringLiteral("12"));
    QTest::keyClick(focus, Qt::Key_4, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(focus, Qt::Key_Escape);
    QCOMPARE(display(), QString());
    QTest::keyClick(focus, Qt::Key_4, Qt::ControlModifier);
    QCOMPARE(display(), QStringLiteral("00:00:00:12"));
    QTest::keyClick(focus, Qt::Key_Return);
    QCOMPARE(display(), QStringLiteral("00:00:00:12"));
    QVERIFY(window->viewController()->accumulator().has_value());
    QTest::keyClick(focus, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(display(), QStringLiteral("12"));
    QCOMPARE(window->viewController()->controls().timecodeOrFrame->text(), QStringLiteral("Frame"));
}

void FloatingWindowTest::rightClickOffersEveryMenu()
{
    window->switchToWindowOnly();
    QMenu *contextMenu = nullptr;
    // The menu pops up asynchronously; find it once it is shown, then close it.
    QTimer::singleShot(0, this, [&] {
        contextMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (contextMenu) {
            contextMenu->close();
        }
    });
    QWidget *panel = window->viewController();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            panel->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(panel, &event);
    QTRY_VERIFY(contextMenu);

    QStringList menus;
    for (const QAction *entry : contextMenu->actions()) {
        if (entry->menu()) {
            menus << entry->menu()->title();
        }
    }
    QStringList menuBarMenus;
    for (const QAction *entry : window->menuBar()->actions()) {
        menuBarMenus << entry->menu()->title();
    }
    QCOMPARE(menus, menuBarMenus);
    QCOMPARE(menus.size(), 3);
}

QTEST_MAIN(FloatingWindowTest)
#include "tst_floatingwindow.moc"
