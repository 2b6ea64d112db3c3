// Reading timecode text and frame-count text. Accepted and refused inputs live in separate tables
// so that a refused row can never pass by accident of a wrong expected value.
#include "timecode/timecode.h"

#include <QtTest>

namespace {

std::string_view view(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

void timecodeColumns()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint64>("rate");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<quint64>("frames");
}

void row(const char *name, const QByteArray &text, quint64 rate, bool drop, quint64 frames = 0)
{
    QTest::newRow(name) << text << rate << drop << frames;
}

} // namespace

class TimecodeParsing : public QObject
{
    Q_OBJECT

private slots:
    void timecodeTextAccepted_data()
    {
        timecodeColumns();
        // Digits fill the fields from the right; separators are optional and may stand anywhere.
        row("30 one hour", "01:00:00:00", 30, false, 108000);
        row("30 bare digit is frames", "5", 30, false, 5);
        row("30 one second", "1:00", 30, false, 30);
        row("30 leading zeros vanish", "00000000005", 30, false, 5);
        row("30 ninth digit not read", "100000000", 30, false, 1080000);
        row("30 separators anywhere", "::0:;1", 30, false, 1);
        row("30 semicolon without drop", "00:00:01;00", 30, false, 30);
        row("50 separators do not delimit", "1:2:3:4", 50, false, 634);
        row("48 frame 30 exists", "00:00:00:30", 48, false, 30);
        row("60 limit 2147483647 reads as 21:47:48:36", "2147483647", 60, false,
            (21ull * 3600 + 47 * 60 + 48) * 60 + 36);
        // Drop frame at 30: labels 00 and 01 of second 00 are skipped except every tenth minute.
        row("30DF zero", "00:00:00;00", 30, true, 0);
        row("30DF one hour", "01:00:00;00", 30, true, 107892);
        row("30DF tenth minute keeps 00", "00:10:00;00", 30, true, 17982);
        row("30DF tenth minute keeps 01", "00:10:00;01", 30, true, 17983);
        row("30DF skipped 00 read as 02", "00:01:00;00", 30, true, 1800);
        row("30DF skipped 01 read as 02", "00:01:00;01", 30, true, 1800);
        row("30DF first existing label", "00:01:00;02", 30, true, 1800);
        row("30DF second existing label", "00:01:00;03", 30, true, 1801);
        row("30DF second minute", "00:02:00;00", 30, true, 3598);
        row("30DF second 01 not skipped", "00:01:01;00", 30, true, 1828);
        row("30DF colon separator", "00:01:00:02", 30, true, 1800);
        row("30DF last frame of day", "23:59:59;29", 30, true, 2589407);
        row("60DF skipped 03 read as 04", "00:01:00;03", 60, true, 3600);
        row("120DF skipped 007 read as 008", "00:01:00;007", 120, true, 7200);
        row("120DF last frame of day", "23:59:59;119", 120, true, 10357631);
        row("120 last frame of day", "23:59:59:119", 120, false, 10367999);
        row("120 a ten-digit numeral keeps nine", "1234561190", 120, false,
            (12ull * 3600 + 34 * 60 + 56) * 120 + 119);
    }
    void timecodeTextAccepted()
    {
        QFETCH(QByteArray, text);
        QFETCH(quint64, rate);
        QFETCH(bool, dropFrame);
        QFETCH(quint64, frames);
        QCOMPARE(
            quint64(
                timecode::framesFromTimecodeText(view(text), {rate, dropFrame}).value_or(~0ull)),
            frames);
    }

    void timecodeTextRefused_data()
    {
        timecodeColumns();
        row("frames 34 at 30", "1:2:3:4", 30, false);
        row("hour 24", "24:00:00:00", 30, false);
        row("minute 60", "00:60:00:00", 30, false);
        row("second 60", "00:00:60:00", 30, false);
        row("frame equal to rate", "00:00:00:30", 30, false);
        row("frame 120 at 120", "00:00:00:120", 120, true);
        row("frames 789 at 120", "123456789", 120, false);
        row("empty", "", 30, false);
        row("leading blank", " 5", 30, false);
        row("letter", "12:3a", 30, false);
        row("separators hide frames 34", "::12::34", 30, false);
        row("only a colon", ":", 30, false);
        row("only separators", ";;::", 30, true);
        row("sign", "-1", 30, false);
        row("period", "00.00.01.00", 30, false);
        row("error text", "ERROR", 30, false);
        row("trailing line feed", "00:00:01:00\n", 30, false);
        row("NUL inside", QByteArray("00:00\0:01:00", 12), 30, false);
        row("arabic-indic digit", "\xd9\xa1", 30, false);
        row("digit with combining mark", "5\xcc\x81", 30, false);
        row("fullwidth digit", "\xef\xbc\x95", 30, false);
        // Past 2^31 - 1 the digits are refused, whatever their number and however they would wrap.
        row("2147483648", "2147483648", 30, false);
        row("2^32 plus 5 does not wrap to 5", "4294967301", 30, false);
        row("2^64 plus 5 does not wrap to 5", "18446744073709551621", 30, false);
        row("thousand digits", QByteArray(1000, '9'), 30, false);
    }
    void timecodeTextRefused()
    {
        QFETCH(QByteArray, text);
        QFETCH(quint64, rate);
        QFETCH(bool, dropFrame);
        QCOMPARE(timecode::framesFromTimecodeText(view(text), {rate, dropFrame}), std::nullopt);
    }

    void frameCountAccepted_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<quint64>("value");
        QTest::newRow("zero") << QByteArray("0") << 0ull;
        QTest::newRow("plus sign") << QByteArray("+7") << 7ull;
        QTest::newRow("minus zero") << QByteArray("-0") << 0ull;
        QTest::newRow("minus double zero") << QByteArray("-00") << 0ull;
        QTest::newRow("leading zeros") << QByteArray("007") << 7ull;
        QTest::newRow("2^64 - 1") << QByteArray("18446744073709551615") << ~0ull;
        QTest::newRow("2^64 - 1 behind zeros") << QByteArray("00018446744073709551615") << ~0ull;
    }
    void frameCountAccepted()
    {
        QFETCH(QByteArray, text);
        QFETCH(quint64, value);
        QCOMPARE(quint64(timecode::frameCountFromText(view(text)).value_or(42424242)), value);
    }

    void frameCountRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        for (const char *text : {"-1", "-01", "+", "-", "+-0", "", " 7", "7 ", "1,000", "1e3",
                                 "0x10", "00:00:01:00", "18446744073709551616", "\xd9\xa1"}) {
            QTest::addRow("'%s'", text) << QByteArray(text);
        }
        QTest::newRow("NUL after digits") << QByteArray("7\0", 2);
    }
    void frameCountRefused()
    {
        QFETCH(QByteArray, text);
        QCOMPARE(timecode::frameCountFromText(view(text)), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TimecodeParsing)
#include "tst_parsing.moc"
