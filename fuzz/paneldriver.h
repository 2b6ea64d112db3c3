// Drives a headless calculator panel from a stream of bytes and checks after every step that the
// panel still holds together. Shared by the panel fuzz target, which lets the fuzzer choose the
// bytes, and by the test suite, which feeds it fixed pseudo-random streams and kept findings.
//
// The stream is read as steps: one byte picks the kind of step (weighted, so that plain key entry
// is common and restarts are rare), the next bytes pick its arguments. A stream that runs out
// ends the run; missing argument bytes read as zero. Every step does a bounded amount of work.
//
// Register names: the panel starts on an empty settings file, so it holds the nine registers.
// Saving under any other name only adds an entry, and no step but a restart may remove one. A
// restart from what the panel saved brings back exactly the nine (or fewer) registers it had,
// texts unchanged; entries under other names are not registers and are not kept. A restart from
// a hand-edited file that lists only some registers takes that set whole: the others stay
// missing until a save into them creates them again.
#pragma once

#include "panel/viewcontroller.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace fuzz {

class PanelDriver
{
public:
    enum class Step : std::uint8_t
    {
        digitKey,       // enteredKeyNum with a digit-key title, real or not
        commandKey,     // enteredKey with a command-key title, real or not
        equals,         // enter()
        clickKey,       // click one of the panel's push buttons
        pressKey,       // a key press on the panel, with modifiers
        menu,           // respondsToMenu with a menu title, real or not
        memory,         // memController with an item and a parent title
        format,         // select a format, when the list is enabled
        paste,          // put a generated text on the clipboard, then "Paste"
        pasteOther,     // clipboard without plain text, or emptied, then "Paste"
        checkBoxes,     // set both check boxes (off, mixed or on)
        automaticCopy,  // the application loses focus
        automaticPaste, // the application gains focus
        restart,        // save, close the panel, start a new one on the same file
        restartEdited,  // start a new panel on a hand-edited file
    };
    static constexpr std::size_t stepKinds = 15;

    /// The first byte that selects this kind of step; for writing streams by hand.
    static std::uint8_t opcode(Step step);

    /// Starts a panel on an empty settings file at this path (any file there is removed first).
    explicit PanelDriver(const QString &settingsFile);
    ~PanelDriver();
    PanelDriver(const PanelDriver &) = delete;
    PanelDriver &operator=(const PanelDriver &) = delete;

    /// Runs the steps the bytes describe, at most maxSteps of them, and answers how many ran.
    /// A broken rule stops the process with a message naming the rule and the last steps.
    std::size_t run(std::span<const std::uint8_t> bytes, std::size_t maxSteps);

    const panel::ViewController &panel() const { return *controller; }

private:
    struct Record
    {
        Step step;
        std::size_t offset; // where its bytes start in the stream
    };

    std::uint8_t next();
    void startPanel();
    void runStep(Step step);
    void enterKey(const QString &title);
    void clickKey(std::size_t index);
    void pressKey();
    void memory();
    void selectFormat();
    void paste();
    void pasteOther();
    void setCheckBoxes();
    void automaticCopy();
    void automaticPaste();
    void restart();
    void restartEdited();

    QString generatedText();
    void checkInvariants();
    void checkEquals(const std::optional<timecode::Timecode> &before, const QString &signBefore);
    void checkKeyEntry(bool digitsOnly);
    void checkRestart(Qt::CheckState copy, Qt::CheckState paste, const QString &format,
                      const store::RegisterMap &expected);
    [[noreturn]] void fail(const char *rule, const QString &detail = QString()) const;

    QString display() const;

    QString settingsFile;
    std::unique_ptr<panel::ViewController> controller;
    // Register names the panel must still hold.
    QStringList registerKeys;

    std::span<const std::uint8_t> input;
    std::size_t position = 0;
    std::size_t stepCount = 0;
    std::array<Record, 16> recent{};
};

} // namespace fuzz
