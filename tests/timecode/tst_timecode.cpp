// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Every frame of every format is written and read back; the tables hold what that cannot show:
// labels at the edges of minutes and days, loose and refused texts, the day wrap of the
// arithmetic, and the titles and pairs that name no format.
#include "timecode/timecode.h"

#include <QtTest>

#include <string>
#include <tuple>

using namespace timecode;
using Frames = std::optional<std::uint64_t>; // nothing: the text is refused
using Op = decltype(&Timecode::addFrameText);

const auto timecodeOf = [](Format f) { return createTimecode(f.rateText, f.dropFrame).value(); };

class TimecodeTest : public QObject
{
    Q_OBJECT

private slots:
    void texts()
    {
        for (std::size_t i = 0; i < formatTable.size(); ++i) {
            const Timecode made = timecodeOf(formatTable[i]);
            QCOMPARE(made.frameNumber, 0u);
            // How many frames a day holds, the real-time test pins through a day's duration.
            for (std::uint64_t frame = 0; frame < made.framesPerDay(); ++frame) {
                if (made.framesFromTimecodeText(timecodeText(frame, made.counting())) != frame) {
                    QFAIL((std::string(formatTable[i].title) + " " + std::to_string(frame)).data());
                }
            }
        }
        QVERIFY(!createTimecode("24", true) && !createTimecode("30 ", false));
        // A title that is no title of the format list counts no frames and writes nothing.
        const std::tuple<std::string_view, std::uint64_t, std::string_view> written[] = {
            {"30 NDF", 1800, "00:01:00:00"},      {"30 df", 0, ""},
            {"30 DF", 1800, "00:01:00;02"},       {"30 DF", 17982, "00:10:00;00"},
            {"30 DF", 2589407, "23:59:59;29"},    {"30 DF", 2589408, "00:00:00;00"},
            {"60 DF", 3600, "00:01:00;04"},       {"120 DF", 7200, "00:01:00;008"},
            {"120 NDF", 10367999, "23:59:59:119"}};
        for (const auto &[title, frame, text] : written) {
            QCOMPARE(timecodeText(frame, formatForTitle(title).counting()), text);
        }
        const std::tuple<std::string_view, std::string_view, Frames> read[] = {
            {"120 NDF", "1234561190", 5435639}, {"30 NDF", "5", 5},
            {"60 NDF", "2147483647", 4708116},  {"50", "1:2:3:4", 634},
            {"30 DF", "00:01:00;00", 1800},     {"120 DF", "00:01:00;007", 7200},
            {"30 NDF", "00:00:00:30", {}},      {"30 NDF", "24:00:00:00", {}},
            {"30 NDF", "00:60:00:00", {}},      {"30 DF", ";;::", {}},
            {"30 NDF", "00:00:60:00", {}},      {"30 NDF", "12:3a", {}},
            {"30 NDF", "2147483648", {}},       {"30 NDF", "18446744073709551621", {}}};
        for (const auto &[title, text, frames] : read) {
            QVERIFY2(timecodeOf(formatForTitle(title)).framesFromTimecodeText(text) == frames,
                     text.data());
        }
        // The day wrap of the arithmetic, and the midnights passed, either way. Nothing: the
        // operand is unreadable, and even an unreduced frame number stays.
        const Op add = &Timecode::addFrameText, sub = &Timecode::subtractFrameText,
                 addT = &Timecode::addTimecodeText, subT = &Timecode::subtractTimecodeText;
        const std::tuple<std::string_view, quint64, Op, std::string_view, quint64, Frames> rows[] =
            {{"30 DF", ~0ull, add, "+5", 2237924, 0},
             {"25", 0, add, "18446744073709551615", 111615, 8540159293384},
             {"30 DF", 0, subT, "1", 2589407, 1},
             {"30 DF", ~0ull, sub, "18446744073709551615", 0, 7123923334487},
             {"30 NDF", 0, add, "7776010", 10, 3},
             {"30 NDF", 10, sub, "2592020", 2591990, 2},
             {"30 NDF", 10, sub, "2592010", 0, 1},
             {"30 DF", 2589407, addT, "00:00:00;01", 0, 1},
             {"25", 7, sub, "-00", 7, 0},
             {"25", 2600000, add, "7 ", 2600000, {}},
             {"25", 2600000, add, "-01", 2600000, {}},
             {"25", 2600000, sub, "18446744073709551616", 2600000, {}},
             {"25", 2600000, add, "", 2600000, {}}};
        for (const auto &[title, start, op, operand, result, days] : rows) {
            Timecode accumulator = timecodeOf(formatForTitle(title));
            accumulator.frameNumber = start;
            QCOMPARE((accumulator.*op)(operand), days);
            QCOMPARE(accumulator.frameNumber, result);
        }
    }

    void counts()
    {
        // In every format the last frame of the day times 2 passes midnight once, and a division
        // and the multiplication back, with what was left over, give the frame again.
        for (std::size_t i = 0; i < formatTable.size(); ++i) {
            Timecode doubled = timecodeOf(formatTable[i]), split = doubled;
            const std::uint64_t last = doubled.framesPerDay() - 1;
            doubled.frameNumber = split.frameNumber = last;
            QCOMPARE(doubled.multiplyBy(2), 1u);
            QCOMPARE(doubled.frameNumber, last - 1);
            const std::uint64_t over = split.divideBy(7).value();
            QCOMPARE(split.multiplyBy(7), 0u);
            QCOMPARE(split.frameNumber + over, last);
        }
        // What multiplying and dividing answer: the days passed, the frames left over; nothing
        // for a refused count, which leaves even an unreduced frame number as it was.
        constexpr quint64 most = ~0ull;
        constexpr bool x = true; // multiplies; !x divides
        const std::tuple<std::string_view, quint64, bool, quint64, Frames, quint64> rows[] = {
            {"30 NDF", 108000, x, 0, 0, 0},
            {"25", 90000, x, 2, 0, 180000},
            {"30 NDF", 108000, x, 24, 1, 0}, // on midnight: the next day
            {"30 DF", most, x, 1, 0, 2237919},
            {"120 NDF", 10367999, x, most, 18446742294509698826u, 6800385},
            {"30 NDF", 79202, !x, 4, 2, 19800},
            {"25", 2160005, !x, 2, 1, 2},
            {"30 NDF", 108000, !x, most, 108000, 0},
            {"30 DF", most, !x, 0, {}, most},
        };
        for (const auto &[title, start, times, count, answer, frame] : rows) {
            Timecode accumulator = timecodeOf(formatForTitle(title));
            accumulator.frameNumber = start;
            QCOMPARE(times ? Frames(accumulator.multiplyBy(count)) : accumulator.divideBy(count),
                     answer);
            QCOMPARE(accumulator.frameNumber, frame);
        }
        // A count is a plain whole number.
        QVERIFY(countFromText("007") == 7 && countFromText("18446744073709551615") == most);
        for (const std::string_view refused :
             {"18446744073709551616", "", "+7", "-0", " 7", "00:00:00:07"}) {
            QVERIFY2(!countFromText(refused), refused.data());
        }
    }
};

QTEST_GUILESS_MAIN(TimecodeTest)
#include "tst_timecode.moc"
