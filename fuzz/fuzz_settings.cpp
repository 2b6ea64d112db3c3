// Any bytes as the settings file. The store reads it without fault and hands out only what the
// panel can use: a title of the format list and registers of known names and plausible length.
// With the bytes also saved as a register text, saving succeeds, a new store reads back the same,
// and saving that again writes the same bytes.
#include "store/preferences.h"
#include "timecode/timecode.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

using store::Preferences;

static QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("tcpad.conf"));
    QFile file(path);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
              file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size);
    file.close();
    Preferences prefs(path);
    prefs.registerDefaults();
    ok = ok && timecode::formatForTitle(prefs.defFormat().toStdString()).title.size() > 0 &&
         !prefs.defMem().isEmpty();
    const store::RegisterMap registers = prefs.defMem();
    for (auto it = registers.cbegin(); it != registers.cend(); ++it) {
        ok = ok && store::registerNames().contains(it.key()) &&
             it.value().size() <= Preferences::maxTextLength;
    }
    // The same bytes as a register text: whatever the store keeps of it must survive the file.
    prefs.setRegister("Mem-1",
                      QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    ok = ok && prefs.synchronize();
    const QByteArray saved = readAll(path);
    Preferences reread(path);
    ok = ok && reread.defCopy() == prefs.defCopy() && reread.defPaste() == prefs.defPaste() &&
         reread.defFormat() == prefs.defFormat() && reread.defMem() == prefs.defMem() &&
         reread.synchronize() && readAll(path) == saved;
    if (!ok) {
        std::abort();
    }
    return 0;
}
