// The panel's settings across a restart, and the automatic clipboard exchange on focus changes.
// Every panel here keeps its settings in a file of a private temporary folder.
#include "app/desktopclipboard.h"
#include "panel/viewcontroller.h"

#include <QClipboard>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using panel::ViewController;
using PanelAction = std::function<void(ViewController &)>;
Q_DECLARE_METATYPE(PanelAction)

class SettingsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ViewController> startPanel()
    {
        auto panel = std::make_unique<ViewController>();
        panel->usePasteboard(std::make_unique<app::DesktopClipboard>());
        panel->usePreferences(std::make_unique<store::Preferences>(settingsFile()));
        panel->viewDidLoad();
        return panel;
    }
    QString settingsFile() const { return folder->filePath(QStringLiteral("tcpad.conf")); }

    std::unique_ptr<QTemporaryDir> folder;

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
    }

    void firstRunStartsFromTheDefaults()
    {
        const auto panel = startPanel();
        QCOMPARE(panel->controls().checkboxCopy->checkState(), Qt::Unchecked);
        QCOMPARE(panel->controls().checkboxPaste->checkState(), Qt::Unchecked);
        QCOMPARE(panel->controls().popupFormat->currentText(), QStringLiteral("30 NDF"));
        QCOMPARE(panel->registers(), store::emptyRegisters());
        QVERIFY(!QFile::exists(settingsFile())); // starting never writes the defaults
    }

    void settingsSurviveARestart_data()
    {
        QTest::addColumn<Qt::CheckState>("copy");
        QTest::addColumn<Qt::CheckState>("paste");
        QTest::addColumn<QString>("format");
        QTest::newRow("both ticked, 120 DF") << Qt::Checked << Qt::Checked << "120 DF";
        QTest::newRow("copy only, 25") << Qt::Checked << Qt::Unchecked << "25";
        // A check box in the mixed state is not ticked, and is stored as not ticked.
        QTest::newRow("mixed, 16") << Qt::PartiallyChecked << Qt::PartiallyChecked << "16";
    }
    void settingsSurviveARestart()
    {
        QFETCH(Qt::CheckState, copy);
        QFETCH(Qt::CheckState, paste);
        QFETCH(QString, format);
        {
            const auto panel = startPanel();
            const Ui::ViewController &ui = panel->controls();
            ui.checkboxCopy->setCheckState(copy);
            ui.checkboxPaste->setCheckState(paste);
            ui.popupFormat->setCurrentText(format);
            ui.scratchPadRegister->setText(QStringLiteral("00:00:01;02"));
            panel->memController(QStringLiteral("Mem-2"), QStringLiteral("Save"));
            QVERIFY(panel->savePreferences());
        }
        const auto panel = startPanel();
        const Ui::ViewController &ui = panel->controls();
        QCOMPARE(ui.checkboxCopy->checkState(), copy == Qt::Checked ? copy : Qt::Unchecked);
        QCOMPARE(ui.checkboxPaste->checkState(), paste == Qt::Checked ? paste : Qt::Unchecked);
        QCOMPARE(ui.popupFormat->currentText(), format);
        QCOMPARE(panel->registers().size(), 9);
        // The display starts empty and in timecode mode whatever was saved.
        QCOMPARE(ui.scratchPadRegister->text(), QString());
        QVERIFY(panel->isTimecodeMode());
        panel->memController(QStringLiteral("Mem-2"), QStringLiteral("Load"));
        QCOMPARE(ui.scratchPadRegister->text(), QStringLiteral("00:00:01;02"));
    }

    // Each change of a kept setting is in the file at once, before any quit; the actions that
    // change no kept setting leave the file as it was, byte for byte.
    void changesReachTheFileAtOnce_data()
    {
        QTest::addColumn<PanelAction>("action");
        QTest::addColumn<QString>("line"); // a line the file holds afterwards; none: untouched
        const auto click = [](const QStringList &titles) {
            return [titles](ViewController &panel) {
                for (const QString &title : titles) {
                    panel.enteredKeyNum(title);
                    panel.enteredKey(title);
                }
                panel.enter();
            };
        };
        const auto menu = [](const char *title, const char *parent = nullptr) {
            return [=](ViewController &panel) {
                parent ? panel.memController(title, parent) : panel.respondsToMenu(title);
            };
        };
        QTest::newRow("register saved") << PanelAction([](ViewController &panel) {
            panel.controls().scratchPadRegister->setText("00:00:01:02");
            panel.memController("Mem-4", "Save");
        }) << "Mem-4=00:00:01:02";
        QTest::newRow("all registers cleared")
            << PanelAction(menu("Clear All Mem", "Memory")) << "Mem-1=";
        QTest::newRow("copy unticked") << PanelAction([](ViewController &panel) {
            panel.controls().checkboxCopy->setCheckState(Qt::Unchecked);
        }) << "defCopy=false";
        QTest::newRow("paste ticked") << PanelAction([](ViewController &panel) {
            panel.controls().checkboxPaste->setCheckState(Qt::Checked);
        }) << "defPaste=true";
        QTest::newRow("paste mixed") << PanelAction([](ViewController &panel) {
            panel.controls().checkboxPaste->setCheckState(Qt::Checked);
            panel.controls().checkboxPaste->setCheckState(Qt::PartiallyChecked);
        }) << "defPaste=false";
        QTest::newRow("format selected") << PanelAction([](ViewController &panel) {
            panel.controls().popupFormat->setCurrentText("25");
        }) << "defFormat=25";
        QTest::newRow("keys and a calculation")
            << PanelAction(click({"1", "+", "2", "T/F"})) << QString();
        QTest::newRow("register loaded") << PanelAction(menu("Mem-1", "Load")) << QString();
        QTest::newRow("copy and paste") << PanelAction([](ViewController &panel) {
            panel.controls().scratchPadRegister->setText("7");
            panel.respondsToMenu("Copy");
            panel.respondsToMenu("Paste");
        }) << QString();
        QTest::newRow("all clear and change T/F") << PanelAction([](ViewController &panel) {
            panel.respondsToMenu("All Clear");
            panel.respondsToMenu("Change T/F");
        }) << QString();
    }
    void changesReachTheFileAtOnce()
    {
        QFETCH(PanelAction, action);
        QFETCH(QString, line);
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\ndefCopy=true\n[defMem]\nMem-1=x\n");
        file.close();
        const auto panel = startPanel();
        QVERIFY(panel->savePreferences());
        const auto contents = [this] {
            QFile saved(settingsFile());
            return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
        };
        const QByteArray before = contents();

        action(*panel);
        if (line.isEmpty()) {
            QCOMPARE(contents(), before);
        } else {
            QVERIFY2(contents().split('\n').contains(line.toUtf8()), contents().constData());
        }
    }

    void anUnknownStoredFormatSelectsTheDefault()
    {
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\ndefFormat=29.97 DF\ndefCopy=true\n");
        file.close();
        const auto panel = startPanel();
        QCOMPARE(panel->controls().popupFormat->currentText(), QStringLiteral("30 NDF"));
        QCOMPARE(panel->controls().checkboxCopy->checkState(), Qt::Checked);
    }

    void panelIsSharedOnceLoaded()
    {
        auto first = startPanel();
        QCOMPARE(panel::sharedViewController(), first.get());
        const auto second = startPanel();
        QCOMPARE(panel::sharedViewController(), second.get());
        first.reset();
        QCOMPARE(panel::sharedViewController(), second.get());
    }

    void automaticPaste_data()
    {
        QTest::addColumn<Qt::CheckState>("paste");
        QTest::addColumn<QStringList>("displays"); // after each activation
        // The first activation comes with starting up and never pastes.
        QTest::newRow("ticked") << Qt::Checked << QStringList{"kept", "00:00:01:00", "00:00:01:00"};
        QTest::newRow("not ticked") << Qt::Unchecked << QStringList{"kept", "kept"};
        QTest::newRow("mixed") << Qt::PartiallyChecked << QStringList{"kept", "kept"};
    }
    void automaticPaste()
    {
        QFETCH(Qt::CheckState, paste);
        QFETCH(QStringList, displays);
        const auto panel = startPanel();
        panel->controls().checkboxPaste->setCheckState(paste);
        QGuiApplication::clipboard()->setText(QStringLiteral("00:00:01:00"));
        for (const QString &expected : displays) {
            panel->controls().scratchPadRegister->setText(QStringLiteral("kept"));
            panel->automaticPaste();
            QCOMPARE(panel->controls().scratchPadRegister->text(), expected);
            QVERIFY(!panel->startingUp());
        }
    }

    void automaticCopy_data()
    {
        QTest::addColumn<Qt::CheckState>("copy");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("ticked copies") << Qt::Checked << "01:00:00:00"
                                       << "01:00:00:00";
        QTest::newRow("ticked, empty display") << Qt::Checked << ""
                                               << "before";
        QTest::newRow("ticked, error text") << Qt::Checked << "ERROR"
                                            << "before";
        QTest::newRow("not ticked") << Qt::Unchecked << "01:00:00:00"
                                    << "before";
        QTest::newRow("mixed") << Qt::PartiallyChecked << "01:00:00:00"
                               << "before";
    }
    void automaticCopy()
    {
        QFETCH(Qt::CheckState, copy);
        QFETCH(QString, display);
        const auto panel = startPanel();
        panel->controls().checkboxCopy->setCheckState(copy);
        panel->controls().scratchPadRegister->setText(display);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        panel->automaticCopy();
        QTEST(QGuiApplication::clipboard()->text(), "clipboard");
    }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
