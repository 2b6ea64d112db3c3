// The calculator panel driven through its real keys and its actions.
//
// A script is steps separated by blanks ('_' is a blank inside a step):
//   7 + T/F ...   click the panel key with this title    key:T num:T   enteredKey/enteredKeyNum(T)
//   menu:T        respondsToMenu(T)                      mem:P/T       item T of the menu titled P
//   format:T      select format T (added if missing)     set:T sign:T  put T in display / sign
//   paste:T       put T on the clipboard, choose "Paste" image         the same with an image
#include "app/desktopclipboard.h"
#include "panel/viewcontroller.h"

#include <QClipboard>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using panel::ViewController;

// The accumulator at 01:00:00:00 (frame 108000 at 30 NDF).
#define HOUR "1 0 0 0 0 0 0 = "

namespace {

void run(ViewController &panel, const QString &script)
{
    const Ui::ViewController &ui = panel.controls();
    for (const QString &step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString kind = step.section(QLatin1Char(':'), 0, 0);
        const QString arg =
            step.section(QLatin1Char(':'), 1).replace(QLatin1Char('_'), QLatin1Char(' '));
        if (kind == QLatin1String("key")) {
            panel.enteredKey(arg);
        } else if (kind == QLatin1String("num")) {
            panel.enteredKeyNum(arg);
        } else if (kind == QLatin1String("menu")) {
            panel.respondsToMenu(arg);
        } else if (kind == QLatin1String("mem")) {
            panel.memController(arg.section(QLatin1Char('/'), 1),
                                arg.section(QLatin1Char('/'), 0, 0));
        } else if (kind == QLatin1String("format")) {
            if (ui.popupFormat->findText(arg) < 0) {
                ui.popupFormat->addItem(arg);
            }
            ui.popupFormat->setCurrentText(arg);
        } else if (kind == QLatin1String("set")) {
            ui.scratchPadRegister->setText(arg);
        } else if (kind == QLatin1String("sign")) {
            ui.sign->setText(arg);
        } else if (kind == QLatin1String("paste") || kind == QLatin1String("image")) {
            if (kind == QLatin1String("paste")) {
                QGuiApplication::clipboard()->setText(arg);
            } else { // no plain text on the clipboard, as with an image or copied files
                auto *other = new QMimeData;
                other->setData(QStringLiteral("image/png"), QByteArray("\x89PNG"));
                other->setUrls({QUrl(QStringLiteral("file:///clip.png"))});
                QGuiApplication::clipboard()->setMimeData(other);
            }
            panel.respondsToMenu(QStringLiteral("Paste"));
        } else {
            const auto keys = panel.findChildren<QPushButton *>();
            const auto key =
                std::find_if(keys.begin(), keys.end(), [&](auto *b) { return b->text() == step; });
            QVERIFY2(key != keys.end(), qPrintable(step));
            (*key)->click();
        }
    }
}

void row(const QString &name, const QString &script, const QString &display, const char *sign = "",
         qint64 frame = -1, bool frameMode = false)
{
    QTest::newRow(qPrintable(name))
        << script << display << QString::fromLatin1(sign) << frame << frameMode;
}

} // namespace

class PanelTest : public QObject
{
    Q_OBJECT

    // Settings are written as they change: every row starts from a first run of its own.
    QTemporaryDir folder;

private slots:
    void init() { QFile::remove(folder.filePath(QStringLiteral("tcpad.conf"))); }

    void script_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("sign");
        QTest::addColumn<qint64>("frame"); // -1: no accumulator
        QTest::addColumn<bool>("frameMode");

