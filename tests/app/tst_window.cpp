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

QAction *item(const QMenu *menu, const QString &title)
{
    for (QAction *candidate : menu->actions()) {
        if (candidate->text() == title) {
            return candidate;
        }
    }
    return nullptr;
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { window.reset(); }
    void formatList();
    void everyTitleHasAHandler();
    void calculatorMenu_data();
    void calculatorMenu();
    void memoryMenu();
    void keyboard_data();
    void keyboard();

private:
    QString display() const { return panel->controls().scratchPadRegister->text(); }

    std::unique_ptr<app::WindowController> window;
    ViewController *panel = nullptr;
};

void WindowTest::init()
{
    window = std::make_unique<app::WindowController>();
    panel = window->viewController();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void WindowTest::formatList()
{
    const QComboBox *formats = panel->controls().popupFormat;
    QCOMPARE(formats->count(), int(timecode::formatTable.size()));
    for (int i = 0; i < formats->count(); ++i) {
        QCOMPARE(formats->itemText(i).toStdString(), timecode::formatTable[i].title);
    }
    QCOMPARE(formats->currentText(), QStringLiteral("30 NDF"));
    QCOMPARE(panel->controls().timecodeOrFrame->text(), QStringLiteral("Timecode"));
}

void WindowTest::everyTitleHasAHandler()
{
    QSet<QString> keyTitles;
    for (const QPushButton *key : panel->findChildren<QPushButton *>()) {
        keyTitles << key->text();
    }
    QSet<QString> expectedKeys{QStringLiteral("="), QStringLiteral("00")};
    for (char digit = '0'; digit <= '9'; ++digit) {
        expectedKeys << QString(QLatin1Char(digit));
    }
    for (const QString &title : ViewController::keyCommandTitles()) {
        expectedKeys << title;
    }
    QCOMPARE(keyTitles, expectedKeys);

    const auto menuTitles = ViewController::menuCommandTitles();
    QCOMPARE(leafTitles(window->form().menuCalculator),
             QSet<QString>(menuTitles.begin(), menuTitles.end()));

    // Memory: "Save" and "Load" each address the nine registers; the other items are commands.
    const auto registerNames = store::registerNames();
    const QSet<QString> registers(registerNames.begin(), registerNames.end());
    const QStringList memoryTitles = ViewController::memoryCommandTitles();
    QSet<QString> memoryFound;
    for (const QAction *entry : window->form().menuMemory->actions()) {
        if (entry->menu()) {
            memoryFound << entry->menu()->title();
            QCOMPARE(leafTitles(entry->menu()), registers);
        } else if (!entry->isSeparator()) {
            memoryFound << entry->text();
        }
    }
    QCOMPARE(memoryFound, QSet<QString>(memoryTitles.begin(), memoryTitles.end()));
}

void WindowTest::calculatorMenu_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<QString>("clipboard");
    // From 01:00:00:00 + with the operand 00:00:00:15 keyed.
    QTest::newRow("Copy") << "Copy"
                          << "00:00:00:15"
                          << "+" << 108000ll << "00:00:00:15";
    QTest::newRow("Paste") << "Paste"
                           << "clip"
                           << "+" << 108000ll << "clip";
    QTest::newRow("Recall") << "Recall"
                            << "01:00:00:00"
                            << "+" << 108000ll << "clip";
    QTest::newRow("All Clear") << "All Clear"
                               << ""
                               << "" << -1ll << "clip";
    QTest::newRow("Clear") << "Clear"
                           << ""
                           << "+" << 108000ll << "clip";
    QTest::newRow("Back Space") << "Back Space"
                                << "00:00:00:01"
                                << "+" << 108000ll << "clip";
    QTest::newRow("Change T/F") << "Change T/F"
                                << "108000"
                                << "+" << 108000ll << "clip";
}

