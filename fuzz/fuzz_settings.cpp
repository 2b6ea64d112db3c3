// Any bytes as the settings file. Reading it never fails; a panel started on it shows what the
// store answers; saving succeeds, what was saved reads back the same, and saving what was read
// writes the same file again.
#include "fuzz/offscreenapplication.h"
#include "panel/viewcontroller.h"
#include "store/preferences.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

void require(bool condition, const char *rule)
{
    if (!condition) {
        std::fprintf(stderr, "settings fuzz: broken rule: %s\n", rule);
        std::abort();
    }
}

QStringList formatTitles()
{
    QStringList titles;
    for (const timecode::Format &format : timecode::formatTable) {
        titles << QString::fromLatin1(format.title.data(),
                                      static_cast<qsizetype>(format.title.size()));
    }
    return titles;
}

struct Values
{
    bool copy = false;
    bool paste = false;
    QString format;
    store::RegisterMap registers;

    friend bool operator==(const Values &, const Values &) = default;
};

Values readBack(const QString &file)
{
    store::Preferences preferences(file);
    preferences.registerDefaults();
    return {preferences.defCopy(), preferences.defPaste(), preferences.defFormat(),
            preferences.defMem()};
}

// Qt keeps the contents of a settings file per process and reads the file again only when its
// size or modification time has changed; inputs of equal size written within one millisecond
// would be read from that copy. Give each version of the file a time of its own.
void giveFileNewTime(const QString &path)
{
    static qint64 version = 0;
    QFile file(path);
    require(file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly), "opening the file");
    const QDateTime base(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    require(file.setFileTime(base.addSecs(++version), QFileDevice::FileModificationTime),
            "setting the file's time");
}

QByteArray contents(const QString &file)
{
    QFile in(file);
    require(in.open(QIODevice::ReadOnly), "the saved file can be opened");
    return in.readAll();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    fuzz::startOffscreenApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString file = fuzz::privateFolder().filePath(QStringLiteral("tcpad.conf"));
    {
        QFile out(file);
        require(out.open(QIODevice::WriteOnly | QIODevice::Truncate), "writing the input file");
        require(out.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size)) ==
                    static_cast<qint64>(size),
                "writing the input file");
    }
    giveFileNewTime(file);

    // Every getter answers, and with something the panel can use.
    Values first;
    {
        store::Preferences preferences(file);
        preferences.registerDefaults();
        first = {preferences.defCopy(), preferences.defPaste(),
                 preferences.defFormat(), preferences.defMem()};
        require(preferences.defFormat().size() <= store::Preferences::maxTextLength,
                "a stored format title is of a plausible length");
        require(formatTitles().contains(first.format), "the format offered is one of the list");
        for (auto it = first.registers.cbegin(); it != first.registers.cend(); ++it) {
            require(store::registerNames().contains(it.key()), "only registers are read");
            require(it.value().size() <= store::Preferences::maxTextLength,
                    "a register text is of a plausible length");
        }
        require(!first.registers.isEmpty(), "a store without registers reads as the defaults");
        for (const QString &key :
             {store::Preferences::copyKey, store::Preferences::pasteKey,
              store::Preferences::formatKey, store::Preferences::memKey,
              store::Preferences::dictationMenuKey, store::Preferences::characterPaletteMenuKey}) {
            require(preferences.registeredDefault(key).isValid(), "every key has its default");
        }
    }

    // A panel started on the file shows what the store answered, and saves it.
    Values saved;
    {
        panel::ViewController panel;
        panel.usePreferences(std::make_unique<store::Preferences>(file));
        panel.viewDidLoad();
        const Ui::ViewController &ui = panel.controls();
        saved = {ui.checkboxCopy->checkState() == Qt::Checked,
                 ui.checkboxPaste->checkState() == Qt::Checked, ui.popupFormat->currentText(),
                 panel.registers()};
        require(saved == first, "the panel starts with the values the store reads");
        require(panel.savePreferences(), "saving succeeds");
    }
    giveFileNewTime(file);
    require(readBack(file) == saved, "what was saved reads back the same");

    // Saving again what was read changes nothing.
    const QByteArray once = contents(file);
    {
        store::Preferences preferences(file);
        preferences.registerDefaults();
        require(preferences.synchronize(), "saving a saved file succeeds");
    }
    giveFileNewTime(file);
    require(contents(file) == once, "saving a saved file writes the same file");
    require(readBack(file) == saved, "a saved file reads back the same after saving it again");
    // No event loop runs here; objects Qt deletes later would pile up from input to input.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
