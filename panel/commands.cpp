// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/commands.h"

#include "panel/viewcontroller.h"
#include "timecode/rates.h"

#include <QAnyStringView>

namespace panel {

namespace {

// Commands by title. Each action compares the sender's title with its table in order, exactly
// (case and blanks count), and runs the first row that matches; an unknown title does nothing.
struct TitledCommand
{
    const char *title;
    void (*run)(ViewController &);
};

// The key completes a keyed operand before switching, so the entry is not lost.
void switchAfterCalculating(ViewController &c)
{
    if (!c.controls().scratchPadRegister->text().isEmpty()) {
        c.calculate();
    }
    c.toggleDisplayMode();
}

// An operation key calculates what is pending, then waits for its own operand.
template <char16_t sign>
void operate(ViewController &c)
{
    c.calculate();
    c.setOperation(QString(QChar(sign)));
}

const TitledCommand keyCommands[] = {
    {"-", operate<u'-'>},
    {"+", operate<u'+'>},
    {"\u00d7", operate<u'\u00d7'>}, // times
    {"\u00f7", operate<u'\u00f7'>}, // divided by
    {"C", [](ViewController &c) { c.clearEntry(); }},
    {"AC", [](ViewController &c) { c.allClear(); }},
    {"RC", [](ViewController &c) { c.recall(); }},
    {"<", [](ViewController &c) { c.keyEntry(QStringLiteral("<")); }},
    {"T/F", switchAfterCalculating},
    {clockKey, [](ViewController &c) { c.keyEntry(QLatin1String(clockKey)); }},
};

// The choice makes no difference to a format that runs at one rate only, and is kept for the
// formats it does.
void toggleFractionalRate(ViewController &c)
{
    if (timecode::fractionalRateChoosable(c.selectedFormat().counting())) {
        c.keepFractionalRate(!c.fractionalRate());
    }
}

const TitledCommand menuCommands[] = {
    {"Copy", [](ViewController &c) { c.copyToPasteboard(); }},
    {"Paste", [](ViewController &c) { c.pasteFromPasteboard(); }},
    {"Recall", [](ViewController &c) { c.recall(); }},
    {"All Clear", [](ViewController &c) { c.allClear(); }},
    {"Clear", [](ViewController &c) { c.clearEntry(); }},
    {"Back Space", [](ViewController &c) { c.keyEntry(QStringLiteral("<")); }},
    // Unlike the key, the menu item only switches: a keyed operand is dropped.
    {"Change T/F", [](ViewController &c) { c.toggleDisplayMode(); }},
    {"Copy Tape", [](ViewController &c) { c.copyTape(); }},
    {"Clear Tape", [](ViewController &c) { c.tape().clear(); }},
    {"Copy Real Time", [](ViewController &c) { c.copyRealTime(); }},
    {"Fractional Rate (\u00d71000/1001)", toggleFractionalRate},
};

template <std::size_t N>
void runCommand(const TitledCommand (&table)[N], const QString &title, ViewController &controller)
{
    for (const TitledCommand &command : table) {
        if (QAnyStringView::equal(title, QUtf8StringView(command.title))) {
            command.run(controller);
            return;
        }
    }
}

template <std::size_t N>
QStringList titlesOf(const TitledCommand (&table)[N])
{
    QStringList titles;
    for (const TitledCommand &command : table) {
        titles << QString::fromUtf8(command.title);
    }
    return titles;
}

} // namespace

void runKeyCommand(ViewController &panel, const QString &title)
{
    runCommand(keyCommands, title, panel);
}

void runMenuCommand(ViewController &panel, const QString &title)
{
    runCommand(menuCommands, title, panel);
}

QStringList keyTitles()
{
    return titlesOf(keyCommands);
}

QStringList menuTitles()
{
    return titlesOf(menuCommands);
}

} // namespace panel
