// Creating a Timecode, its day length, in-place arithmetic and the format table.
#include "timecode/timecode.h"

#include <QtTest>

#include <type_traits>

// The accumulator is a small value: copied freely, never throwing.
static_assert(std::is_trivially_copyable_v<timecode::Timecode>);
static_assert(std::is_nothrow_copy_constructible_v<timecode::Timecode>);
static_assert(sizeof(timecode::Timecode) <= 24);

class TimecodeArithmetic : public QObject
{
    Q_OBJECT

private slots:
    void createAccepted_data();
    void createAccepted();
    void createRefused_data();
    void createRefused();
    void framesPerDay_data();
    void framesPerDay();
    void operations_data();
    void operations();
    void unreadableOperandChangesNothing_data();
    void unreadableOperandChangesNothing();
    void formatTitles_data();
    void formatTitles();
    void everyFormatTitleCreatesATimecode();
};

void TimecodeArithmetic::createAccepted_data()
{
    QTest::addColumn<QString>("rateText");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<quint64>("rate");

    for (const char *text :
         {"16", "18", "24", "25", "30", "48", "50", "60", "72", "96", "100", "120"}) {
        QTest::addRow("%s", text) << QString(text) << false << QString(text).toULongLong();
    }
    QTest::newRow("30 DF") << "30" << true << 30ull;
    QTest::newRow("60 DF") << "60" << true << 60ull;
    QTest::newRow("120 DF") << "120" << true << 120ull;
}

void TimecodeArithmetic::createAccepted()
{
    QFETCH(QString, rateText);
    QFETCH(bool, dropFrame);
    QFETCH(quint64, rate);

    const auto created = timecode::createTimecode(rateText.toStdString(), dropFrame);
    QVERIFY(created.has_value());
    QCOMPARE(created->frameRate(), rate);
    QCOMPARE(created->dropFrame(), dropFrame);
    QCOMPARE(created->frameNumber, 0ull);
}

void TimecodeArithmetic::createRefused_data()
{
    QTest::addColumn<QString>("rateText");
    QTest::addColumn<bool>("dropFrame");

    QTest::newRow("24 with drop frame") << "24" << true;
    QTest::newRow("25 with drop frame") << "25" << true;
    QTest::newRow("100 with drop frame") << "100" << true;
    QTest::newRow("29.97") << "29.97" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("trailing blank") << "30 " << false;
    QTest::newRow("leading zero") << "030" << false;
    QTest::newRow("sign") << "+30" << false;
    QTest::newRow("format title") << "30 DF" << true;
    QTest::newRow("rate not offered") << "23" << false;
}

void TimecodeArithmetic::createRefused()
{
    QFETCH(QString, rateText);
    QFETCH(bool, dropFrame);

    QCOMPARE(timecode::createTimecode(rateText.toStdString(), dropFrame), std::nullopt);
}

void TimecodeArithmetic::framesPerDay_data()
{
    QTest::addColumn<QString>("rateText");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<quint64>("framesPerDay");
    QTest::addColumn<quint64>("nominalFramesPerDay");

    QTest::newRow("30 DF") << "30" << true << 2589408ull << 2592000ull;
    QTest::newRow("30 NDF") << "30" << false << 2592000ull << 2592000ull;
    QTest::newRow("60 DF") << "60" << true << 5178816ull << 5184000ull;
    QTest::newRow("120 DF") << "120" << true << 10357632ull << 10368000ull;
    QTest::newRow("25") << "25" << false << 2160000ull << 2160000ull;
}

void TimecodeArithmetic::framesPerDay()
{
    QFETCH(QString, rateText);
    QFETCH(bool, dropFrame);
    QFETCH(quint64, framesPerDay);
    QFETCH(quint64, nominalFramesPerDay);

    const auto created = timecode::createTimecode(rateText.toStdString(), dropFrame);
    QVERIFY(created.has_value());
    QCOMPARE(created->framesPerDay(), framesPerDay);
    QCOMPARE(created->nominalFramesPerDay(), nominalFramesPerDay);
}

enum class Operation
{
    addFrames,
    subtractFrames,
    addTimecode,
    subtractTimecode
};

void TimecodeArithmetic::operations_data()
{
    QTest::addColumn<QString>("rateText");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<quint64>("start");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QByteArray>("operand");
    QTest::addColumn<quint64>("result");

    const int addFrames = int(Operation::addFrames);
    const int subtractFrames = int(Operation::subtractFrames);
    const int addTimecode = int(Operation::addTimecode);
    const int subtractTimecode = int(Operation::subtractTimecode);

    QTest::newRow("30DF adding one day leaves 0")
        << "30" << true << 0ull << addFrames << QByteArray("2589408") << 0ull;
    QTest::newRow("30DF adding a day and a frame")
        << "30" << true << 0ull << addFrames << QByteArray("2589409") << 1ull;
    QTest::newRow("25 subtracting below midnight")
        << "25" << false << 0ull << subtractFrames << QByteArray("1") << 2159999ull;
    QTest::newRow("30DF subtracting a timecode below midnight")
        << "30" << true << 0ull << subtractTimecode << QByteArray("00:00:00;01") << 2589407ull;
    QTest::newRow("25 adding 2^64-1 adds it modulo a day")
        << "25" << false << 0ull << addFrames << QByteArray("18446744073709551615") << 111615ull;
    QTest::newRow("25 subtracting 2^64-1") << "25" << false << 111615ull << subtractFrames
                                           << QByteArray("18446744073709551615") << 0ull;
    QTest::newRow("30DF assigned past a day is reduced")
        << "30" << true << 2590000ull << addFrames << QByteArray("0") << 592ull;
    QTest::newRow("30DF huge assigned value is reduced")
        << "30" << true << 18446744073709551615ull << addFrames << QByteArray("0") << 2237919ull;
    QTest::newRow("plus sign adds")
        << "25" << false << 0ull << addFrames << QByteArray("+5") << 5ull;
    QTest::newRow("minus zero adds nothing")
        << "25" << false << 7ull << addFrames << QByteArray("-0") << 7ull;
    QTest::newRow("30 adding a timecode")
        << "30" << false << 108000ull << addTimecode << QByteArray("00:00:00:15") << 108015ull;
    QTest::newRow("30DF adding across a minute")
        << "30" << true << 1799ull << addTimecode << QByteArray("00:00:00;01") << 1800ull;
    QTest::newRow("120DF subtracting a minute")
        << "120" << true << 7200ull << subtractTimecode << QByteArray("00:00:59;119") << 1ull;
}

