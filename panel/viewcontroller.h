// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The calculator panel.
//
// Map of the program:
// - timecode::  parses and computes. It reads timecode and frame-count text into frame numbers,
//   does the day arithmetic on the accumulator (a timecode::Timecode) and writes timecode text.
//   It knows nothing of Qt; this class converts to and from QString at its edge.
// - panel::ViewController (this file) decides. Every key and menu command arrives at one of its
//   action slots carrying the sender's title; a title table (panel/commands.cpp) picks the
//   operation. The visible
//   state lives in the controls of viewcontroller.ui and is read back from them: the operand or
//   result in the value display (scratchPadRegister; a clock time there is told by its decimal
//   separator), the pending operation in the sign field, the format in popupFormat. Only the
//   accumulator and the display mode are held in fields; whether a format that may run at
//   1000/1001 of its rate does is a kept setting, read from the store.
// - panel/conversion.h moves the running total to another rate, through this class's public
//   operations, for the Convert To and Conform To menus.
// - panel::RealTimeReadout writes on the line under the display how long the value lasts on the
//   clock; the panel tells it the frames whenever the value may have changed.
// - panel::Tape writes down every step that changed the accumulator; the equals step and All
//   Clear tell it, and the window shows it.
// - panel/calculation.h works out, without touching a control, what a key makes of the display
//   text and what the equals step makes of the accumulator and the operand, and what it writes
//   on the tape.
// - The controls display. Key entry edits the value display text; the equals step reads it,
//   hands it to the calculation with the accumulator and writes the accumulator back as text.
// - app::WindowController hosts the panel, owns the menus and wires their items to the panel by
//   title, and hands it the desktop's clipboard. The memory registers and the clipboard read and
//   write the value display only. panel/appearance.cpp styles the controls.
// - Every keyboard key of the panel is bound once, by the `keys` property of its control in
//   viewcontroller.ui; the menu items' own shortcuts live in the window's description.
#pragma once

#include "panel/calculation.h"
#include "panel/conversion.h"
#include "panel/pasteboard.h"
#include "panel/realtimereadout.h"
#include "panel/tape.h"
#include "store/memoryregisters.h"
#include "store/preferences.h"
#include "timecode/timecode.h"
#include "ui_viewcontroller.h"

#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

class QAction;

namespace panel {

class ViewController : public QWidget
{
    Q_OBJECT

public:
    /// The pending operation, read off the sign field whenever it is needed.
    using Sign = panel::Sign;

    /// Gives the fields their start values and builds the controls. The panel is not in its
    /// start state until viewDidLoad() has run.
    explicit ViewController(QWidget *parent = nullptr);

    /// Puts the freshly built panel into its start state (timecode mode, empty display and sign
    /// field, format list enabled, recall key disabled), makes it the sharedViewController() and
    /// restores the check boxes, the format and the registers from the preferences store. Called
    /// once by the window that hosts it.
    void viewDidLoad();
    /// Replaces the per-user preferences store, before viewDidLoad(); tests use a private file.
    void usePreferences(std::unique_ptr<store::Preferences> store);
    /// The clipboard that "Copy" and "Paste" and the automatic exchange use; without one they
    /// do nothing.
    void usePasteboard(std::unique_ptr<Pasteboard> pasteboard);
    /// Writes to the preferences store what has not reached it yet: every kept setting is written
    /// as it changes, and a write that failed then is retried here. Answers whether the file was
    /// written whole. Run at every orderly end of the application.
    bool savePreferences();

    /// Run when the application is about to lose the user's focus: copies the display when
    /// automatic copy is ticked.
    void automaticCopy();
    /// Run when the application is about to gain the user's focus: pastes when automatic paste
    /// is ticked, except on the first activation after start.
    void automaticPaste();

    /// The rate text and drop-frame flag of the selected format; an unknown title gives the
    /// empty rate text, which createTimecode refuses.
    timecode::Format selectedFormat() const;
    /// Edits the value display with one key's text; "<" takes back the last digit.
    void keyEntry(const QString &keyText);
    /// The equals step: starts, replaces, adds to, subtracts from, multiplies or divides the
    /// accumulator. Answers false when it showed ERROR instead, or the format is unknown.
    bool calculate();
    /// Empties the value display, or when it is empty already, drops the pending operation.
    void clearEntry();
    void allClear();
    void recall();
    void toggleDisplayMode();
    /// Records "+", "-", "×" or "÷" as the pending operation; does nothing without an
    /// accumulator.
    void setOperation(const QString &operation);
    Sign currentSign() const;
    /// The accumulator as the display shows it in the current mode; empty without one.
    QString accumulatorText() const;
    void clearAllMem();
    /// Puts the display text on the clipboard, unless it is empty or the error text.
    void copyToPasteboard();
    /// Shows the clipboard's first 12 user-perceived characters once the clipboard answers; no text
    /// leaves the display, and so does a text that comes after the panel changed or lost the focus.
    void pasteFromPasteboard();