void WindowTest::calculatorMenu()
{
    QFETCH(QString, title);
    QFETCH(QString, display);
    QFETCH(QString, sign);
    QFETCH(qint64, frame);
    QFETCH(QString, clipboard);
    for (const char *key : {"1", "0", "0", "0", "0", "0", "0"}) {
        panel->enteredKeyNum(QLatin1String(key));
    }
    panel->enter();
    panel->enteredKey(QStringLiteral("+"));
    panel->enteredKeyNum(QStringLiteral("15"));
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));

    QAction *command = item(window->form().menuCalculator, title);
    QVERIFY(command);
    command->trigger();
    QCOMPARE(this->display(), display);
    QCOMPARE(panel->controls().sign->text(), sign);
    QCOMPARE(panel->accumulator() ? qint64(panel->accumulator()->frameNumber) : -1, frame);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
}

void WindowTest::memoryMenu()
{
    const Ui::WindowController &form = window->form();
    const QStringList names = store::registerNames();
    for (const QString &name : names) {
        panel->controls().scratchPadRegister->setText(name + QStringLiteral(" text"));
        item(form.menuSave, name)->trigger();
    }
    for (const QString &name : names) {
        panel->controls().scratchPadRegister->setText(QStringLiteral("x"));
        item(form.menuLoad, name)->trigger();
        QCOMPARE(display(), name + QStringLiteral(" text"));
    }
    item(form.menuMemory, QStringLiteral("Clear All Mem"))->trigger();
    QCOMPARE(panel->registers(), store::emptyRegisters());
    item(form.menuLoad, names.first())->trigger();
    QCOMPARE(display(), names.last() + QStringLiteral(" text"));
}

void WindowTest::keyboard_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("clipboard");
    auto row = [&](const char *name, const char *focus, const char *keys, const char *display,
                   const char *format = "30 NDF",
                   const QString &clipboard = QStringLiteral("01:02:03:04")) {
        QTest::newRow(name) << focus << keys << display << format << clipboard;
    };
    row("road of one calculation", "scratchPadRegister", "1 + 1 5 Return", "00:00:00:16");
    row("keypad digits on the format list", "popupFormat", "Num+1 Num+2 Num+- 2 Enter",
        "00:00:00:10");
    row("equals key on a check box", "checkboxCopy", "2 5 + 5 =", "00:00:01:00");
    row("escape clears the entry", "scratchPadRegister", "1 Esc", "");
    row("delete clears all", "popupFormat", "1 = Del", "");
    row("backspace takes back", "checkboxPaste", "1 2 Backspace", "00:00:00:01");
    row("R recalls", "scratchPadRegister", "1 = Esc R", "00:00:00:01");
    row("T completes and switches", "scratchPadRegister", "1 T", "1");
    row("Ctrl+T only switches", "scratchPadRegister", "1 Ctrl+T", "");
    row("period is the double zero", "popupFormat", "1 . .", "00:01:00:00");
    row("Ctrl+C copies the whole display", "scratchPadRegister",
        "1 2 3 4 Shift+Left Shift+Left Ctrl+C", "00:00:12:34", "30 NDF",
        QStringLiteral("00:00:12:34"));
    row("Ctrl+V pastes", "checkboxCopy", "Ctrl+V", "01:02:03:04");
    row("arrows still move the format list", "popupFormat", "1 Down", "", "48");
    row("space still ticks the check box", "checkboxPaste", "1 Space", "00:00:00:01");
}

void WindowTest::keyboard()
{
    QFETCH(QString, focus);
    QFETCH(QString, keys);
    QFETCH(QString, display);
    QFETCH(QString, format);
    QFETCH(QString, clipboard);
    QGuiApplication::clipboard()->setText(QStringLiteral("01:02:03:04"));
    auto *target = panel->findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    for (const QString &key : keys.split(QLatin1Char(' '))) {
        if (key.size() == 1) {
            QTest::keyClick(target, key.at(0).toLatin1());
        } else {
            const QKeyCombination combination = QKeySequence(key)[0];
            QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
        }
    }
    QCOMPARE(this->display(), display);
    QCOMPARE(panel->controls().popupFormat->currentText(), format);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    if (auto *box = qobject_cast<QCheckBox *>(target)) {
        QCOMPARE(box->isChecked(), keys.contains(QLatin1String("Space")));
    }
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
