// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/preferences.h"

#include "store/binaryvalues.h"
#include "timecode/timecode.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace store {

namespace {

const QString organisationName = QStringLiteral("tcpad");
const QString applicationName = QStringLiteral("tcpad");
const QString defaultFormat = QStringLiteral("30 NDF");

// Only a clean boolean counts: what QSettings itself writes ("true"/"false"), in any case, and
// the 1/0 people tend to type when editing by hand. Anything else ("yes", "2", a list) is damage.
std::optional<bool> boolFrom(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool) {
        return value.toBool();
    }
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    const QString text = value.toString();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == u'1') {
        return true;
    }
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || text == u'0') {
        return false;
    }
    return std::nullopt;
}

// A text, not a list or an encoded value of another kind, and of a plausible size.
std::optional<QString> textFrom(const QVariant &value)
{
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    QString text = value.toString();
    if (text.size() > Preferences::maxTextLength) {
        return std::nullopt;
    }
    return text;
}

// A register text as the file can keep it. Every register text must read back as written, or the
// check after writing fails the whole save, and every later one with it. Qt's INI reader drops a
// byte-order mark that opens a value or follows an escaped character (a line break, a control
// character), so they are all dropped here already (they are invisible, and the rest is kept). A
// text past the limit would be refused when read back, and half a surrogate pair (from a broken
// clipboard text) has no form in the UTF-8 file: either is kept as an empty register instead of
// losing the other settings. Texts read from the file go through here too: one a hand or a damaged
// file left a mark in would otherwise be written back changed, and no save would ever succeed.
QString keptText(QString text)
{
    text.remove(QChar(0xFEFF));
    if (text.size() > Preferences::maxTextLength || !text.isValidUtf16()) {
        text.clear();
    }
    return text;
}

bool isFormatTitle(const QString &title)
{
    const QByteArray utf8 = title.toUtf8();
    return std::any_of(timecode::formatTable.cbegin(), timecode::formatTable.cend(),
                       [&](const timecode::Format &format) {
                           return format.title == std::string_view(utf8.constData(), utf8.size());
                       });
}

// Makes what was written to a file, or the entries of a folder, survive a power cut.
bool flushToDisk(const QByteArray &name)
{
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
}

// Another tcpad may be writing the same file: the folder is locked from reading the file to
// renaming the new one into place, a millisecond or two. The kernel drops the lock when its
// holder ends, however it ends. A holder that keeps it much longer is stuck, and the write then
// waits for the next change rather than stall the panel. Where the file system offers no locks
// at all, writing goes on without.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder)
        : fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        for (int attempt = 0; fd >= 0 && attempt < 100; ++attempt) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) {
                held = true;
                return;
            }
            ::usleep(1000);
        }
    }
    ~FolderLock()
    {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    bool isHeld() const { return held; }

private:
    int fd;
    bool held = false;
};

} // namespace

Preferences::Preferences()
    : Preferences(QSettings(QSettings::NativeFormat, QSettings::UserScope, organisationName,
                            applicationName)
                      .fileName())
{
}

Preferences::Preferences(const QString &filePath)
    : path(filePath), stored(readFile(filePath).value_or(Values{}))
{
}

void Preferences::registerDefaults(const RegisterMap &registers)
{
    defaults.insert(copyKey, false);
    defaults.insert(pasteKey, false);
    defaults.insert(formatKey, defaultFormat);
    defaults.insert(memKey, QVariant::fromValue(registers));
    defaults.insert(tapeKey, false);
    defaults.insert(realTimeKey, false);
    defaults.insert(fractionalRateKey, true);
    defaults.insert(dictationMenuKey, true);
    defaults.insert(characterPaletteMenuKey, true);
}

QVariant Preferences::registeredDefault(const QString &key) const
{
    return defaults.value(key);
}

bool Preferences::defCopy() const
{
    return changed.copy.value_or(stored.copy.value_or(defaults.value(copyKey).toBool()));
}

void Preferences::setDefCopy(bool on)
{
    changed.copy = on;
}

bool Preferences::defPaste() const
{
    return changed.paste.value_or(stored.paste.value_or(defaults.value(pasteKey).toBool()));
}

void Preferences::setDefPaste(bool on)
{
    changed.paste = on;
}

QString Preferences::defFormat() const
{
    // Without registered defaults the format list's default still answers.
    return changed.format.value_or(
        stored.format.value_or(defaults.value(formatKey, defaultFormat).toString()));
}

bool Preferences::setDefFormat(const QString &title)
{
    if (!isFormatTitle(title)) {
        return false;
    }
    changed.format = title;
    return true;
}

RegisterMap Preferences::defMem() const
{
    RegisterMap registers = stored.mem.value_or(defaults.value(memKey).value<RegisterMap>());
    if (changed.mem) {
        registers.insert(*changed.mem);
    }
    return registers;
}

