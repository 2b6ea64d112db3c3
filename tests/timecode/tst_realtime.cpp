// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// How long frames last on the clock: every format at the counts an editor reads most, both at the
// nominal rate and at 1000/1001 of it, and the roundings and sizes that integer arithmetic can
// get wrong.
#include "timecode/realtime.h"

#include <QtTest>

#include <string>
#include <tuple>

using namespace timecode;

class RealTimeTest : public QObject
{
    Q_OBJECT

private slots:
    void formats()
    {
        // Per format: one frame at the slower and the nominal rate (halves up: 62.5 ms at 16),
        // and the rates of the figures shown. That the figures of other counts, through two days,
        // read back as their frames, the clock test checks.
        const std::tuple<std::string_view, std::string_view, std::string_view> rows[] = {
            {"16", "00:00:00.063 00:00:00.063", "16"},
            {"18", "00:00:00.056 00:00:00.056", "18"},
            {"24", "00:00:00.042 00:00:00.042", "23.976 24"},
            {"25", "00:00:00.040 00:00:00.040", "25"},
            {"30 DF", "00:00:00.033 00:00:00.033", "29.97"},
            {"30 NDF", "00:00:00.033 00:00:00.033", "29.97 30"},
            {"48", "00:00:00.021 00:00:00.021", "47.952 48"},
            {"50", "00:00:00.020 00:00:00.020", "50"},
            {"60 DF", "00:00:00.017 00:00:00.017", "59.94"},
            {"60 NDF", "00:00:00.017 00:00:00.017", "59.94 60"},
            {"72", "00:00:00.014 00:00:00.014", "72"},
            {"96", "00:00:00.010 00:00:00.010", "95.904 96"},
            {"100", "00:00:00.010 00:00:00.010", "100"},
            {"120 DF", "00:00:00.008 00:00:00.008", "119.88"},
            {"120 NDF", "00:00:00.008 00:00:00.008", "119.88 120"},
        };
        QCOMPARE(std::size(rows), formatTable.size());
        for (const auto &[title, frame, rates] : rows) {
            const Counting counting = formatForTitle(title).counting();
            const std::uint64_t hour = counting.frameRate * 3600;
            QCOMPARE(realTimeText(1, counting, true) + ' ' + realTimeText(1, counting, false),
                     frame);
            QCOMPARE(realTimeText(hour, counting, true) + ' ' + realTimeText(hour, counting, false),
                     "01:00:03.600 01:00:00.000");
            // The figures of an hour: the rate in use first (so, at the nominal rate, the rates
            // above in reverse), each with its own duration.
            for (const bool pulledDown : {true, false}) {
                std::string shown;
                for (const RealTimeFigure &figure : realTimeFigures(hour, counting, pulledDown)) {
                    const bool slower = figure.rate != std::to_string(counting.frameRate);
                    QCOMPARE(figure.duration, realTimeText(hour, counting, slower));
                    shown = pulledDown ? shown + figure.rate + ' ' : figure.rate + ' ' + shown;
                }
                QVERIFY2(shown == std::string(rates) + ' ', title.data());
            }
        }
    }

    void roundingAndSize()
    {
        const Counting at30{30, false}, at16{16, false}, at120{120, false};
        const std::tuple<std::uint64_t, Counting, bool, std::string_view> rows[] = {
            // 32999.63 ms: the rounding reaches a whole second and carries into it.
            {989, at30, true, "00:00:33.000"},
            {9007199254740992, at30, true, "83483393092:33:11.100"},
            // The largest count, past 2^64 milliseconds at the slowest rate.
            {18446744073709551615u, at16, true, "320576229475403:50:22.913"},
            {18446744073709551615u, at120, false, "42700796466920:15:30.125"},
            // An unknown format counts no frames.
            {5, Counting{0, false}, false, ""},
        };
        for (const auto &[frames, counting, slower, text] : rows) {
            QCOMPARE(realTimeText(frames, counting, slower), text);
        }
        QVERIFY(realTimeFigures(5, Counting{0, false}, true).empty());
    }
};

QTEST_GUILESS_MAIN(RealTimeTest)
#include "tst_realtime.moc"
