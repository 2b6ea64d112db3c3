// Every frame of the day, in every format, is written and read back to itself. About 75 million
// frames; writing and reading are plain integer work, so this takes seconds.
#include "timecode/timecode.h"

#include <QtTest>

class TimecodeRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void everyFrameOfTheDay_data();
    void everyFrameOfTheDay();
};

void TimecodeRoundTrip::everyFrameOfTheDay_data()
{
    QTest::addColumn<QString>("title");
    for (const timecode::Format &format : timecode::formatTable) {
        const QString title =
            QString::fromUtf8(format.title.data(), qsizetype(format.title.size()));
        QTest::newRow(qPrintable(title)) << title;
    }
}

void TimecodeRoundTrip::everyFrameOfTheDay()
{
    QFETCH(QString, title);
    const std::string titleText = title.toStdString();
    const timecode::Format format = timecode::formatForTitle(titleText);
    const auto created = timecode::createTimecode(format.rateText, format.dropFrame);
    QVERIFY(created.has_value());
    const timecode::Counting counting = created->counting();
    const std::size_t width = counting.frameRate == 120 ? 12 : 11;

    std::uint64_t previousSecondLabel = 0;
    for (std::uint64_t frame = 0; frame < counting.framesPerDay(); ++frame) {
        const std::string text = timecode::timecodeText(frame, counting);
        // Report only the first failure of a format; a broken writer would flood the log.
        if (text.size() != width || text[2] != ':' || text[5] != ':' ||
            text[8] != counting.frameSeparator()) {
            QFAIL(qPrintable(QStringLiteral("frame %1 written as '%2'")
                                 .arg(frame)
                                 .arg(QString::fromStdString(text))));
        }
        const std::optional<std::uint64_t> read = timecode::framesFromTimecodeText(text, counting);
        if (read != frame) {
            QFAIL(qPrintable(QStringLiteral("frame %1 written as '%2' reads back as %3")
                                 .arg(frame)
                                 .arg(QString::fromStdString(text))
                                 .arg(read ? QString::number(*read) : QStringLiteral("nothing"))));
        }
        // Labels never go backwards within the day: HH:MM:SS as one number only grows.
        const auto twoDigits = [&text](std::size_t at) {
            return std::uint64_t(text[at] - '0') * 10 + std::uint64_t(text[at + 1] - '0');
        };
        const std::uint64_t secondLabel = twoDigits(0) * 3600 + twoDigits(3) * 60 + twoDigits(6);
        if (secondLabel < previousSecondLabel) {
            QFAIL(qPrintable(QStringLiteral("frame %1 written as '%2' goes back in time")
                                 .arg(frame)
                                 .arg(QString::fromStdString(text))));
        }
        previousSecondLabel = secondLabel;
    }
    QCOMPARE(timecode::timecodeText(counting.framesPerDay() - 1, counting).substr(0, 8),
             std::string("23:59:59"));
}

QTEST_GUILESS_MAIN(TimecodeRoundTrip)
#include "tst_roundtrip.moc"
