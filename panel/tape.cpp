// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/tape.h"

namespace panel {

namespace {

const QString separator = QString(12, QChar(0x2500)); // box drawings light horizontal

// An operand as the display showed it, after the clock time it was keyed as.
QString operandText(const QString &operand, const QString &clock)
{
    return clock.isEmpty() ? operand : clock + QStringLiteral(" (") + operand + u')';
}

QString noteText(Tape::Note note)
{
    const QString count = QString::number(note.count);
    switch (note.kind) {
    case Tape::Note::Kind::daysOn:
        return note.count == 1 ? Tape::tr(" (next day)") : Tape::tr(" (%1 days later)").arg(count);
    case Tape::Note::Kind::daysBack:
        return note.count == 1 ? Tape::tr(" (previous day)")
                               : Tape::tr(" (%1 days earlier)").arg(count);
    case Tape::Note::Kind::leftOver:
        return note.count == 1 ? Tape::tr(" (1 frame left over)")
                               : Tape::tr(" (%1 frames left over)").arg(count);
    case Tape::Note::Kind::none:
        break;
    }
    return QString();
}

QString operationWords(QChar sign)
{
    return sign == u'-'        ? Tape::tr("minus")
           : sign == u'\u00d7' ? Tape::tr("times")
           : sign == u'\u00f7' ? Tape::tr("divided by")
                               : Tape::tr("plus");
}

} // namespace

int Tape::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(lines.size());
}

QVariant Tape::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(lines.size())) {
        return QVariant();
    }
    const Line &line = lines[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return line.text;
    case Qt::AccessibleTextRole:
        // Words where the text is only signs; asked for by screen readers alone, so made here.
        switch (line.kind) {
        case Kind::format:
            return tr("Format %1").arg(line.text);
        case Kind::operation:
            return operationWords(line.text.front()) + line.text.mid(1);
        case Kind::conversion:
            return tr("to") + line.text.mid(1);
        case Kind::result:
            return tr("equals") + line.text.mid(1);
        case Kind::separator:
            return tr("End of calculation");
        case Kind::operand:
            return line.text.trimmed();
        }
        return QVariant();
    case valueRole:
        return value(index.row());
    default:
        return QVariant();
    }
}

void Tape::writeOperand(const QString &format, const QString &operand, const QString &clock)
{
    write(format, {{QStringLiteral("  ") + operandText(operand, clock), Kind::operand, operand}});
}

void Tape::writeOperation(const QString &format, QChar sign, const QString &operand,
                          const QString &result, Note note, const QString &clock)
{
    write(format,
          {{sign + QStringLiteral(" ") + operandText(operand, clock), Kind::operation, operand},
           {QStringLiteral("= ") + result + noteText(note), Kind::result, result}});
}

void Tape::writeConversion(const QString &format, const QString &rate, const QString &speed,
                           const QString &result, Note note)
{
    const QString said = speed.isEmpty()
                             ? tr("\u2192 %1, same duration").arg(rate)
                             : tr("\u2192 %1, same frames, %2 % speed").arg(rate, speed);
    write(format, {{said, Kind::conversion, QString()},
                   {QStringLiteral("= ") + result + noteText(note), Kind::result, result}});
}

void Tape::endCalculation()
{
    if (calculationOnTape) {
        append({{separator, Kind::separator, QString()}});
    }
    calculationOnTape = false;
}

void Tape::clear()
{
    beginResetModel();
    lines.clear();
    calculationOnTape = false;
    endResetModel();
}

QString Tape::value(int row) const
{
    if (row < 0 || row >= int(lines.size())) {
        return QString();
    }
    return lines[std::size_t(row)].value;
}

QString Tape::text() const
{
    QString all;
    for (const Line &line : lines) {
        all += line.text + u'\n';
    }
    return all;
}

void Tape::write(const QString &format, std::initializer_list<Line> written)
{
    // A calculation's first line comes under the format it counts in; the format cannot change
    // until All Clear ends the calculation.
    std::vector<Line> added;
    if (!calculationOnTape) {
        added.push_back({format, Kind::format, QString()});
    }
    added.insert(added.end(), written);
    calculationOnTape = true;
    append(added);
}

void Tape::append(const std::vector<Line> &added)
{
    const int count = int(added.size());
    const int overflow = int(lines.size()) + count - maxLines;
    if (overflow > 0) {
        beginRemoveRows(QModelIndex(), 0, overflow - 1);
        lines.erase(lines.begin(), lines.begin() + overflow);
        endRemoveRows();
    }
    const int first = int(lines.size());
    beginInsertRows(QModelIndex(), first, first + count - 1);
    lines.insert(lines.end(), added.begin(), added.end());
    endInsertRows();
}

} // namespace panel