    /// The tape of this run.
    Tape &tape() { return paperTape; }
    const Tape &tape() const { return paperTape; }
    /// Puts the value of a tape line into the display, as loading a register does; a line without
    /// a value (the format, a separator) does nothing.
    void useTapeLine(int row);
    /// Puts the whole tape on the clipboard, a line per line; an empty tape leaves it alone.
    void copyTape();
    /// Whether the window shows the tape: a kept setting, hidden on the first start.
    bool tapeShown() const { return userDefault->defTape(); }
    /// Keeps whether the window shows the tape; it reaches the file at once.
    void keepTapeShown(bool shown);

    /// Whether the real-time line under the display is shown: a kept setting, hidden on the first
    /// start.
    bool realTimeShown() const { return userDefault->defRealTime(); }
    /// Shows or hides the line and keeps the choice; it reaches the file at once.
    void keepRealTimeShown(bool shown);
    /// Puts the line's first figure on the clipboard; a hidden line or one with no figure leaves
    /// the clipboard alone.
    void copyRealTime();

    /// The user's choice of the 1000/1001 rate for 24, 48, 96 and 30, 60 and 120 without drop
    /// frame: a kept setting, on at the first start.
    bool fractionalRate() const { return userDefault->defFractionalRate(); }
    /// Keeps the choice; it reaches the file at once.
    void keepFractionalRate(bool on);
    /// Whether the selected format runs at 1000/1001 of its rate, as the choice and the format
    /// decide: the rate clock times are read at and the real-time line puts first.
    bool pulledDown() const;
    /// Makes `total` the running total and shows it, in whatever format it counts; the format list
    /// must already show that format. For a conversion to another rate.
    void showTotal(const timecode::Timecode &total);

    const Ui::ViewController &controls() const { return ui; }
    bool isTimecodeMode() const { return displayIsTimecode; }
    /// How the display's text reads: in the display mode, or as the count an operation waits for.
    Reading reading() const;
    const std::optional<timecode::Timecode> &accumulator() const { return currentTimecode; }
    const store::RegisterMap &registers() const { return dictMem; }
    bool startingUp() const { return isStarting; }

    /// The titles each action understands, for checking the user-interface description.
    static QStringList keyCommandTitles();
    static QStringList menuCommandTitles();
    /// Parent titles ("Save", "Load") and item titles ("Clear All Mem") memController acts on.
    static QStringList memoryCommandTitles();

public slots:
    void enter() { calculate(); }
    void enteredKeyNum(const QString &title) { keyEntry(title); }
    void enteredKey(const QString &title);
    void respondsToMenu(const QString &title);
    void memController(const QString &title, const QString &parentTitle);
    /// Reads the item's title and the title of the menu that holds it; an item outside any menu
    /// is ignored.
    void memController(QAction *item);
    /// Item `title` (a rate) of the Convert To or Conform To menu, `parentTitle`.
    void convertController(const QString &title, const QString &parentTitle)
    {
        runConversion(*this, title, parentTitle);
    }
    void changePopup();

signals:
    /// The format or the choice of the 1000/1001 rate changed, and with them maybe the rate in use.
    void rateChanged();

private:
    void wireControls();
    /// Shows the pending operation in the sign field, with words for a screen reader.
    void setSign(const QString &text);
    QString display() const { return ui.scratchPadRegister->text(); }
    void setDisplay(const QString &text);
    /// Brings the real-time line up to date with the display, mode, format and accumulator.
    void showRealTime();
    /// Writes the rate in use beside the format list.
    void showRate();
    /// The frames the real-time line describes: the display's text read as an operand that starts
    /// a calculation is read; else, while the display holds nothing that reads (empty, the error
    /// text, a count to multiply or divide by), the accumulator's; else nothing.
    std::optional<std::uint64_t> realTimeFrames() const;

    Ui::ViewController ui;

    bool displayIsTimecode = false;
    std::optional<timecode::Timecode> currentTimecode;
    const QString errorMessage = QStringLiteral("ERROR");
    bool isStarting = true;
    store::RegisterMap dictMem = store::emptyRegisters();
    std::unique_ptr<store::Preferences> userDefault;
    std::unique_ptr<Pasteboard> pasteboard;
    // Counts changes of the display, sign, mode and format, and the focus going away: a paste
    // answered after any of them is stale.
    std::uint64_t changes = 0;
    Tape paperTape;
    RealTimeReadout *readout = nullptr;
};

/// The panel of the running application, as registered by its viewDidLoad(); null before that.
/// The application delegate reaches the panel only through this.
ViewController *sharedViewController();

} // namespace panel
