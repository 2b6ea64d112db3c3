// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The tape: every step that changed the accumulator, written down the way one writes a sum on
// paper, in the texts the display showed. The panel tells it each step; a window shows it as a
// list. It lives for the run and keeps the newest lines only.
//
//     30 NDF                   the format, above the first line of a calculation
//       01:00:00:00            the operand that starts it (or replaces the result)
//     + 00:00:10:00            each operation: its operand,
//     = 01:00:10:00            then its result,
//     = 00:00:05:00 (next day)   marked when it went past midnight, either way, and how
//     = 06:00:00:00 (2 days later)   often: (previous day), (3 days earlier)
//     × 30                     a multiplication or division by a count, whose result
//     = 00:11:00:00 (2 frames left over)   may say what a quotient left over
//     + 00:02:31.250 at 29.97 (00:02:31:03)   a clock time, the rate it was read at, its value
//     → 25, same duration      the total moved to another rate, keeping its duration, or its
//     = 01:00:03:15            frames: "→ 25, same frames, 104.167 % speed"
//     ────────────             All Clear ends the calculation
#pragma once

#include <QAbstractListModel>
#include <QString>

#include <cstdint>
#include <deque>
#include <vector>

namespace panel {

class Tape : public QAbstractListModel
{
    Q_OBJECT

public:
    /// The oldest lines drop off the top past this many.
    static constexpr int maxLines = 1000;
    /// The value a line holds, as the display showed it; empty for the format and the separator.
    static constexpr int valueRole = Qt::UserRole;

    /// What a result line notes after its value: how many midnights it went on past (one is the
    /// next day) or back past (one is the previous day), or the frames a division left over.
    struct Note
    {
        enum class Kind : quint8
        {
            none,
            daysOn,
            daysBack,
            leftOver
        };
        Kind kind = Kind::none;
        std::uint64_t count = 0;
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    /// The line's text; for a screen reader its words ("plus 00:00:10:00"); its value.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    /// An operand that starts the calculation or replaces its result; `clock`, when not empty,
    /// is the clock time it was keyed as, written before it.
    void writeOperand(const QString &format, const QString &operand,
                      const QString &clock = QString());
    /// An addition ('+'), subtraction ('-'), multiplication ('×') or division ('÷'), and its
    /// result; `clock` as for an operand.
    void writeOperation(const QString &format, QChar sign, const QString &operand,
                        const QString &result, Note note, const QString &clock = QString());
    /// The running total moved to the rate written `rate`, keeping its duration when `speed` is
    /// empty, else its frames, played at `speed` percent; and the result.
    void writeConversion(const QString &format, const QString &rate, const QString &speed,
                         const QString &result, Note note);
    /// All Clear: a separator below the calculation, if the tape holds lines of it.
    void endCalculation();
    /// Empties the tape.
    void clear();

    /// The value of a line, or the empty text.
    QString value(int row) const;
    /// Every line, each ended by a line break; empty for an empty tape.
    QString text() const;

private:
    enum class Kind : quint8
    {
        format,
        operand,
        operation,
        conversion,
        result,
        separator
    };
    struct Line
    {
        QString text;
        Kind kind;
        QString value;
    };
    /// Lines of the calculation under way, under its format when they are its first.
    void write(const QString &format, std::initializer_list<Line> written);
    void append(const std::vector<Line> &added);

    std::deque<Line> lines;
    // Whether the tape holds lines of the calculation under way.
    bool calculationOnTape = false;
};

} // namespace panel