void Preferences::setRegister(const QString &name, const QString &text)
{
    if (!changed.mem) {
        changed.mem.emplace();
    }
    changed.mem->insert(name, keptText(text));
}

void Preferences::setDefMem(const RegisterMap &registers)
{
    for (auto it = registers.cbegin(); it != registers.cend(); ++it) {
        setRegister(it.key(), it.value());
    }
}

bool Preferences::defTape() const
{
    return changed.tape.value_or(stored.tape.value_or(defaults.value(tapeKey).toBool()));
}

void Preferences::setDefTape(bool shown)
{
    changed.tape = shown;
}

bool Preferences::defRealTime() const
{
    return changed.realTime.value_or(
        stored.realTime.value_or(defaults.value(realTimeKey).toBool()));
}

void Preferences::setDefRealTime(bool shown)
{
    changed.realTime = shown;
}

bool Preferences::defFractionalRate() const
{
    return changed.fractionalRate.value_or(
        stored.fractionalRate.value_or(defaults.value(fractionalRateKey, true).toBool()));
}

void Preferences::setDefFractionalRate(bool on)
{
    changed.fractionalRate = on;
}

bool Preferences::synchronize()
{
    QFileInfo info(path);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty()) {
        info = QFileInfo(info.canonicalFilePath()); // keep the link, replace what it points to
    }
    const QString target = info.absoluteFilePath();
    if (!QDir().mkpath(info.absolutePath())) {
        return false;
    }
    const FolderLock lock(info.absolutePath());
    if (!lock.isHeld()) {
        return false;
    }
    // A file that exists but cannot be read may hold anything; it is not replaced blindly.
    const std::optional<Values> onDisk = readFile(target);
    if (!onDisk) {
        return false;
    }

    // This store's own view of each setting, for a file that lacks it (a first run, a damaged or
    // deleted file). Damaged values and keys that are not ours are left out, so a broken file
    // comes out clean.
    Values merged;
    merged.copy =
        changed.copy ? changed.copy : (onDisk->copy ? onDisk->copy : std::optional(defCopy()));
    merged.paste =
        changed.paste ? changed.paste : (onDisk->paste ? onDisk->paste : std::optional(defPaste()));
    merged.format = changed.format ? changed.format
                                   : (onDisk->format ? onDisk->format : std::optional(defFormat()));
    merged.tape =
        changed.tape ? changed.tape : (onDisk->tape ? onDisk->tape : std::optional(defTape()));
    merged.realTime = changed.realTime
                          ? changed.realTime
                          : (onDisk->realTime ? onDisk->realTime : std::optional(defRealTime()));
    merged.fractionalRate = changed.fractionalRate   ? changed.fractionalRate
                            : onDisk->fractionalRate ? onDisk->fractionalRate
                                                     : std::optional(defFractionalRate());
    merged.mem = onDisk->mem ? onDisk->mem : std::optional(defMem());
    if (changed.mem) {
        merged.mem->insert(*changed.mem);
    }

    QVariantMap entries;
    entries.insert(copyKey, *merged.copy);
    entries.insert(pasteKey, *merged.paste);
    entries.insert(formatKey, *merged.format);
    entries.insert(tapeKey, *merged.tape);
    entries.insert(realTimeKey, *merged.realTime);
    entries.insert(fractionalRateKey, *merged.fractionalRate);
    // One entry per register under [defMem], so the file stays readable and editable by hand.
    // Only register names go out: nothing else would be read back as a register, and an odd
    // name (empty, or with a '/') would turn the group into something else.
    for (const QString &name : registerNames()) {
        if (merged.mem->contains(name)) {
            entries.insert(memKey + u'/' + name, merged.mem->value(name));
        }
    }
    if (!writeVerified(target, entries)) {
        return false;
    }
    stored = merged;
    changed = Values{};
    return true;
}

