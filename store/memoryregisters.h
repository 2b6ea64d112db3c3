// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The nine memory registers: register name to the text the value display showed when it was
// saved. Texts are kept exactly as given; the empty text marks an empty register.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace store {

/// Register name ("Mem-1" ... "Mem-9") to register text. Ordered, so a saved store reads in order.
using RegisterMap = QMap<QString, QString>;

/// The register names, which are also the titles of the menu items that address the registers.
inline QStringList registerNames()
{
    return {QStringLiteral("Mem-1"), QStringLiteral("Mem-2"), QStringLiteral("Mem-3"),
            QStringLiteral("Mem-4"), QStringLiteral("Mem-5"), QStringLiteral("Mem-6"),
            QStringLiteral("Mem-7"), QStringLiteral("Mem-8"), QStringLiteral("Mem-9")};
}

/// Nine registers, each holding the empty text: the store of a first run.
inline RegisterMap emptyRegisters()
{
    RegisterMap registers;
    for (const QString &name : registerNames()) {
        registers.insert(name, QString());
    }
    return registers;
}

} // namespace store
