// The window as the user meets it: its menus and the keyboard, on a shown window.
#include "app/windowcontroller.h"
#include "panel/viewcontroller.h"

#include <QClipboard>
#include <QPushButton>
#include <QtTest>

#include <memory>

using panel::ViewController;

namespace {

QSet<QString> leafTitles(const QMenu *menu)
{
    QSet<QString> titles;
    for (const QAction *item : menu->actions()) {
        if (!item->isSeparator() && !item->menu()) {
            titles << item->text();
        }
    }
    return titles;
}

QSet<QString> toSet(const QStringList &list)
{
    return QSet<QString>(list.begin(), list.end());
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<app::WindowController> window;
    ViewController *panel = nullptr;

    // The item titled "Parent/Item" of the menu bar, '_' standing for a blank.
    QAction *menuItem(QString path) const
    {
        path.replace(QLatin1Char('_'), QLatin1Char(' '));
        for (const QMenu *menu : window->findChildren<QMenu *>()) {
            if (menu->title().remove(QLatin1Char('&')) == path.section(QLatin1Char('/'), 0, 0)) {
                for (QAction *item : menu->actions()) {
                    if (item->text() == path.section(QLatin1Char('/'), 1)) {
                        return item;
                    }
                }
            }
        }
        return nullptr;
    }

private slots:
    void init()
    {
        // Settings are written as they change: every row starts from a first run of its own.
        QFile::remove(store::Preferences().fileName());
        window = std::make_unique<app::WindowController>();
        panel = window->viewController();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() { window.reset(); }

    void formatList()
    {
        const QComboBox *formats = panel->controls().popupFormat;
        QCOMPARE(formats->count(), int(timecode::formatTable.size()));
        for (int i = 0; i < formats->count(); ++i) {
            QCOMPARE(formats->itemText(i).toStdString(), timecode::formatTable[i].title);
        }
        QCOMPARE(formats->currentText(), QStringLiteral("30 NDF"));
    }

    // A key or menu item whose title no command knows would silently do nothing.
    void everyTitleHasAHandler()
    {
        QSet<QString> keyTitles;
        for (const QPushButton *key : panel->findChildren<QPushButton *>()) {
            keyTitles << key->text();
        }
        QSet<QString> expectedKeys = toSet(ViewController::keyCommandTitles());
        expectedKeys << QStringLiteral("=") << QStringLiteral("00");
        for (char digit = '0'; digit <= '9'; ++digit) {
            expectedKeys << QString(QLatin1Char(digit));
        }
        QCOMPARE(keyTitles, expectedKeys);
        QCOMPARE(leafTitles(window->form().menuCalculator),
                 toSet(ViewController::menuCommandTitles()));

        // Memory: "Save" and "Load" each address the nine registers; the other items are commands.
        QSet<QString> memoryFound;
        for (const QAction *entry : window->form().menuMemory->actions()) {
            if (entry->menu()) {
                memoryFound << entry->menu()->title();
                QCOMPARE(leafTitles(entry->menu()), toSet(store::registerNames()));
            } else if (!entry->isSeparator()) {
                memoryFound << entry->text();
            }
        }
        QCOMPARE(memoryFound, toSet(ViewController::memoryCommandTitles()));
    }

    // Steps are key sequences sent to the focused control, or "menu:Parent/Item" to choose an item.
    void keysAndMenus_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("clipboard");
        auto row = [&](const char *name, const char *focus, const char *steps, const char *display,
                       const char *format = "30 NDF", const char *clipboard = "01:02:03:04") {
            QTest::newRow(name) << focus << steps << display << format << clipboard;
        };
        const char *pad = "scratchPadRegister";
        row("road of one calculation", pad, "1 + 1 5 Return", "00:00:00:16");
        row("keypad digits on the format list", "popupFormat", "Num+1 Num+2 Num+- 2 Enter",
            "00:00:00:10");
        row("equals key on a check box", "checkboxCopy", "2 5 + 5 =", "00:00:01:00");
        row("escape clears the entry", pad, "1 Esc", "");
        row("delete clears all", "popupFormat", "1 = Del", "");
        row("backspace takes back", "checkboxPaste", "1 2 Backspace", "00:00:00:01");
        row("R recalls", pad, "1 = Esc R", "00:00:00:01");
        row("T completes and switches", pad, "1 T", "1");
        row("Ctrl+T only switches", pad, "1 Ctrl+T", "");
        row("period is the double zero", "popupFormat", "1 . .", "00:01:00:00");
        row("Ctrl+C copies the whole display", pad, "1 2 3 4 Shift+Left Shift+Left Ctrl+C",
            "00:00:12:34", "30 NDF", "00:00:12:34");
        row("Ctrl+V pastes", "checkboxCopy", "Ctrl+V", "01:02:03:04");
        row("arrows still move the format list", "popupFormat", "1 Down", "", "48");
        row("space still ticks the check box", "checkboxPaste", "1 Space", "00:00:00:01");

        // Every item of the Calculator menu, chosen from 01:00:00:00 + with 00:00:00:15 keyed.
#define PENDING "1 0 0 0 0 0 0 = + 1 5 "
        row("menu Copy", pad, PENDING "menu:Calculator/Copy", "00:00:00:15", "30 NDF",
            "00:00:00:15");
        row("menu Paste", pad, PENDING "menu:Calculator/Paste", "01:02:03:04");
        row("menu Recall", pad, PENDING "menu:Calculator/Recall", "01:00:00:00");
        row("menu Clear keeps the sum", pad, PENDING "menu:Calculator/Clear R", "01:00:00:00");
        row("menu All Clear", pad, PENDING "menu:Calculator/All_Clear R", "");
        row("menu Back Space", pad, PENDING "menu:Calculator/Back_Space", "00:00:00:01");
        row("menu Change T/F", pad, PENDING "menu:Calculator/Change_T/F", "108000");
#undef PENDING
        row("memory save and load", pad, "1 menu:Save/Mem-9 Esc menu:Load/Mem-9", "00:00:00:01");
        row("memory registers apart", pad, "1 menu:Save/Mem-1 2 menu:Save/Mem-2 menu:Load/Mem-1",
            "00:00:00:01");
        row("memory clear all", pad,
            "1 menu:Save/Mem-9 menu:Memory/Clear_All_Mem Esc menu:Load/Mem-9", "");
    }
    void keysAndMenus()
    {
        QFETCH(QString, focus);
        QFETCH(QString, steps);
        QGuiApplication::clipboard()->setText(QStringLiteral("01:02:03:04"));
        auto *target = panel->findChild<QWidget *>(focus);
        QVERIFY(target);
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        for (const QString &step : steps.split(QLatin1Char(' '))) {
            if (step.startsWith(QLatin1String("menu:"))) {
                QAction *item = menuItem(step.mid(5));
                QVERIFY2(item, qPrintable(step));
                item->trigger();
            } else if (step.size() == 1) {
                QTest::keyClick(target, step.at(0).toLatin1());
            } else {
                const QKeyCombination combination = QKeySequence(step)[0];
                QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
            }
        }
        QTEST(panel->controls().scratchPadRegister->text(), "display");
        QTEST(panel->controls().popupFormat->currentText(), "format");
        QTEST(QGuiApplication::clipboard()->text(), "clipboard");
        if (auto *box = qobject_cast<QCheckBox *>(target)) {
            QCOMPARE(box->isChecked(), steps.contains(QLatin1String("Space")));
        }
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