// QSettings writes through a temporary file and a rename, but Qt 6.4 does not notice when the
// last buffered block fails to reach the disk (a full disk, a file size limit): it renames the
// truncated file over the old one and reports success. So QSettings writes a scratch file beside
// the real one, which is then read back under a name no QSettings object has cached, compared
// with what was meant, flushed to the disk and only then renamed over the real file. Until that
// rename the old file is untouched; the rename itself replaces it whole, and the folder is
// flushed too, so that the new file survives a power cut once this returns true.
bool Preferences::writeVerified(const QString &target, const QVariantMap &entries) const
{
    const QFileInfo info(target);
    if (info.exists() && !info.isWritable()) {
        return false; // a file made read-only is left alone
    }
    QString scratch;
    {
        QTemporaryFile reserve(target + QStringLiteral(".XXXXXX"));
        reserve.setAutoRemove(false);
        if (!reserve.open()) {
            return false;
        }
        scratch = reserve.fileName();
    }
    const QString check = scratch + QStringLiteral(".check");
    const auto discard = [&] {
        QFile::remove(scratch);
        QFile::remove(check);
        return false;
    };

    {
        // The scratch file is private until renamed, so QSettings need not write it through a
        // file of its own; it is flushed to the disk below, after the check.
        QSettings writer(scratch, QSettings::NativeFormat);
        writer.setAtomicSyncRequired(false);
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            writer.setValue(it.key(), it.value());
        }
        writer.sync();
        if (writer.status() != QSettings::NoError) {
            return discard();
        }
    }
    if (!QFile::rename(scratch, check)) {
        return discard();
    }
    {
        const QSettings reader(check, QSettings::NativeFormat);
        QStringList expectedKeys = entries.keys();
        QStringList storedKeys = reader.allKeys();
        expectedKeys.sort();
        storedKeys.sort();
        if (reader.status() != QSettings::NoError || storedKeys != expectedKeys) {
            return discard();
        }
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            // Both kinds of value come back as text: a bool as "true" or "false".
            const QVariant stored = reader.value(it.key());
            if (stored.typeId() != QMetaType::QString ||
                stored.toString() != it.value().toString()) {
                return discard();
            }
        }
    }
    if (info.exists()) {
        QFile::setPermissions(check, info.permissions());
    }
    const QByteArray checkName = QFile::encodeName(check);
    if (!flushToDisk(checkName) ||
        std::rename(checkName.constData(), QFile::encodeName(target).constData()) != 0) {
        return discard();
    }
    flushToDisk(QFile::encodeName(info.absolutePath()));
    return true;
}

// Qt never reads the file itself, only a copy without values in binary form (see
// binaryvalues.h), kept under a fresh name: QSettings keeps one parsed copy of each file per
// process and parses the file again only when its size or its time stamp (to the millisecond)
// differs from that copy's, and a write of the same size by another tcpad within that millisecond
// would go unseen.
std::optional<Preferences::Values> Preferences::readFile(const QString &filePath)
{
    if (!QFileInfo::exists(filePath)) {
        return Values{};
    }
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    const QByteArray plain = withoutBinaryValues(text);
    const QTemporaryDir folder;
    QFile copy(folder.filePath(QStringLiteral("tcpad.conf")));
    if (folder.isValid() && copy.open(QIODevice::WriteOnly) && copy.write(plain) == plain.size() &&
        copy.flush()) {
        copy.close();
        return readValues(copy.fileName());
    }
    // Without room for the copy, the file itself will do unless it holds such values.
    return plain == text ? std::optional(readValues(filePath)) : std::nullopt;
}

Preferences::Values Preferences::readValues(const QString &filePath)
{
    const QSettings settings(filePath, QSettings::NativeFormat);
    const QStringList groups = settings.childGroups();
    const auto scalar = [&](const QString &key) {
        return groups.contains(key) ? QVariant() : settings.value(key);
    };
    Values values;
    values.copy = boolFrom(scalar(copyKey));
    values.paste = boolFrom(scalar(pasteKey));
    values.tape = boolFrom(scalar(tapeKey));
    values.realTime = boolFrom(scalar(realTimeKey));
    values.fractionalRate = boolFrom(scalar(fractionalRateKey));
    values.format = textFrom(scalar(formatKey));
    if (values.format && !isFormatTitle(*values.format)) {
        values.format.reset();
    }

    // The registers are read from the [defMem] group, one text per register name. The group is
    // taken as the register store whole, so a register missing from it stays missing until it is
    // saved again. Entries under other names are not registers: nothing can address them, so
    // they are ignored and left out of the next save. A register entry that is not a plain text
    // (a list, a value of another kind, a group of its own, a huge text) reads as an empty
    // register, so one damaged line never costs the others. A group with no register entry at
    // all, or a plain value under the key, counts as no stored value.
    if (settings.contains(memKey) || !groups.contains(memKey)) {
        return values;
    }
    const QStringList keys = settings.allKeys();
    RegisterMap registers;
    for (const QString &name : registerNames()) {
        const QString key = memKey + u'/' + name;
        const QString subgroupPrefix = key + u'/';
        const bool isGroup = std::any_of(keys.cbegin(), keys.cend(), [&](const QString &stored) {
            return stored.startsWith(subgroupPrefix);
        });
        if (isGroup) {
            registers.insert(name, QString());
        } else if (keys.contains(key)) {
            registers.insert(name, keptText(textFrom(settings.value(key)).value_or(QString())));
        }
    }
    if (!registers.isEmpty()) {
        values.mem = registers;
    }
    return values;
}

} // namespace store
