// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Clock time read as frames and frame counts moved between rates, worked by hand with exact
// fractions; the rates the menus list; and real time reading back as the frame it came from.
#include "timecode/clock.h"
#include "timecode/rates.h"
#include "timecode/realtime.h"

#include <QtTest>

#include <tuple>

using namespace timecode;

constexpr quint64 refused = ~0ull;
using Reading = std::tuple<const char *, const char *, quint64>; // text, rate, frames
// frames, from, to, the frames lasting as long, the speed of the frames played at the second rate
using Conversion = std::tuple<quint64, const char *, const char *, quint64, const char *>;
Q_DECLARE_METATYPE(Reading)
Q_DECLARE_METATYPE(Conversion)

class ClockTest : public QObject
{
    Q_OBJECT

private slots:
    void reading_data()
    {
        QTest::addColumn<Reading>("row");
        const Reading rows[] = {{"00:02:31.250", "23.976", 3626}, // 151.25 x 24000/1001: 3626.37
                                {"90.5", "23.976", 2170},         // 2169.83, 00:01:30:10
                                {"01:00:03.600", "29.97", 108000},
                                {"1:00:00.000", "29.97 DF", 107892},
                                {"0.020", "25", 1},
                                {"0.050", "30", 2},
                                {"1,16", "25", 29},
                                {"59:59,5", "30", 107985},
                                {"24:00:00.000", "29.97 DF", 2589411}, // a day and 3 frames
                                // 2^72 nanoseconds, past 64 bits before the rate is applied.
                                {"999999999:59:59.999999999", "119.88", 431568431568432}};
        for (const Reading &row : rows) {
            QTest::addRow("%s at %s", std::get<0>(row), std::get<1>(row)) << row;
        }
        for (const char *text :
             {"00:60:00.000", "1:5.0", "-1.0", "1.5e3", "12:00", ".5", "1.", "0.1234567890",
              "1234567890.0", "1::00.0", "1:000.0", "1:00:00:00.0"}) {
            QTest::addRow("%s", text) << Reading{text, "25", refused};
        }
    }

    void reading()
    {
        QFETCH(Reading, row);
        const auto &[text, rateText, frames] = row;
        const Rate rate = rateForText(rateText).value();
        QCOMPARE(framesFromClockText(text, rate.counting(), rate.pulledDown).value_or(refused),
                 frames);
    }

    void conversion_data()
    {
        QTest::addColumn<Conversion>("row");
        const Conversion rows[] = {{86400, "23.976", "25", 90090, "104.271"}, // 01:00:03:15
                                   {90000, "25", "23.976", 86314, "95.904"},  // 00:59:56:10
                                   {107892, "29.97 DF", "25", 90000, "83.417"},
                                   {90000, "25", "29.97 DF", 107892, "119.880"},
                                   // Also the conform of 01:00:00:00: 00:57:36:00 at 25.
                                   {86400, "24", "25", 90000, "104.167"},
                                   {1, "50", "25", 1, "50.000"}, // half a frame up
                                   // Exact at the top of the range; the largest count.
                                   {~0ull, "119.88", "24", 3693038163556652233, "20.020"},
                                   {~0ull, "16", "120", ~0ull, "750.000"}};
        for (const Conversion &row : rows) {
            QTest::addRow("%llu at %s to %s", std::get<0>(row), std::get<1>(row), std::get<2>(row))
                << row;
        }
    }

    void conversion()
    {
        QFETCH(Conversion, row);
        const auto &[frames, fromText, toText, result, speed] = row;
        const Rate from = rateForText(fromText).value(), to = rateForText(toText).value();
        QCOMPARE(framesForSameDuration(frames, from.counting(), from.pulledDown, to.counting(),
                                       to.pulledDown),
                 result);
        QCOMPARE(conformSpeedText(from.counting(), from.pulledDown, to.counting(), to.pulledDown),
                 speed);
    }

    void rates()
    {
        // Each rate is its format's at the fractional choice it names, written as the real-time
        // figures write it; the choice is offered where both exist.
        for (const Rate &rate : rateTable) {
            const Counting counting = rate.counting();
            QCOMPARE(isPulledDown(counting, rate.pulledDown), rate.pulledDown);
            QCOMPARE(std::string(rate.text), realTimeRateText(counting, rate.pulledDown).value() +
                                                 (counting.dropFrame ? " DF" : ""));
            QCOMPARE(fractionalRateChoosable(counting),
                     std::ranges::count(rateTable, rate.formatTitle, &Rate::formatTitle) == 2);
        }
        // An unknown format's counting runs at no rate, and nothing is divided by it.
        const Counting none{0, false}, at25{25, false};
        QVERIFY(!framesFromClockText("1.0", none, false) &&
                framesForSameDuration(5, none, false, at25, false) == 0 &&
                conformSpeedText(none, false, at25, false).empty());
    }

    void roundTrip()
    {
        // Real time copied from the display pastes back as the frame it was worked from: sampled
        // here through two days at every rate; bench_clock sweeps every frame of the day.
        for (const Rate &rate : rateTable) {
            const Counting counting = rate.counting();
            for (std::uint64_t frame = 0; frame < counting.framesPerDay() * 2; frame += 997) {
                QVERIFY2(framesFromClockText(realTimeText(frame, counting, rate.pulledDown),
                                             counting, rate.pulledDown) == frame,
                         rate.text.data());
            }
        }
    }

    void entry()
    {
        QCOMPARE(clockEntryText("1500"), "00:00:01.500");
        QCOMPARE(clockEntryText("00012345678901"), "12:34:56.789"); // the first nine digits
        QVERIFY(clockEntryText("").empty() && clockEntryText("1.5").empty());
    }
};

QTEST_GUILESS_MAIN(ClockTest)
#include "tst_clock.moc"
