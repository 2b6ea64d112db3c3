// Writing frame numbers as timecode text.
#include "timecode/timecode.h"

#include <QtTest>

using timecode::Counting;

class TimecodeFormatting : public QObject
{
    Q_OBJECT

private slots:
    void timecodeText_data();
    void timecodeText();
};

void TimecodeFormatting::timecodeText_data()
{
    QTest::addColumn<quint64>("rate");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<quint64>("frame");
    QTest::addColumn<QString>("text");

    // 30 drop frame: the first minute of each ten counts from 00, the others from 02.
    QTest::newRow("30DF start of day") << 30ull << true << 0ull << "00:00:00;00";
    QTest::newRow("30DF end of minute 0") << 30ull << true << 1799ull << "00:00:59;29";
    QTest::newRow("30DF first minute rollover") << 30ull << true << 1800ull << "00:01:00;02";
    QTest::newRow("30DF after rollover") << 30ull << true << 1801ull << "00:01:00;03";
    QTest::newRow("30DF end of minute 1") << 30ull << true << 3597ull << "00:01:59;29";
    QTest::newRow("30DF second minute rollover") << 30ull << true << 3598ull << "00:02:00;02";
    QTest::newRow("30DF end of minute 9") << 30ull << true << 17981ull << "00:09:59;29";
    QTest::newRow("30DF tenth minute keeps 00") << 30ull << true << 17982ull << "00:10:00;00";
    QTest::newRow("30DF one hour") << 30ull << true << 107892ull << "01:00:00;00";
    QTest::newRow("30DF last frame of day") << 30ull << true << 2589407ull << "23:59:59;29";
    QTest::newRow("30DF one day wraps to zero") << 30ull << true << 2589408ull << "00:00:00;00";
    QTest::newRow("30DF past a day") << 30ull << true << 2590000ull << "00:00:19;22";
    QTest::newRow("30DF 2^64-1 is written within the day")
        << 30ull << true << 18446744073709551615ull << "20:44:31;29";

    QTest::newRow("30 end of minute 0") << 30ull << false << 1799ull << "00:00:59:29";
    QTest::newRow("30 minute 1") << 30ull << false << 1800ull << "00:01:00:00";

    QTest::newRow("60DF end of minute 0") << 60ull << true << 3599ull << "00:00:59;59";
    QTest::newRow("60DF first minute rollover") << 60ull << true << 3600ull << "00:01:00;04";
    QTest::newRow("60DF last frame of day") << 60ull << true << 5178815ull << "23:59:59;59";

    QTest::newRow("120DF end of minute 0") << 120ull << true << 7199ull << "00:00:59;119";
    QTest::newRow("120DF first minute rollover") << 120ull << true << 7200ull << "00:01:00;008";
    QTest::newRow("120DF three digit frames") << 120ull << true << 7208ull << "00:01:00;016";
    QTest::newRow("120DF last frame of day") << 120ull << true << 10357631ull << "23:59:59;119";
    QTest::newRow("120 last frame of day") << 120ull << false << 10367999ull << "23:59:59:119";

    QTest::newRow("25 last frame of day") << 25ull << false << 2159999ull << "23:59:59:24";
    QTest::newRow("25 many days") << 25ull << false << 123456789ull << "03:44:31:14";
    QTest::newRow("100 two digit frames") << 100ull << false << 99ull << "00:00:00:99";
    QTest::newRow("16 one hour") << 16ull << false << 57600ull << "01:00:00:00";
}

void TimecodeFormatting::timecodeText()
{
    QFETCH(quint64, rate);
    QFETCH(bool, dropFrame);
    QFETCH(quint64, frame);
    QFETCH(QString, text);

    QCOMPARE(QString::fromStdString(timecode::timecodeText(frame, Counting{rate, dropFrame})),
             text);
}

QTEST_GUILESS_MAIN(TimecodeFormatting)
#include "tst_formatting.moc"
