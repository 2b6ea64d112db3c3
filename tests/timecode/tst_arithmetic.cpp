// Creating a Timecode, its day length, in-place arithmetic and the format table.
#include "timecode/timecode.h"

#include <QtTest>

#include <type_traits>

// The accumulator is a small value: copied freely, never throwing.
static_assert(std::is_trivially_copyable_v<timecode::Timecode>);
static_assert(std::is_nothrow_copy_constructible_v<timecode::Timecode>);

namespace {

std::string_view view(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace

class TimecodeArithmetic : public QObject
{
    Q_OBJECT

private slots:
    // A rate of 0 marks a pair that createTimecode refuses.
    void create_data()
    {
        QTest::addColumn<QByteArray>("rateText");
        QTest::addColumn<bool>("dropFrame");
        QTest::addColumn<quint64>("rate");
        QTest::addColumn<quint64>("framesPerDay");
        for (const char *text : {"16", "18", "24", "25", "48", "50", "72", "96", "100"}) {
            const quint64 rate = QByteArray(text).toULongLong();
            QTest::addRow("%s", text) << QByteArray(text) << false << rate << rate * 86400;
            QTest::addRow("%s with drop frame", text) << QByteArray(text) << true << 0ull << 0ull;
        }
        QTest::newRow("30 NDF") << QByteArray("30") << false << 30ull << 2592000ull;
        QTest::newRow("30 DF") << QByteArray("30") << true << 30ull << 2589408ull;
        QTest::newRow("60 NDF") << QByteArray("60") << false << 60ull << 5184000ull;
        QTest::newRow("60 DF") << QByteArray("60") << true << 60ull << 5178816ull;
        QTest::newRow("120 NDF") << QByteArray("120") << false << 120ull << 10368000ull;
        QTest::newRow("120 DF") << QByteArray("120") << true << 120ull << 10357632ull;
        for (const char *text : {"29.97", "", "30 ", "030", "+30", "30 DF", "23"}) {
            QTest::addRow("'%s' refused", text) << QByteArray(text) << false << 0ull << 0ull;
        }
    }
    void create()
    {
        QFETCH(QByteArray, rateText);
        QFETCH(bool, dropFrame);
        QFETCH(quint64, rate);
        const auto created = timecode::createTimecode(view(rateText), dropFrame);
        QCOMPARE(created.has_value(), rate != 0);
        if (created) {
            QCOMPARE(created->frameRate(), rate);
            QCOMPARE(created->dropFrame(), dropFrame);
            QCOMPARE(created->frameNumber, 0ull);
            QFETCH(quint64, framesPerDay);
            QCOMPARE(quint64(created->framesPerDay()), framesPerDay);
            QCOMPARE(created->nominalFramesPerDay(), rate * 86400);
        }
    }

    void operations_data()
    {
        QTest::addColumn<QByteArray>("rateText");
        QTest::addColumn<bool>("dropFrame");
        QTest::addColumn<quint64>("start");
        QTest::addColumn<QByteArray>("operation"); // +f -f: frame text, +t -t: timecode text
        QTest::addColumn<QByteArray>("operand");
        QTest::addColumn<quint64>("result");
        const auto row = [](const char *name, const char *rate, bool drop, quint64 start,
                            const char *operation, const char *operand, quint64 result) {
            QTest::newRow(name) << QByteArray(rate) << drop << start << QByteArray(operation)
                                << QByteArray(operand) << result;
        };
        row("30DF adding one day leaves 0", "30", true, 0, "+f", "2589408", 0);
        row("30DF adding a day and a frame", "30", true, 0, "+f", "2589409", 1);
        row("25 subtracting below midnight", "25", false, 0, "-f", "1", 2159999);
        row("30DF timecode below midnight", "30", true, 0, "-t", "00:00:00;01", 2589407);
        row("25 adding 2^64-1 adds it modulo a day", "25", false, 0, "+f", "18446744073709551615",
            111615);
        row("25 subtracting 2^64-1", "25", false, 111615, "-f", "18446744073709551615", 0);
        row("30DF assigned past a day is reduced", "30", true, 2590000, "+f", "0", 592);
        row("30DF 2^64-1 assigned is reduced", "30", true, 18446744073709551615ull, "+f", "0",
            2237919);
        row("plus sign adds", "25", false, 0, "+f", "+5", 5);
        row("minus zero adds nothing", "25", false, 7, "+f", "-0", 7);
        row("30 adding a timecode", "30", false, 108000, "+t", "00:00:00:15", 108015);
        row("30DF adding across a minute", "30", true, 1799, "+t", "00:00:00;01", 1800);
        row("120DF subtracting a minute", "120", true, 7200, "-t", "00:00:59;119", 1);
    }
    void operations()
    {
        QFETCH(QByteArray, rateText);
        QFETCH(bool, dropFrame);
        QFETCH(QByteArray, operation);
        QFETCH(QByteArray, operand);
        auto accumulator = timecode::createTimecode(view(rateText), dropFrame);
        QVERIFY(accumulator);
        QFETCH(quint64, start);
        accumulator->frameNumber = start;
        const bool ok = operation == "+f"   ? accumulator->addFrameText(view(operand))
                        : operation == "-f" ? accumulator->subtractFrameText(view(operand))
                        : operation == "+t" ? accumulator->addTimecodeText(view(operand))
                                            : accumulator->subtractTimecodeText(view(operand));
        QVERIFY(ok);
        QFETCH(quint64, result);
        QCOMPARE(quint64(accumulator->frameNumber), result);
    }

    void unreadableOperandChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("operand");
        for (const char *text : {"", "-1", "ERROR", "18446744073709551616", "00:00:00:30", "1 "}) {
            QTest::addRow("'%s'", text) << QByteArray(text);
        }
    }
    void unreadableOperandChangesNothing()
    {
        QFETCH(QByteArray, operand);
        auto accumulator = timecode::createTimecode("30", false);
        accumulator->frameNumber = 2600000; // unreduced on purpose: a failure must not reduce it
        QVERIFY(!accumulator->addFrameText(view(operand)));
        QVERIFY(!accumulator->subtractFrameText(view(operand)));
        QVERIFY(!accumulator->addTimecodeText(view(operand)));
        QVERIFY(!accumulator->subtractTimecodeText(view(operand)));
        QCOMPARE(accumulator->frameNumber, 2600000ull);
    }

    void formatTitles_data()
    {
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QByteArray>("rateText");
        QTest::addColumn<bool>("dropFrame");
        QTest::newRow("30 DF") << QByteArray("30 DF") << QByteArray("30") << true;
        QTest::newRow("30 NDF") << QByteArray("30 NDF") << QByteArray("30") << false;
        QTest::newRow("60 DF") << QByteArray("60 DF") << QByteArray("60") << true;
        QTest::newRow("120 DF") << QByteArray("120 DF") << QByteArray("120") << true;
        QTest::newRow("120 NDF") << QByteArray("120 NDF") << QByteArray("120") << false;
        QTest::newRow("100") << QByteArray("100") << QByteArray("100") << false;
        // Rates that allow drop frame are titles only with DF or NDF, the others only bare.
        for (const char *title :
             {"30", "60", "120", "24 NDF", "25 DF", "29.97", "30 df", " 30 DF", ""}) {
            QTest::addRow("'%s' is no title", title) << QByteArray(title) << QByteArray() << false;
        }
    }
    void formatTitles()
    {
        QFETCH(QByteArray, title);
        const timecode::Format format = timecode::formatForTitle(view(title));
        QTEST(QByteArray(format.rateText.data(), qsizetype(format.rateText.size())), "rateText");
        QTEST(format.dropFrame, "dropFrame");
    }

    void everyFormatTitleCreatesATimecode()
    {
        for (const timecode::Format &format : timecode::formatTable) {
            QVERIFY2(timecode::createTimecode(format.rateText, format.dropFrame),
                     format.title.data());
        }
    }
};

QTEST_GUILESS_MAIN(TimecodeArithmetic)
#include "tst_arithmetic.moc"
