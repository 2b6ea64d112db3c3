// The per-user preferences store: the four settings that survive a restart (the automatic copy
// and paste check boxes, the selected format and the memory registers), kept in a QSettings INI
// file, with an in-memory map of registered defaults that answers whenever the file holds no
// usable value of its own.
//
// Reading never fails: a value that is missing, of the wrong kind or implausibly large falls back
// to the registered default of its key. Setters only change memory; nothing reaches the file until
// synchronize(), which rewrites it whole and atomically.
#pragma once

#include "store/memoryregisters.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <optional>

namespace store {

class Preferences
{
public:
    /// Automatic copy when the application is deactivated (bool).
    static inline const QString copyKey = QStringLiteral("defCopy");
    /// Automatic paste when the application is activated (bool).
    static inline const QString pasteKey = QStringLiteral("defPaste");
    /// Title of the selected format (text).
    static inline const QString formatKey = QStringLiteral("defFormat");
    /// The memory registers: a group holding one text per register name.
    static inline const QString memKey = QStringLiteral("defMem");
    /// Two toolkit keys (no dictation or character-palette items in the Edit menu), registered
    /// as true. Qt reads neither; they live in the defaults only and are never written.
    static inline const QString dictationMenuKey = QStringLiteral("NSDisabledDictationMenuItem");
    static inline const QString characterPaletteMenuKey =
        QStringLiteral("NSDisabledCharacterPaletteMenuItem");

    /// Longest text taken from the file. Real texts are a few dozen characters; anything past this
    /// is damage, and the key concerned falls back to its default rather than flooding the panel.
    static constexpr qsizetype maxTextLength = 64 * 1024;

    /// The standard per-user store: "tcpad/tcpad.conf" under the user's config folder.
    Preferences();
    /// A store kept in the given file (created on the first successful synchronize()).
    explicit Preferences(const QString &filePath);

    Preferences(const Preferences &) = delete;
    Preferences &operator=(const Preferences &) = delete;

    /// Registers the in-memory defaults: both check boxes off, the format "30 NDF", the given
    /// registers, and two toolkit keys as true. Registered defaults are never written to the file.
    void registerDefaults(const RegisterMap &registers = emptyRegisters());
    /// The registered default for a key, or an invalid QVariant when none is registered.
    QVariant registeredDefault(const QString &key) const;

    bool defCopy() const;
    void setDefCopy(bool on);

    bool defPaste() const;
    void setDefPaste(bool on);

    /// The stored format title, unchecked against any format list.
    QString defFormat() const;
    /// False, changing nothing, for a title longer than maxTextLength.
    bool setDefFormat(const QString &title);
    /// The stored format title when it is one of allowed, else the registered default format.
    QString formatOr(const QStringList &allowed) const;

    /// The stored registers, taken whole: a register missing from the file is missing here too.
    RegisterMap defMem() const;
    /// A register text longer than maxTextLength, or holding half a surrogate pair, is kept as an
    /// empty register; byte-order marks that open a text are dropped.
    void setDefMem(const RegisterMap &registers);

    /// Writes the four settings to the file, replacing whatever it held, and answers whether the
    /// file was written completely. On failure the file keeps its previous contents.
    bool synchronize();

    /// The file behind the store.
    QString fileName() const;

private:
    std::optional<bool> storedBool(const QString &key) const;
    std::optional<QString> storedFormat() const;
    std::optional<RegisterMap> storedMem() const;
    bool writeVerified(const QVariantMap &entries) const;

    // Reads only: every save writes a new file of its own and swaps it in.
    QSettings settings;
    QVariantMap defaults;
    // Values set since the store was opened, not yet written.
    std::optional<bool> copy;
    std::optional<bool> paste;
    std::optional<QString> format;
    std::optional<RegisterMap> mem;
};

} // namespace store
