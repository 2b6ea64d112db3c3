// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A headless calculator panel driven by steps, with a clipboard in memory and a settings file of
// its own. The panel test runs its rows through it, the panel fuzz target any bytes read as
// steps; after every step it checks that the panel still holds together.
//
// Steps, by kind and argument ('_' is a blank in an argument, '|' a line break):
//   a key title    click the panel key with this title   menu:T        respondsToMenu(T)
//   mem:P/T        item T of the menu titled P           rate:P/T      rate T of the menu titled P
//   format:T       select format T                       set:T         put T in the display
//   clip:T noclip  the clipboard holds T / no plain text paste:T       clip:T, then "Paste"
//   boxes:CP       check box states, 0 1 2 = off mixed on out in       the application loses /
//   restart        save, start a new panel on the file                 gains the focus
//   mark           remember the file's bytes                           line:N  use tape line N
//   tape:0|1       keep the tape hidden or shown         late          pastes wait for an answer
//   realtime:0|1   keep the real-time line hidden or shown
//   answer         the clipboard answers the newest waiting paste; later ones are answered at once
// and checks: ?display:T ?sign:T ?said:T (the sign field's words) ?frame:N (- for no accumulator)
// ?mode:T|F ?clip:T ?format:T ?boxes:CP ?Mem-N:T (a register), ?file:L (the file has line L),
// ?unchanged (as at mark, or at the start), ?tape:T (its lines), ?lines:N, ?shown:0|1,
// ?realtime:T (the real-time line), ?rate:T (the rate in use beside the format list).
#pragma once

#include "panel/viewcontroller.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace fuzz {

class PanelScript
{
public:
    /// Starts a panel on the settings file, removed first: a first run.
    explicit PanelScript(const QString &settingsFile);
    /// Runs one step; answers what went wrong, if anything: a check or a save that failed, or a
    /// rule of the panel that no longer holds.
    std::optional<QString> step(const QString &kind, const QString &argument = QString());
    /// The rule the panel breaks, or the empty text: what must hold whatever was done to it.
    QString brokenRule() const;

    std::optional<QString> clipboard;
    bool late = false;
    panel::Pasteboard::Reply held;

private:
    void start();

    QString file;
    QByteArray marked;
    std::unique_ptr<panel::ViewController> controller;
};

/// Reads the bytes as a script (UTF-8, steps separated by blanks, its own checks left out) and
/// runs at most maxSteps steps of it on a first run of a panel kept in settingsFile; answers how
/// many ran. A broken rule stops the process with a message naming the rule.
std::size_t drivePanel(std::span<const std::uint8_t> bytes, const QString &settingsFile,
                       std::size_t maxSteps);

} // namespace fuzz
