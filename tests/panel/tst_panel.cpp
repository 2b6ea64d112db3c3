// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The calculator panel driven through its keys, menus, clipboard, focus changes and restarts:
// each row is a script of steps separated by blanks, as fuzz/paneldriver.h lists them. What a
// row expects at the end: "display sign frame mode", '_' for an empty text, '-' for no
// accumulator, T or F for the display mode; left out, sign, frame and mode read "_ - T".
#include "fuzz/paneldriver.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// The accumulator at 01:00:00:00 (frame 108000 at 30 NDF).
#define HOUR "1 0 0 0 0 0 0 = "

void row(const QString &name, const QString &script, const QString &expected)
{
    QStringList parts = expected.split(' ');
    parts += QStringList{"_", "_", "-", "T"}.mid(parts.size());
    const QString checks = QString(" ?display:%1 ?sign:%2 ?frame:%3 ?mode:%4")
                               .arg(parts[0] == "_" ? "" : parts[0],
                                    parts[1] == "_" ? "" : parts[1], parts[2], parts[3]);
    QTest::newRow(qPrintable(name)) << script + checks;
}

// Inputs ("A or B": each of them) in each state of the calculator: empty, holding 01:00:00:00, and
// the same with "+" pending, each showing the keyed operand 00:00:01:00 (30 frames) at 30 NDF. An
// empty expectation leaves the state out.
void cell(const char *inputs, const char *empty, const char *holding, const char *pending)
{
    const char *setups[] = {"1 0 0 ", HOUR "C 1 0 0 ", HOUR "+ 1 0 0 "};
    const char *expected[] = {empty, holding, pending};
    const char *states[] = {"empty", "holding", "pending"};
    for (const QString &input : QString(inputs).split(" or ")) {
        for (int s = 0; s < 3; ++s) {
            if (*expected[s]) {
                row(QString("%1: %2").arg(states[s], input), setups[s] + input, expected[s]);
            }
        }
    }
}

} // namespace

class PanelTest : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    const QString file = folder.filePath("tcpad.conf");