        // Every cell of the state table. Each state shows the keyed operand
        // 00:00:01:00 (30 frames) at 30 NDF; Holding and Pending hold 01:00:00:00,
        // Pending with "+".
        const char *states[] = {"Empty", "Holding", "Pending"};
        const char *setups[] = {"1 0 0 ", HOUR "C 1 0 0 ", HOUR "+ 1 0 0 "};
        struct Cell
        {
            int state;                          // -1: the same in all three states
            const char *input, *display, *sign; // sign "*": as the state left it
            qint64 frame;                       // -2: as the state left it
            bool frameMode;
        };
        const Cell cells[] = {
            {-1, "5", "00:00:10:05", "*", -2, false},
            {-1, "<", "00:00:00:10", "*", -2, false},
            {-1, "menu:Back_Space", "00:00:00:10", "*", -2, false},
            {-1, "AC", "", "", -1, false},
            {-1, "menu:All_Clear", "", "", -1, false},
            {-1, "paste:7", "7", "*", -2, false},
            {-1, "mem:Save/Mem-1 set:x mem:Load/Mem-1", "00:00:01:00", "*", -2, false},
            {-1, "key:ac", "00:00:01:00", "*", -2, false},
            {-1, "menu:clear", "00:00:01:00", "*", -2, false},
            {0, "=", "00:00:01:00", "", 30, false},
            {0, "+", "", "+", 30, false},
            {0, "-", "", "-", 30, false},
            {0, "C", "", "", -1, false},
            {0, "menu:Clear", "", "", -1, false},
            {0, "menu:Recall", "00:00:01:00", "", -1, false},
            {0, "T/F", "30", "", 30, true},
            {0, "menu:Change_T/F", "", "", -1, true},
            {0, "format:25", "", "", -1, false},
            {0, "C =", "ERROR", "", -1, false},
            {0, "C -", "ERROR", "", -1, false},
            {0, "format:29.97 1 =", "00:00:00:01", "", -1, false},
            {1, "=", "00:00:01:00", "", 30, false},
            {1, "+", "", "+", 30, false},
            {1, "-", "", "-", 30, false},
            {1, "C", "", "", 108000, false},
            {1, "RC", "01:00:00:00", "", 108000, false},
            {1, "menu:Recall", "01:00:00:00", "", 108000, false},
            {1, "T/F", "30", "", 30, true},
            {1, "menu:Change_T/F", "108000", "", 108000, true},
            {1, "set:1.5 =", "ERROR", "", 108000, false},
            {2, "=", "01:00:01:00", "", 108030, false},
            {2, "+", "", "+", 108030, false},
            {2, "-", "", "-", 108030, false},
            {2, "C", "", "+", 108000, false},
            {2, "C C", "", "", 108000, false},
            {2, "menu:Clear menu:Clear", "", "", 108000, false},
            {2, "RC", "01:00:00:00", "+", 108000, false},
            {2, "T/F", "108030", "", 108030, true},
            {2, "menu:Change_T/F", "108000", "+", 108000, true},
            {2, "C =", "ERROR", "+", 108000, false},
            {2, "C -", "", "-", 108000, false},
        };
        for (const Cell &cell : cells) {
            for (int s = 0; s < 3; ++s) {
                if (cell.state == -1 || cell.state == s) {
                    const bool same = cell.sign[0] == '*';
                    row(QStringLiteral("%1: %2").arg(QLatin1String(states[s]),
                                                     QLatin1String(cell.input)),
                        QLatin1String(setups[s]) + QLatin1String(cell.input), cell.display,
                        same ? (s == 2 ? "+" : "") : cell.sign,
                        cell.frame == -2 ? (s == 0 ? -1 : 108000) : cell.frame, cell.frameMode);
                }
            }
        }

        // Key entry.
        row("nothing keyed", "", "");
        row("keys 1", "1", "00:00:00:01");
        row("keys 1 2", "1 2", "00:00:00:12");
        row("keys 1 2 3", "1 2 3", "00:00:01:23");
        row("keys 1 2 3 4", "1 2 3 4", "00:00:12:34");
        row("keys 1 2 3 4 <", "1 2 3 4 <", "00:00:01:23");
        row("30 DF separator", "format:30_DF 1", "00:00:00;01");
        row("120 three frame digits", "format:120_NDF 1", "00:00:00:001");
        row("ninth digit pushes out the first", "1 2 3 4 5 6 7 8 9", "23:45:67:89");
        row("take back to zero", "1 <", "00:00:00:00");
        row("take back on empty", "<", "");
        row("separators only", "set:: 5", "00:00:00:05");
        row("digits shift into a result", HOUR "5", "10:00:00:05", "", 108000);
        row("double zero key", "1 00 00 00", "01:00:00:00");
        row("error text dropped with the key", "= 1", "");
        row("key that is no digit", "1 num:ab", "00:00:00:01");
        row("combining mark", "set:1\u0301 2", "");
        // Longer than the entry width: only by paste or register load.
        row("long paste take back", "paste:123456789012 <", "12:34:56:78");
        row("long paste leading zeros", "paste:000001234567 <", "00:12:34:56");
        row("long paste beyond 32 bits", "paste:999999999999 <", "99:99:99:99");
        row("frame leading zeros", "T/F 0 0 7", "007", "", -1, true);
        row("frame width 8", "T/F 1 2 3 4 5 6 7 8 9", "23456789", "", -1, true);
        row("frame width 9 at 120", "format:120_DF T/F 1 2 3 4 5 6 7 8 9", "123456789", "", -1,
            true);
        row("frame take back", "T/F 7 <", "", "", -1, true);
        row("frame take back whole character", "T/F set:1e\u0301 <", "1", "", -1, true);

