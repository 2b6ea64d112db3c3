// Reading timecode text and frame-count text. Accepted and refused inputs live in separate tables
// so that a refused row can never pass by accident of a wrong expected value.
#include "timecode/timecode.h"

#include <QtTest>

using timecode::Counting;

namespace {

std::string_view view(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace

class TimecodeParsing : public QObject
{
    Q_OBJECT

private slots:
    void timecodeTextAccepted_data();
    void timecodeTextAccepted();
    void timecodeTextRefused_data();
    void timecodeTextRefused();
    void fieldsAreCutFromTheRight();
    void frameCountAccepted_data();
    void frameCountAccepted();
    void frameCountRefused_data();
    void frameCountRefused();
};

void TimecodeParsing::timecodeTextAccepted_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint64>("rate");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<quint64>("frames");

    // Digits fill the fields from the right; separators are optional and may stand anywhere.
    QTest::newRow("30 one hour") << QByteArray("01:00:00:00") << 30ull << false << 108000ull;
    QTest::newRow("30 bare digit is frames") << QByteArray("5") << 30ull << false << 5ull;
    QTest::newRow("30 one second") << QByteArray("1:00") << 30ull << false << 30ull;
    QTest::newRow("30 leading zeros vanish") << QByteArray("00000000005") << 30ull << false << 5ull;
    QTest::newRow("30 ninth digit not read")
        << QByteArray("100000000") << 30ull << false << 1080000ull;
    QTest::newRow("30 only separators around") << QByteArray("::0:;1") << 30ull << false << 1ull;
    QTest::newRow("30 semicolon without drop")
        << QByteArray("00:00:01;00") << 30ull << false << 30ull;
    QTest::newRow("50 separators do not delimit")
        << QByteArray("1:2:3:4") << 50ull << false << 634ull;
    QTest::newRow("48 frame 30 exists") << QByteArray("00:00:00:30") << 48ull << false << 30ull;
    QTest::newRow("25 last frame of day")
        << QByteArray("23:59:59:24") << 25ull << false << 2159999ull;
    QTest::newRow("limit 2147483647 read as 21:47:48:36")
        << QByteArray("2147483647") << 60ull << false << (21ull * 3600 + 47 * 60 + 48) * 60 + 36;

    // Drop frame at 30: labels 00 and 01 of second 00 are skipped except every tenth minute.
    QTest::newRow("30DF zero") << QByteArray("00:00:00;00") << 30ull << true << 0ull;
    QTest::newRow("30DF one hour") << QByteArray("01:00:00;00") << 30ull << true << 107892ull;
    QTest::newRow("30DF tenth minute keeps 00")
        << QByteArray("00:10:00;00") << 30ull << true << 17982ull;
    QTest::newRow("30DF tenth minute keeps 01")
        << QByteArray("00:10:00;01") << 30ull << true << 17983ull;
    QTest::newRow("30DF skipped 00 read as 02")
        << QByteArray("00:01:00;00") << 30ull << true << 1800ull;
    QTest::newRow("30DF skipped 01 read as 02")
        << QByteArray("00:01:00;01") << 30ull << true << 1800ull;
    QTest::newRow("30DF first existing label")
        << QByteArray("00:01:00;02") << 30ull << true << 1800ull;
    QTest::newRow("30DF second existing label")
        << QByteArray("00:01:00;03") << 30ull << true << 1801ull;
    QTest::newRow("30DF second minute") << QByteArray("00:02:00;00") << 30ull << true << 3598ull;
    QTest::newRow("30DF second 01 not skipped")
        << QByteArray("00:01:01;00") << 30ull << true << 1828ull;
    QTest::newRow("30DF colon separator") << QByteArray("00:01:00:02") << 30ull << true << 1800ull;
    QTest::newRow("30DF last frame of day")
        << QByteArray("23:59:59;29") << 30ull << true << 2589407ull;

    QTest::newRow("60DF skipped 03 read as 04")
        << QByteArray("00:01:00;03") << 60ull << true << 3600ull;
    QTest::newRow("120DF skipped 007 read as 008")
        << QByteArray("00:01:00;007") << 120ull << true << 7200ull;
    QTest::newRow("120DF last frame of day")
        << QByteArray("23:59:59;119") << 120ull << true << 10357631ull;
    QTest::newRow("120 last frame of day")
        << QByteArray("23:59:59:119") << 120ull << false << 10367999ull;
    QTest::newRow("120 bare digit is frames") << QByteArray("1") << 120ull << false << 1ull;
}

void TimecodeParsing::timecodeTextAccepted()
{
    QFETCH(QByteArray, text);
    QFETCH(quint64, rate);
    QFETCH(bool, dropFrame);
    QFETCH(quint64, frames);

    const auto read = timecode::framesFromTimecodeText(view(text), Counting{rate, dropFrame});
    QVERIFY(read.has_value());
    QCOMPARE(*read, frames);
}

void TimecodeParsing::timecodeTextRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint64>("rate");
    QTest::addColumn<bool>("dropFrame");