void TimecodeArithmetic::operations()
{
    QFETCH(QString, rateText);
    QFETCH(bool, dropFrame);
    QFETCH(quint64, start);
    QFETCH(int, operation);
    QFETCH(QByteArray, operand);
    QFETCH(quint64, result);

    auto accumulator = timecode::createTimecode(rateText.toStdString(), dropFrame);
    QVERIFY(accumulator.has_value());
    accumulator->frameNumber = start;
    const std::string_view text(operand.constData(), operand.size());
    bool ok = false;
    switch (Operation(operation)) {
    case Operation::addFrames:
        ok = accumulator->addFrameText(text);
        break;
    case Operation::subtractFrames:
        ok = accumulator->subtractFrameText(text);
        break;
    case Operation::addTimecode:
        ok = accumulator->addTimecodeText(text);
        break;
    case Operation::subtractTimecode:
        ok = accumulator->subtractTimecodeText(text);
        break;
    }
    QVERIFY(ok);
    QCOMPARE(accumulator->frameNumber, result);
}

void TimecodeArithmetic::unreadableOperandChangesNothing_data()
{
    QTest::addColumn<QByteArray>("operand");

    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("minus one") << QByteArray("-1");
    QTest::newRow("letters") << QByteArray("ERROR");
    QTest::newRow("2^64") << QByteArray("18446744073709551616");
    QTest::newRow("field out of range") << QByteArray("00:00:00:30");
}

void TimecodeArithmetic::unreadableOperandChangesNothing()
{
    QFETCH(QByteArray, operand);
    const std::string_view text(operand.constData(), operand.size());

    auto accumulator = timecode::createTimecode("30", false);
    QVERIFY(accumulator.has_value());
    accumulator->frameNumber = 2600000; // unreduced on purpose: a failure must not reduce it
    const bool timecodeReadable =
        timecode::framesFromTimecodeText(text, accumulator->counting()).has_value();
    const bool framesReadable = timecode::frameCountFromText(text).has_value();
    if (!framesReadable) {
        QVERIFY(!accumulator->addFrameText(text));
        QVERIFY(!accumulator->subtractFrameText(text));
    }
    if (!timecodeReadable) {
        QVERIFY(!accumulator->addTimecodeText(text));
        QVERIFY(!accumulator->subtractTimecodeText(text));
    }
    QVERIFY(!timecodeReadable || !framesReadable);
    QCOMPARE(accumulator->frameNumber, 2600000ull);
}

void TimecodeArithmetic::formatTitles_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("rateText");
    QTest::addColumn<bool>("dropFrame");

    QTest::newRow("30 DF") << "30 DF"
                           << "30" << true;
    QTest::newRow("30 NDF") << "30 NDF"
                            << "30" << false;
    QTest::newRow("60 DF") << "60 DF"
                           << "60" << true;
    QTest::newRow("120 DF") << "120 DF"
                            << "120" << true;
    QTest::newRow("120 NDF") << "120 NDF"
                             << "120" << false;
    QTest::newRow("100") << "100"
                         << "100" << false;
    QTest::newRow("16") << "16"
                        << "16" << false;
    // Rates that allow drop frame are titles only with DF or NDF, the others only bare.
    QTest::newRow("bare 30 is no title") << "30"
                                         << "" << false;
    QTest::newRow("bare 60 is no title") << "60"
                                         << "" << false;
    QTest::newRow("bare 120 is no title") << "120"
                                          << "" << false;
    QTest::newRow("24 NDF is no title") << "24 NDF"
                                        << "" << false;
    QTest::newRow("25 DF is no title") << "25 DF"
                                       << "" << false;
    QTest::newRow("29.97") << "29.97"
                           << "" << false;
    QTest::newRow("lower case df") << "30 df"
                                   << "" << false;
    QTest::newRow("leading blank") << " 30 DF"
                                   << "" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
}

void TimecodeArithmetic::formatTitles()
{
    QFETCH(QString, title);
    QFETCH(QString, rateText);
    QFETCH(bool, dropFrame);

    const std::string titleText = title.toStdString();
    const timecode::Format format = timecode::formatForTitle(titleText);
    QCOMPARE(QString::fromUtf8(format.rateText.data(), qsizetype(format.rateText.size())),
             rateText);
    QCOMPARE(format.dropFrame, dropFrame);
}

void TimecodeArithmetic::everyFormatTitleCreatesATimecode()
{
    QCOMPARE(timecode::formatTable.size(), 15u);
    for (const timecode::Format &format : timecode::formatTable) {
        QVERIFY2(timecode::createTimecode(format.rateText, format.dropFrame).has_value(),
                 format.title.data());
    }
    QCOMPARE(timecode::createTimecode(timecode::formatForTitle("30").rateText, false),
             std::nullopt);
}

QTEST_GUILESS_MAIN(TimecodeArithmetic)
#include "tst_arithmetic.moc"
