// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes as the settings file. The store reads it without fault and hands out a title of the
// format list and at least one register. With the bytes also saved as a register text, saving
// succeeds, a new store reads back the same, and saving that again writes the same bytes. That
// read-back also refuses registers of unknown names, which the file never holds. And of the
// bytes as the store hands them to Qt, Qt decodes no value from its binary form.
#include "store/binaryvalues.h"
#include "store/preferences.h"
#include "timecode/timecode.h"

#include <QFile>
#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

using store::Preferences;

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    // tcpad reads its settings with its application running, as here, so that a value in binary
    // form that reached Qt could make any type of Qt's, a region or a pixmap among them. Qt takes
    // the arguments it knows out of argv: it gets a copy.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char *arguments[] = {(*argv)[0], nullptr};
    new QGuiApplication(argc, arguments);
    return 0;
}

// Only what the text form gives: texts, lists of them, the geometry and byte forms, no value.
bool isTextForm(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QVariantList: {
        const QVariantList entries = value.toList();
        return std::all_of(entries.cbegin(), entries.cend(), isTextForm);
    }
    case QMetaType::UnknownType:
    case QMetaType::QString:
    case QMetaType::QStringList:
    case QMetaType::QByteArray:
    case QMetaType::QRect:
    case QMetaType::QSize:
    case QMetaType::QPoint:
        return true;
    default:
        return false;
    }
}

bool decodesNoBinaryValue(const QTemporaryDir &folder, const QByteArray &bytes)
{
    static int count = 0; // a fresh name each time: QSettings keeps what it parsed of a name
    const QString path = folder.filePath(QString::number(++count));
    QFile file(path);
    bool ok = file.open(QIODevice::WriteOnly) &&
              file.write(store::withoutBinaryValues(bytes)) >= 0 && file.flush();
    file.close();
    const QSettings settings(path, QSettings::IniFormat);
    const QStringList keys = settings.allKeys();
    // Qt answers nothing for an empty key; a value decoded under one would still cost its time.
    ok = ok && std::all_of(keys.cbegin(), keys.cend(), [&](const QString &key) {
             return key.isEmpty() || isTextForm(settings.value(key));
         });
    QFile::remove(path);
    return ok;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("tcpad.conf"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QFile file(path);
    bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    file.close();
    Preferences prefs(path);
    prefs.registerDefaults();
    ok = ok && !timecode::formatForTitle(prefs.defFormat().toStdString()).title.empty() &&
         !prefs.defMem().isEmpty();
    // The same bytes as a register text: whatever the store keeps of it must survive the file.
    prefs.setRegister("Mem-1", QString::fromUtf8(bytes));
    ok = ok && prefs.synchronize() && file.open(QIODevice::ReadOnly);
    const QByteArray saved = file.readAll();
    file.close();
    Preferences reread(path);
    ok = ok && reread.defCopy() == prefs.defCopy() && reread.defPaste() == prefs.defPaste() &&
         reread.defFormat() == prefs.defFormat() && reread.defMem() == prefs.defMem();
    if (!ok || !decodesNoBinaryValue(folder, bytes) || !reread.synchronize() ||
        !file.open(QIODevice::ReadOnly) || file.readAll() != saved) {
        std::abort();
    }
    return 0;
}