private slots:
    void script_data()
    {
        QTest::addColumn<QString>("script");

        // The state table: input, then what it leaves in each state.
        cell("5", "00:00:10:05", "00:00:10:05 _ 108000", "00:00:10:05 + 108000");
        cell("< or menu:Back_Space", "00:00:00:10", "00:00:00:10 _ 108000", "00:00:00:10 + 108000");
        cell("AC or menu:All_Clear", "_", "_", "_");
        cell("paste:7", "7", "7 _ 108000", "7 + 108000");
        cell("mem:Save/Mem-1 set:x mem:Load/Mem-1", "00:00:01:00", "", "00:00:01:00 + 108000");
        cell("=", "00:00:01:00 _ 30", "00:00:01:00 _ 30", "01:00:01:00 _ 108030");
        cell("+", "_ + 30", "_ + 30", "_ + 108030");
        cell("-", "_ - 30", "_ - 30", "_ - 108030");
        cell("×", "_ × 30", "_ × 30", "_ × 108030");
        cell("÷", "_ ÷ 30", "_ ÷ 30", "_ ÷ 108030");
        cell("C or menu:Clear", "_", "_ _ 108000", "_ + 108000");
        cell("C C or menu:Clear menu:Clear", "", "", "_ _ 108000");
        cell("RC or menu:Recall", "00:00:01:00", "01:00:00:00 _ 108000", "01:00:00:00 + 108000");
        cell("T/F", "30 _ 30 F", "30 _ 30 F", "108030 _ 108030 F");
        cell("menu:Change_T/F", "_ _ - F", "108000 _ 108000 F", "108000 + 108000 F");
        cell("format:25", "_", "", "");
        cell("C =", "ERROR", "", "ERROR + 108000");
        cell("C -", "ERROR", "", "_ - 108000");
        cell("set:1:60.0 =", "", "ERROR _ 108000", "");
        cell("paste:1,16 =", "00:00:01:05 _ 35", "00:00:01:05 _ 35", "01:00:01:05 _ 108035");

        // Key entry.
        row("keys, take back, double zero, ninth digit pushes out the first",
            "1 2 3 4 < ?display:00:00:01:23 5 6 00 9 1", "23:56:00:91");
        row("separator and frame digits of the format",
            "format:30_DF 1 ?display:00:00:00;01 format:120_NDF 1", "00:00:00:001");
        row("digits shift into a result", HOUR "5", "10:00:00:05 _ 108000");
        row("error text or a mark dropped with the key", "= 1 set:1\u0301 2", "_");
        row("long paste take back", "paste:000001234567 <", "00:12:34:56");
        row("frame leading zeros, width 8, 9 at 120",
            "T/F 0 0 7 ?display:007 1 2 3 4 5 6 7 8 9 ?display:23456789 format:120_DF "
            "1 2 3 4 5 6 7 8 9",
            "123456789 _ - F");
        row("frame take back whole character", "T/F set:1e\u0301 <", "1 _ - F");

        // Clock time, keyed (S) or pasted, read at the rate in use: 29.97 here, 23.976 at 24.
        row("clock keyed: take back, double zero, a tenth digit pushes out the first; S twice",
            "Clock 1 5 0 0 ?display:00:00:01.500 < 00 1 2 3 4 5 ?display:50:00:12.345 Clock "
            "?display:00:01:23:45 Clock ?display:00:00:12.345 =",
            "00:00:12:10 _ 370");
        row("clock in frame mode; a field over 59; no count",
            "T/F 1 5 0 0 Clock ?display:00:00:01.500 Clock ?display:1500 Clock = ?display:45 "
            "Clock 6 0 0 0 0 = ?display:ERROR × Clock 3 =",
            "ERROR × 45 F");
        row("tape: a clock time, the rate and the timecode it read as, the value reused",
            "format:24 1 + Clock 2 3 1 2 5 0 = "
            "?tape:24|__00:00:00:01|+_00:02:31.250_at_23.976_(00:02:31:02)|=_00:02:31:03 line:2",
            "00:02:31:02 _ 3627");

        // The equals step.
        row("frame counts reduced to a nominal day",
            "format:25 T/F 2 1 6 0 0 0 1 = ?display:1 AC format:30_DF 0 = 2 5 8 9 5 0 0 =",
            "2589500 _ 2589500 F");
        row("near-miss titles are ignored",
            HOUR "+ menu:clear menu:All_clear menu:Back_space 1 5 menu:Change_T/F_ menu:paste =",
            "01:00:00:15 _ 108015");
        row("change T/F empty display", HOUR "C menu:Change_T/F", "_ _ 108000 F");
        row("recall zero", "T/F 0 = C RC", "0 _ 0 F");

        // Multiplying and dividing by a count: keyed as a plain number in either mode, read so
        // when pasted or loaded; anything else where a count belongs, and dividing by 0, refused.
        row("count keyed as a number, six digits, take back; a chain; times 0",
            HOUR "× ?sign:× ?said:times 0 0 3 ?display:3 1 2 3 4 5 6 ?display:123456 < "
                 "?display:12345 C 3 = ?display:03:00:00:00 + 1 0 0 × 2 - 1 0 0 = "
                 "?display:06:00:01:00 × 0 =",
            "00:00:00:00 _ 0");
        row("frame mode, the words cleared with the sign",
            "T/F 1 0 0 × 3 = ?display:300 ÷ ?said:divided_by C C ?said: ÷ 0 0 7 ?display:7 =",
            "42 _ 42 F");
        row("no count: a timecode, an empty display, 0 to divide by, a saved timecode",
            HOUR "÷ = ?display:ERROR paste:00:00:00:03 = ?display:ERROR 0 = ?display:ERROR "
                 "set:01:00:00:00 mem:Save/Mem-1 mem:Load/Mem-1 = ?frame:108000",
            "ERROR ÷ 108000");
        row("a pasted or loaded whole number is a count",
            HOUR "÷ paste:0004 = × set:12 mem:Save/Mem-2 C mem:Load/Mem-2 =",
            "03:00:00:00 _ 324000");
        row("tape: days passed, frames left over, or neither",
            "format:25 1 0 0 0 0 0 0 × 5 0 = ÷ 7 = T/F ÷ 3 = × 1 = ÷ 1 = × 2 5 3 = "
            "?tape:25|__01:00:00:00|×_50|=_02:00:00:00_(2_days_later)|÷_7|"
            "=_00:17:08:14_(2_frames_left_over)|÷_3|=_8571_(1_frame_left_over)|×_1|=_8571|÷_1|"
            "=_8571|×_253|=_8463_(next_day)",
            "8463 _ 8463 F");

        // Registers keep display texts as they are; paste keeps twelve characters as the user
        // sees them, and plain text only; copy leaves out an empty display and the error text.
        row("error text saved", "= mem:Save/Mem-5 set:1 mem:Load/Mem-10 ?Mem-5:ERROR", "1");
        row("paste 12 characters, CR LF and combining marks as one each",
            "1 paste:123456789012345 ?display:123456789012 paste:01:02:03:04\r\n "
            "?display:01:02:03:04\r\n paste:" +
                QString("e\u0301").repeated(13),
            QString("e\u0301").repeated(12));
        row("copy, and paste without text",
            "clip:x menu:Copy ?clip:x 1 noclip menu:Paste ?display:00:00:00:01 set:Error menu:Copy "
            "set:ERROR menu:Copy ?clip:Error",
            "ERROR");

        // Focus changes: the first activation comes with starting up and never pastes; a mixed
        // check box is not ticked.
        row("automatic copy", "1 boxes:10 clip:x out ?clip:x boxes:20 out ?clip:00:00:00:01",
            "00:00:00:01");
        row("automatic paste",
            "boxes:02 clip:7 set:x in ?display:x boxes:01 in ?display:x boxes:02 in", "7");
        // Another program may answer a paste late: a key, a change or leaving meanwhile wins.
        row("late paste: shown unless the panel changed or lost the focus first",
            "boxes:02 in clip:7 late in answer ?display:7 AC late menu:Paste 1 answer "
            "?display:00:00:00:01 + late menu:Paste C answer ?display: ?sign: + late menu:Paste "
            "menu:Change_T/F answer ?display: ?mode:F late in out answer ?display: late in answer",
            "7 + 1 F");

        // The tape: each step that changed the accumulator, in the display's texts (the driver
        // checks that nothing else writes on it and that each "=" ends it with its result).
        const QString rule = QString(12, QChar(0x2500));
        row("tape: a run, the day wrapping both ways, All Clear separates once",
            "format:25 1 0 0 0 0 0 0 + 2 3 0 0 0 0 0 0 = - 1 = AC AC ?tape:25|__01:00:00:00|"
            "+_23:00:00:00|=_00:00:00:00_(next_day)|-_00:00:00:01|=_23:59:59:24_(previous_day)|" +
                rule,
            "_");
        row("tape: a sum and a difference over several days",
            "T/F 1 0 = + 7 7 7 6 0 1 0 = - 2 5 9 2 0 2 1 = ?tape:30_NDF|__10|+_7776010|"
            "=_20_(3_days_later)|-_2592021|=_2591999_(2_days_earlier)",
            "2591999 _ 2591999 F");
        row("tape: frames and a replaced result; results read back, refusals, the rest add none",
            "T/F 3 0 + 1 2 = T/F T/F = 5 = RC = set:x = mem:Save/Mem-1 mem:Load/Mem-1 menu:Copy "
            "paste:7 menu:Change_T/F menu:Recall ?tape:30_NDF|__30|+_12|=_42|__425",
            "00:00:14:05 _ 425");
        row("tape: a line's value into the display, nothing else", "1 0 + 2 = line:0 line:2",
            "00:00:00:02 _ 12");
        row("tape: copied, cleared, then not copied; All Clear of a calculation not on it adds no "
            "separator",
            "1 + 2 = menu:Copy_Tape ?clip:30_NDF|__00:00:00:01|+_00:00:00:02|=_00:00:00:03| "
            "menu:Clear_Tape clip:x menu:Copy_Tape ?clip:x AC ?lines:0 1 = "
            "?tape:30_NDF|__00:00:00:01",
            "00:00:00:01 _ 1");
        row("tape: the newest 1000 lines",
            "1 + " + QString("+ 1 = ").repeated(500) + "?lines:1000 line:0", "00:00:00:01 _ 501");

        // The real-time line: the display's value in its mode and format, else the accumulator's.
        const auto at30 = [](const char *slower, const char *nominal) {
            return QString(" ?realtime:%1_at_29.97_·_%2_at_30 ").arg(slower, nominal);
        };
        const QString hour = at30("01:00:03.600", "01:00:00.000");
        const QString half = at30("00:00:00.501", "00:00:00.500"); // 15 frames
        row("real time: hidden at first, a keyed operand, then the accumulator while the display "
            "does not read or holds a count keyed for ×",
            "1 0 0 0 0 0 0 ?realtime: realtime:1" + hour + "= +" + hour + "C =" + hour +
                "AC ?realtime: C = ?realtime: AC " HOUR "× 3" + hour + "=" +
                at30("03:00:10.800", "03:00:00.000"),
            "03:00:00:00 _ 324000");
        row("real time: a result, halves up; a pasted text",
            "realtime:1 " HOUR "+ 1 5 =" + at30("01:00:04.101", "01:00:00.500") + "paste:2:03" +
                at30("00:00:02.102", "00:00:02.100"),
            "2:03 _ 108015");
        row("real time: frame mode reads a count within a nominal day; Change T/F shows the "
            "accumulator's",
            "realtime:1 T/F 2 5 9 2 0 0 1 5" + half + "= T/F" + half + "menu:Change_T/F" + half,
            "15 _ 15 F");
        row("real time: drop frame and 1000/1001 formats, copied; hidden again it shows and copies "
            "nothing",
            "realtime:1 format:30_DF " HOUR "?realtime:00:59:59.996_at_29.97 menu:Copy_Real_Time "
            "?clip:00:59:59.996 AC format:24 " HOUR
            "?realtime:01:00:03.600_at_23.976_·_01:00:00.000_at_24 menu:Copy_Real_Time "
            "?clip:01:00:03.600 AC ?file:defRealTime=true realtime:0 ?file:defRealTime=false " HOUR
            "?realtime: AC restart clip:x menu:Copy_Real_Time ?clip:x",
            "_");

        // Convert To and Conform To: what is pending first, then the total at the new rate and
        // format; an ERROR on the display or from that stops it, the format as it was.
        row("convert an hour from 23.976 to 25 keeping the duration, from 24 keeping the frames",
            "format:24 " HOUR "rate:Convert_To/25 ?format:25 ?rate:at_25 AC format:24 "
            "menu:Fractional_Rate_(×1000/1001) " HOUR "+ 1 rate:Conform_To/25 "
            "?tape:24|__01:00:00:00|→_25,_same_duration|=_01:00:03:15|" +
                rule +
                "|24|__01:00:00:00|+_00:00:00:01|=_01:00:00:01|→_25,_same_frames,_104.167_%_speed|"
                "=_00:57:36:01",
            "00:57:36:01 _ 86401");
        row("convert the total past midnight, switching the fractional rate",
            "2 3 5 9 5 9 2 9 = C rate:Convert_To/30 ?file:defFractionalRate=false "
            "?tape:30_NDF|__23:59:59:29|→_30,_same_duration|=_00:01:26:11_(next_day)",
            "00:01:26:11 _ 2591");
        row("no conversion after ERROR, or from it, or to an unknown rate",
            HOUR "set:x = rate:Convert_To/25 + set:x rate:Conform_To/25 rate:Convert_To/26 "
                 "rate:Convert/25 ?format:30_NDF",
            "ERROR + 108000");
        row("fractional rate: kept at once, beside the format, the real-time line's first figure; "
            "no choice at a format of one rate",
            "realtime:1 ?rate:at_29.97 paste:01:00:03.600 =" + hour +
                "menu:Fractional_Rate_(×1000/1001) ?rate:at_30 "
                "?realtime:01:00:00.000_at_30_·_01:00:03.600_at_29.97 AC format:30_DF "
                "?rate:at_29.97 "
                "menu:Fractional_Rate_(×1000/1001) format:25 ?rate:at_25 restart format:24 "
                "?rate:at_24 paste:01:00:00.000 =",
            "01:00:00:00 _ 86400");

        // The kept settings: restored at start, each change on disk at once, nothing else written;
        // what the file cannot hold comes back empty and costs no other setting.
        row("first run writes nothing; settings survive a restart",
            "?unchanged ?boxes:00 ?format:30_NDF ?Mem-9: ?shown:0 boxes:21 format:120_DF "
            "set:00:00:01;02 mem:Save/Mem-2 tape:1 restart ?boxes:20 ?format:120_DF "
            "?Mem-2:00:00:01;02 ?shown:1",
            "_");
        row("changes on disk at once",
            "set:1 mem:Save/Mem-4 ?file:Mem-4=1 boxes:20 ?file:defCopy=true boxes:02 "
            "?file:defCopy=false ?file:defPaste=true "
            "format:25 ?file:defFormat=25 tape:1 ?file:defTape=true mem:Memory/Clear_All_Mem "
            "?file:Mem-4=",
            "_");
        row("other actions leave the file alone",
            "restart mark 1 + 2 T/F = mem:Load/Mem-1 menu:Copy menu:Paste menu:All_Clear "
            "menu:Change_T/F out in ?unchanged",
            "_");
        row("byte-order marks saved, unknown names are no registers",
            "paste:\uFEFF5|\uFEFF6 mem:Save/Mem-8 mem:Save/Mem-10 mem:Save/x restart "
            "?Mem-10:<missing> mem:Load/Mem-8",
            "5|6");
    }
    void script()
    {
        QFETCH(QString, script);
        fuzz::PanelScript panel(file);
        for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
            if (const auto failed = panel.step(step.section(':', 0, 0), step.section(':', 1))) {
                QFAIL(qPrintable(step + ": " + *failed));
            }
        }
    }
};

QTEST_MAIN(PanelTest)
#include "tst_panel.moc"
