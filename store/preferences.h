// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The per-user preferences store: the seven settings that survive a restart (the automatic copy
// and paste check boxes, the selected format, the memory registers, whether the tape is shown
// and whether the real-time line is, and whether formats that may run at 1000/1001 of their rate
// do), kept in a QSettings INI file, with an in-memory map of
// registered defaults that answers whenever the file holds no usable value of its own.
//
// Reading never fails: a value that is missing, of the wrong kind, implausibly large or (for the
// format) no title of the format list falls back to the registered default of its key. Setters
// change memory; synchronize() writes what this process changed onto the file as it stands then,
// atomically, so that another tcpad writing the same file loses nothing it saved.
#pragma once

#include "store/memoryregisters.h"

#include <QString>
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
    /// Whether the window shows the tape (bool).
    static inline const QString tapeKey = QStringLiteral("defTape");
    /// Whether the panel shows the real-time line under the display (bool).
    static inline const QString realTimeKey = QStringLiteral("defRealTime");
    /// Whether 24, 48, 96 and 30, 60 and 120 without drop frame run at 1000/1001 of their rate
    /// (bool).
    static inline const QString fractionalRateKey = QStringLiteral("defFractionalRate");
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
    /// registers, the tape and the real-time line hidden, the 1000/1001 rate on, and two toolkit
    /// keys as true. Registered
    /// defaults are never written as such.
    void registerDefaults(const RegisterMap &registers = emptyRegisters());
    /// The registered default for a key, or an invalid QVariant when none is registered.
    QVariant registeredDefault(const QString &key) const;

    bool defCopy() const;
    void setDefCopy(bool on);

    bool defPaste() const;
    void setDefPaste(bool on);

    /// A title of the format list: the stored one, or the default when the file holds none that
    /// the list knows (an older list, an edited file).
    QString defFormat() const;
    /// False, changing nothing, for a text that is no title of the format list.
    bool setDefFormat(const QString &title);

    /// The stored registers, taken whole: a register missing from the file is missing here too.
    /// Their texts are kept as setRegister() keeps a text, so that they can be written back.
    RegisterMap defMem() const;
    /// Saves one register. A text longer than maxTextLength, or holding half a surrogate pair, is
    /// kept as an empty register; byte-order marks are dropped.
    void setRegister(const QString &name, const QString &text);
    /// Saves every register of the map, as setRegister() does.
    void setDefMem(const RegisterMap &registers);

    bool defTape() const;
    void setDefTape(bool shown);

    bool defRealTime() const;
    void setDefRealTime(bool shown);

    /// On also without registered defaults, as most video runs at 1000/1001 of its rate.
    bool defFractionalRate() const;
    void setDefFractionalRate(bool on);

    /// Writes the settings to the file and answers whether it was written completely. The file
    /// is read as it stands, under a lock shared with other tcpad processes; what this store
    /// changed since its last successful write replaces what the file holds, the file's own
    /// usable values are kept for the rest, and this store's values fill in what the file lacks.
    /// On failure the file keeps its previous contents and the changes wait for the next call.
    bool synchronize();

    /// The file behind the store.
    QString fileName() const { return path; }

private:
    /// The seven settings as read from a file or as changed in this run; empty where there is no
    /// usable value. For the registers of a change, only the registers that changed.
    struct Values
    {
        std::optional<bool> copy;
        std::optional<bool> paste;
        std::optional<QString> format;
        std::optional<RegisterMap> mem;
        std::optional<bool> tape;
        std::optional<bool> realTime;
        std::optional<bool> fractionalRate;
    };

    static std::optional<Values> readFile(const QString &filePath);
    static Values readValues(const QString &filePath);
    bool writeVerified(const QString &target, const QVariantMap &entries) const;

    QString path;
    QVariantMap defaults;
    // The file as this store last read or wrote it.
    Values stored;
    // Set in this run and not yet written.
    Values changed;
};

} // namespace store