    QTest::newRow("frames 34 at 30") << QByteArray("1:2:3:4") << 30ull << false;
    QTest::newRow("hour 24") << QByteArray("24:00:00:00") << 30ull << false;
    QTest::newRow("minute 60") << QByteArray("00:60:00:00") << 30ull << false;
    QTest::newRow("second 60") << QByteArray("00:00:60:00") << 30ull << false;
    QTest::newRow("frame equal to rate") << QByteArray("00:00:00:30") << 30ull << false;
    QTest::newRow("frame 120 at 120") << QByteArray("00:00:00:120") << 120ull << true;
    QTest::newRow("empty") << QByteArray("") << 30ull << false;
    QTest::newRow("leading blank") << QByteArray(" 5") << 30ull << false;
    QTest::newRow("letter") << QByteArray("12:3a") << 30ull << false;
    QTest::newRow("separators hide frames 34") << QByteArray("::12::34") << 30ull << false;
    QTest::newRow("only a colon") << QByteArray(":") << 30ull << false;
    QTest::newRow("only separators") << QByteArray(";;::") << 30ull << true;
    QTest::newRow("sign") << QByteArray("-1") << 30ull << false;
    QTest::newRow("period") << QByteArray("00.00.01.00") << 30ull << false;
    QTest::newRow("error text") << QByteArray("ERROR") << 30ull << false;
    QTest::newRow("trailing line feed") << QByteArray("00:00:01:00\n") << 30ull << false;
    QTest::newRow("NUL inside") << QByteArray("00:00\0:01:00", 12) << 30ull << false;
    QTest::newRow("arabic-indic digit") << QByteArray("\xd9\xa1") << 30ull << false;
    QTest::newRow("digit with combining mark") << QByteArray("5\xcc\x81") << 30ull << false;
    QTest::newRow("fullwidth digit") << QByteArray("\xef\xbc\x95") << 30ull << false;
    // Past 2^31 - 1 the digits are refused, whatever their number and however they would wrap.
    QTest::newRow("2147483648") << QByteArray("2147483648") << 30ull << false;
    QTest::newRow("2^32 plus 5 does not wrap to 5") << QByteArray("4294967301") << 30ull << false;
    QTest::newRow("2^64 plus 5 does not wrap to 5")
        << QByteArray("18446744073709551621") << 30ull << false;
    QTest::newRow("thousand digits") << QByteArray(1000, '9') << 30ull << false;
}

void TimecodeParsing::timecodeTextRefused()
{
    QFETCH(QByteArray, text);
    QFETCH(quint64, rate);
    QFETCH(bool, dropFrame);

    QCOMPARE(timecode::framesFromTimecodeText(view(text), Counting{rate, dropFrame}), std::nullopt);
}

void TimecodeParsing::fieldsAreCutFromTheRight()
{
    using timecode::TimecodeFields;
    QCOMPARE(timecode::timecodeFields("1:2:3:4", 50), (TimecodeFields{0, 0, 12, 34}));
    QCOMPARE(timecode::timecodeFields("12345678", 96), (TimecodeFields{12, 34, 56, 78}));
    QCOMPARE(timecode::timecodeFields("123456789", 120), std::nullopt); // frames 789
    QCOMPARE(timecode::timecodeFields("123456119", 120), (TimecodeFields{12, 34, 56, 119}));
    // A ten-digit numeral at 120 keeps its first nine characters.
    QCOMPARE(timecode::timecodeFields("1234561190", 120), (TimecodeFields{12, 34, 56, 119}));
}

void TimecodeParsing::frameCountAccepted_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint64>("value");

    QTest::newRow("zero") << QByteArray("0") << 0ull;
    QTest::newRow("plus sign") << QByteArray("+7") << 7ull;
    QTest::newRow("minus zero") << QByteArray("-0") << 0ull;
    QTest::newRow("minus double zero") << QByteArray("-00") << 0ull;
    QTest::newRow("leading zeros") << QByteArray("007") << 7ull;
    QTest::newRow("2^64 - 1") << QByteArray("18446744073709551615") << 18446744073709551615ull;
    QTest::newRow("2^64 - 1 behind zeros")
        << QByteArray("00018446744073709551615") << 18446744073709551615ull;
}

void TimecodeParsing::frameCountAccepted()
{
    QFETCH(QByteArray, text);
    QFETCH(quint64, value);

    QCOMPARE(timecode::frameCountFromText(view(text)), std::optional<std::uint64_t>(value));
}

void TimecodeParsing::frameCountRefused_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("minus one") << QByteArray("-1");
    QTest::newRow("minus then zero then one") << QByteArray("-01");
    QTest::newRow("plus alone") << QByteArray("+");
    QTest::newRow("minus alone") << QByteArray("-");
    QTest::newRow("two signs") << QByteArray("+-0");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("leading blank") << QByteArray(" 7");
    QTest::newRow("trailing blank") << QByteArray("7 ");
    QTest::newRow("grouping comma") << QByteArray("1,000");
    QTest::newRow("exponent") << QByteArray("1e3");
    QTest::newRow("hexadecimal") << QByteArray("0x10");
    QTest::newRow("timecode") << QByteArray("00:00:01:00");
    QTest::newRow("2^64") << QByteArray("18446744073709551616");
    QTest::newRow("NUL after digits") << QByteArray("7\0", 2);
    QTest::newRow("arabic-indic digit") << QByteArray("\xd9\xa1");
}

void TimecodeParsing::frameCountRefused()
{
    QFETCH(QByteArray, text);

    QCOMPARE(timecode::frameCountFromText(view(text)), std::nullopt);
}

QTEST_GUILESS_MAIN(TimecodeParsing)
#include "tst_parsing.moc"
