#include "store/preferences.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>

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

} // namespace

Preferences::Preferences()
    : settings(QSettings::NativeFormat, QSettings::UserScope, organisationName, applicationName)
{
    // Only the user's own file counts: a system-wide or organisation-wide file must not leak
    // values into the store, since the next save would make them the user's.
    settings.setFallbacksEnabled(false);
}

Preferences::Preferences(const QString &filePath) : settings(filePath, QSettings::NativeFormat)
{
    settings.setFallbacksEnabled(false);
}

void Preferences::registerDefaults(const RegisterMap &registers)
{
    defaults.insert(copyKey, false);
    defaults.insert(pasteKey, false);
    defaults.insert(formatKey, defaultFormat);
    defaults.insert(memKey, QVariant::fromValue(registers));
    defaults.insert(dictationMenuKey, true);
    defaults.insert(characterPaletteMenuKey, true);
}

QVariant Preferences::registeredDefault(const QString &key) const
{
    return defaults.value(key);
}

bool Preferences::defCopy() const
{
    if (copy) {
        return *copy;
    }
    return storedBool(copyKey).value_or(defaults.value(copyKey).toBool());
}

void Preferences::setDefCopy(bool on)
{
    copy = on;
}

bool Preferences::defPaste() const
{
    if (paste) {
        return *paste;
    }
    return storedBool(pasteKey).value_or(defaults.value(pasteKey).toBool());
}

void Preferences::setDefPaste(bool on)
{
    paste = on;
}

QString Preferences::defFormat() const
{
    if (format) {
        return *format;
    }
    return storedFormat().value_or(defaults.value(formatKey).toString());
}

bool Preferences::setDefFormat(const QString &title)
{
    if (title.size() > maxTextLength) {
        return false;
    }
    format = title;
    return true;
}

QString Preferences::formatOr(const QStringList &allowed) const
{
    const QString title = defFormat();
    return allowed.contains(title) ? title : defaults.value(formatKey).toString();
}

RegisterMap Preferences::defMem() const
{
    if (mem) {
        return *mem;
    }
    if (std::optional<RegisterMap> stored = storedMem()) {
        return *stored;
    }
    return defaults.value(memKey).value<RegisterMap>();
}

void Preferences::setDefMem(const RegisterMap &registers)
{
    // Every register text must read back as written, or the check after writing fails the whole
    // save. Qt's INI reader drops a byte-order mark that opens a value, so it is dropped here
    // already (it is invisible, and what follows it is kept). A text past the limit would be
    // refused when read back, and half a surrogate pair (from a broken clipboard text) has no
    // form in the UTF-8 file: keep either out of the file instead of losing the other settings.
    RegisterMap kept = registers;
    for (QString &text : kept) {
        qsizetype marks = 0;
        while (marks < text.size() && text.at(marks) == QChar(0xFEFF)) {
            ++marks;
        }
        text.remove(0, marks);
        if (text.size() > maxTextLength || !text.isValidUtf16()) {
            text.clear();
        }
    }
    mem = kept;
}

bool Preferences::synchronize()
{
    // What the file will hold: each setting as set in this run, else its usable stored value.
    // Damaged values and keys that are not ours are left out, so a broken file comes out clean,
    // and a key without a value of its own stays out so that its registered default still answers.
    QVariantMap entries;
    if (const std::optional<bool> value = copy ? copy : storedBool(copyKey)) {
        entries.insert(copyKey, *value);
    }
    if (const std::optional<bool> value = paste ? paste : storedBool(pasteKey)) {
        entries.insert(pasteKey, *value);
    }
    if (const std::optional<QString> value = format ? format : storedFormat()) {
        entries.insert(formatKey, *value);
    }
    if (const std::optional<RegisterMap> value = mem ? mem : storedMem()) {
        // One entry per register under [defMem], so the file stays readable and editable by hand.
        // Only register names go out: nothing else would be read back as a register, and an odd
        // name (empty, or with a '/') would turn the group into something else.
        for (const QString &name : registerNames()) {
            if (value->contains(name)) {
                entries.insert(memKey + u'/' + name, value->value(name));
            }
        }
    }
    if (!writeVerified(entries)) {
        return false;
    }
    settings.sync(); // nothing pending here: this only picks up the new file
    return true;
}

// QSettings writes through a temporary file and a rename, but Qt 6.4 does not notice when the
// last buffered block fails to reach the disk (a full disk, a file size limit): it renames the
// truncated file over the old one and reports success. So QSettings writes a scratch file beside
// the real one, which is then read back under a name no QSettings object has cached, compared
// with what was meant, and only then renamed over the real file. Until that rename the old file
// is untouched; the rename itself replaces it whole.
bool Preferences::writeVerified(const QVariantMap &entries) const
{
    QFileInfo info(settings.fileName());
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty()) {
        info = QFileInfo(info.canonicalFilePath()); // keep the link, replace what it points to
    }
    if (info.exists() && !info.isWritable()) {
        return false; // a file made read-only is left alone
    }
    if (!QDir().mkpath(info.absolutePath())) {
        return false;
    }
    QString scratch;
    {
        QTemporaryFile reserve(info.absoluteFilePath() + QStringLiteral(".XXXXXX"));
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
        QSettings writer(scratch, QSettings::NativeFormat);
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
    if (std::rename(QFile::encodeName(check).constData(),
                    QFile::encodeName(info.absoluteFilePath()).constData()) != 0) {
        return discard();
    }
    return true;
}

QString Preferences::fileName() const
{
    return settings.fileName();
}

std::optional<bool> Preferences::storedBool(const QString &key) const
{
    if (settings.childGroups().contains(key)) {
        return std::nullopt;
    }
    return boolFrom(settings.value(key));
}

std::optional<QString> Preferences::storedFormat() const
{
    if (settings.childGroups().contains(formatKey)) {
        return std::nullopt;
    }
    return textFrom(settings.value(formatKey));
}

// The registers are read from the [defMem] group, one text per register name. The group is taken
// as the register store whole, so a register missing from it stays missing until it is saved
// again. Entries under other names are not registers: nothing can address them, so they are
// ignored and left out of the next save. A register entry that is not a plain text (a list, a
// value of another kind, a group of its own, a huge text) reads as an empty register, so one
// damaged line never costs the others. A group with no register entry at all, or a plain value
// under the key, counts as no stored value.
std::optional<RegisterMap> Preferences::storedMem() const
{
    if (settings.contains(memKey) || !settings.childGroups().contains(memKey)) {
        return std::nullopt;
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
            continue;
        }
        if (!keys.contains(key)) {
            continue;
        }
        registers.insert(name, textFrom(settings.value(key)).value_or(QString()));
    }
    if (registers.isEmpty()) {
        return std::nullopt;
    }
    return registers;
}

} // namespace store
