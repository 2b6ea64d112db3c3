// Every frame of every format is written and read back; the tables hold what that cannot show:
// labels at the edges of minutes and days, loose and refused texts, the day wrap of the
// arithmetic, and the titles and pairs that name no format.
#include "timecode/timecode.h"

#include <QtTest>

#include <string>
#include <tuple>

using namespace timecode;
using namespace std::literals;
using Frames = std::optional<std::uint64_t>; // nothing: the text is refused
using Op = decltype(&Timecode::addFrameText);

static Timecode timecodeOf(std::string_view title)
{
    return createTimecode(formatForTitle(title).rateText, formatForTitle(title).dropFrame).value();
}

class TimecodeTest : public QObject
{
    Q_OBJECT

private slots:
    void everyFormat()
    {
        const std::pair<std::string_view, std::uint64_t> framesPerDay[] = {
            {"16", 1382400},    {"18", 1555200},      {"24", 2073600},      {"25", 2160000},
            {"30 DF", 2589408}, {"30 NDF", 2592000},  {"48", 4147200},      {"50", 4320000},
            {"60 DF", 5178816}, {"60 NDF", 5184000},  {"72", 6220800},      {"96", 8294400},
            {"100", 8640000},   {"120 DF", 10357632}, {"120 NDF", 10368000}};
        for (const auto &[title, day] : framesPerDay) {
            QCOMPARE(formatForTitle(title).title, title);
            const Timecode made = timecodeOf(title);
            QCOMPARE(made.framesPerDay(), day);
            QCOMPARE(made.frameNumber, 0u);
            for (std::uint64_t frame = 0; frame < day; ++frame) {
                if (made.framesFromTimecodeText(timecodeText(frame, made.counting())) != frame ||
                    frameCountFromText(std::to_string(frame)) != frame) {
                    QFAIL((std::string(title) + " " + std::to_string(frame)).data());
                }
            }
        }
        for (const std::string_view title : {"30", "24 NDF", "30 df", " 30 DF"}) {
            QVERIFY2(formatForTitle(title).rateText.empty(), title.data());
        }
        for (const auto &[rateText, dropFrame] : {std::pair{"24"sv, true}, {"30 "sv, false}}) {
            QVERIFY2(!createTimecode(rateText, dropFrame), rateText.data());
        }
    }

    void texts()
    {
        const std::tuple<std::string_view, std::uint64_t, std::string_view> written[] = {
            {"30 NDF", 1800, "00:01:00:00"},       {"30 DF", 1800, "00:01:00;02"},
            {"30 DF", 17982, "00:10:00;00"},       {"30 DF", 2589407, "23:59:59;29"},
            {"30 DF", 2589408, "00:00:00;00"},     {"60 DF", 3600, "00:01:00;04"},
            {"120 DF", 7200, "00:01:00;008"},      {"120 DF", 10357631, "23:59:59;119"},
            {"120 NDF", 10367999, "23:59:59:119"}, {"unknown", 0, ""}};
        for (const auto &[title, frame, text] : written) {
            QCOMPARE(timecodeText(frame, formatForTitle(title).counting()), text);
        }
        const std::tuple<std::string_view, std::string_view, Frames> read[] = {
            {"30 NDF", "100000000", 1080000},      {"30 NDF", "5", 5},
            {"120 NDF", "1234561190", 5435639},    {"30 NDF", "1:00", 30},
            {"60 NDF", "2147483647", 4708116},     {"50", "1:2:3:4", 634},
            {"30 DF", "00:01:00;00", 1800},        {"120 DF", "00:01:00;007", 7200},
            {"30 NDF", "00:00:00:30", {}},         {"30 NDF", "1:2:3:4", {}},
            {"30 NDF", "24:00:00:00", {}},         {"30 DF", ";;::", {}},
            {"30 NDF", "00:60:00:00", {}},         {"30 NDF", "12:3a", {}},
            {"30 NDF", "00:00:60:00", {}},         {"30 NDF", "2147483648", {}},
            {"30 NDF", "18446744073709551621", {}}};
        for (const auto &[title, text, frames] : read) {
            QVERIFY2(timecodeOf(title).framesFromTimecodeText(text) == frames, text.data());
        }
    }

    // Nothing as the result: the operand is unreadable, and even an unreduced frame number stays.
    void dayWrap()
    {
        const Op add = &Timecode::addFrameText, sub = &Timecode::subtractFrameText,
                 addT = &Timecode::addTimecodeText, subT = &Timecode::subtractTimecodeText;
        const std::tuple<std::string_view, quint64, Op, std::string_view, Frames> rows[] = {
            {"30 DF", 0, add, "2589409", 1},      {"25", 0, add, "18446744073709551615", 111615},
            {"25", 0, sub, "1", 2159999},         {"30 DF", ~0ull, sub, "18446744073709551615", 0},
            {"30 DF", ~0ull, add, "+5", 2237924}, {"25", 7, sub, "-00", 7},
            {"30 DF", 0, subT, "1", 2589407},     {"30 DF", 2589407, addT, "00:00:00;01", 0},
            {"25", 2600000, add, "-01", {}},      {"25", 2600000, sub, "18446744073709551616", {}},
            {"25", 2600000, sub, "+", {}},        {"25", 2600000, add, "", {}},
            {"25", 2600000, add, "7 ", {}},       {"25", 2600000, subT, "00:00:00:25", {}}};
        for (const auto &[title, start, op, operand, result] : rows) {
            Timecode accumulator = timecodeOf(title);
            accumulator.frameNumber = start;
            QCOMPARE((accumulator.*op)(operand), result.has_value());
            QCOMPARE(accumulator.frameNumber, result.value_or(start));
        }
    }
};

QTEST_GUILESS_MAIN(TimecodeTest)
#include "tst_timecode.moc"