        // The equals step.
        row("25 frame count reduced", "format:25 T/F 2 1 6 0 0 0 1 =", "1", "", 1, true);
        row("25 chained additions", "format:25 T/F 1 + 2 + 3 =", "6", "", 6, true);
        row("25 subtraction wraps", "format:25 T/F 0 = - 1 =", "2159999", "", 2159999, true);
        row("30 DF nominal day", "format:30_DF T/F 0 = 2 5 8 9 5 0 0 =", "2589500", "", 2589500,
            true);
        row("30 DF skipped label", "format:30_DF 1 0 0 0 0 = =", "00:01:00;02", "", 1800);
        row("error keeps the addition", HOUR "+ = 1 5 =", "01:00:00:05", "", 108005);
        row("road of one calculation", "1 + 1 5 =", "00:00:00:16", "", 16);
        row("other sign text", HOUR "sign:x 1 5 =", "00:00:00:15", "x", 15);
        row("change T/F and back", HOUR "menu:Change_T/F menu:Change_T/F", "01:00:00:00", "",
            108000);
        row("change T/F empty display", HOUR "C menu:Change_T/F", "", "", 108000, true);
        row("T/F on empty display", "T/F", "", "", -1, true);
        row("recall zero", "T/F 0 = C RC", "0", "", 0, true);
        row("all clear keeps frame mode", "T/F 1 = AC", "", "", -1, true);

        // Registers keep display texts as they are.
        row("load empty register", "1 mem:Load/Mem-1", "00:00:00:01");
        row("frame count loads unchanged", "T/F 1 8 0 0 mem:Save/Mem-2 T/F mem:Load/Mem-2", "1800",
            "", 1800);
        row("clear all mem", "set:5 mem:Save/Mem-1 mem:Memory/Clear_All_Mem set:7 mem:Load/Mem-1",
            "7");
        row("error text saved", "= mem:Save/Mem-5 set:1 mem:Load/Mem-5", "ERROR");
        row("load of no register", "set:1 mem:Load/Mem-10", "1");

        // Paste keeps twelve characters as the user sees them, and plain text only.
        const QString eAcute = QStringLiteral("e\u0301");
        row("paste 15 digits keeps 12", "1 paste:123456789012345", "123456789012");
        row("paste 11 and CR LF whole", "1 paste:01:02:03:04\r\n", "01:02:03:04\r\n");
        row("paste 12 and CR LF cut", "1 paste:01:02:03:045\r\n", "01:02:03:045");
        row("paste combining marks count once", "1 paste:" + eAcute.repeated(13),
            eAcute.repeated(12));
        row("paste empty text empties", "1 paste:", "");
        row("paste without text keeps the display", "1 image", "00:00:00:01");
    }
    void script()
    {
        QFETCH(QString, script);
        QFETCH(qint64, frame);
        QFETCH(bool, frameMode);
        ViewController panel;
        panel.usePasteboard(std::make_unique<app::DesktopClipboard>());
        panel.usePreferences(
            std::make_unique<store::Preferences>(folder.filePath(QStringLiteral("tcpad.conf"))));
        panel.viewDidLoad();
        run(panel, script);
        const Ui::ViewController &ui = panel.controls();
        QTEST(ui.scratchPadRegister->text(), "display");
        QTEST(ui.sign->text(), "sign");
        QCOMPARE(panel.accumulator() ? qint64(panel.accumulator()->frameNumber) : -1, frame);
        QCOMPARE(ui.timecodeOrFrame->text(), QLatin1String(frameMode ? "Frame" : "Timecode"));
        QCOMPARE(panel.isTimecodeMode(), !frameMode);
        // The format can change only while no calculation is under way.
        QCOMPARE(ui.popupFormat->isEnabled(), frame < 0);
        QCOMPARE(ui.buttonRC->isEnabled(), frame >= 0);
        QCOMPARE(ui.popupFormat->currentText() == QLatin1String("30 NDF"),
                 !script.contains(QLatin1String("format:")));
        QCOMPARE(panel.registers().keys(), store::registerNames());
    }

    void copy_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("clipboard");
        // An empty display and the exact error text are not copied.
        for (const char *text : {"ERROR", "", "Error"}) {
            QTest::newRow(*text ? text : "empty")
                << text << (qstrcmp(text, "Error") ? "before" : text);
        }
    }
    void copy()
    {
        QFETCH(QString, display);
        ViewController panel;
        panel.usePasteboard(std::make_unique<app::DesktopClipboard>());
        panel.controls().scratchPadRegister->setText(display);
        for (const bool byMenu : {true, false}) {
            QGuiApplication::clipboard()->setText(QStringLiteral("before"));
            byMenu ? panel.respondsToMenu(QStringLiteral("Copy")) : panel.copyToPasteboard();
            QTEST(QGuiApplication::clipboard()->text(), "clipboard");
        }
    }
};

QTEST_MAIN(PanelTest)
#include "tst_panel.moc"
