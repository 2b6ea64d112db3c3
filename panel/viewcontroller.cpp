// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/viewcontroller.h"

#include "panel/appearance.h"
#include "panel/characters.h"
#include "panel/keyboard.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPointer>

#include <string>

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

const TitledCommand keyCommands[] = {
    {"-",
     [](ViewController &c) {
         c.calculate();
         c.setOperation(QStringLiteral("-"));
     }},
    {"+",
     [](ViewController &c) {
         c.calculate();
         c.setOperation(QStringLiteral("+"));
     }},
    {"C", [](ViewController &c) { c.clearEntry(); }},
    {"AC", [](ViewController &c) { c.allClear(); }},
    {"RC", [](ViewController &c) { c.recall(); }},
    {"<", [](ViewController &c) { c.keyEntry(QStringLiteral("<")); }},
    {"T/F", switchAfterCalculating},
};

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
};

const char *const saveMenuTitle = "Save";
const char *const loadMenuTitle = "Load";
const char *const clearAllMemTitle = "Clear All Mem";

template <std::size_t N>
void runCommand(const TitledCommand (&table)[N], const QString &title, ViewController &controller)
{
    for (const TitledCommand &command : table) {
        if (title == QLatin1String(command.title)) {
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
        titles << QString::fromLatin1(command.title);
    }
    return titles;
}

bool isTicked(const QCheckBox *box)
{
    // A check box in the mixed state is not ticked.
    return box->checkState() == Qt::Checked;
}

// The one panel of the process. The window owns the widget; this only finds it.
QPointer<ViewController> registeredController;

} // namespace

ViewController *sharedViewController()
{
    return registeredController.data();
}

ViewController::ViewController(QWidget *parent)
    : QWidget(parent), userDefault(std::make_unique<store::Preferences>())
{
    ui.setupUi(this);
    applyAppearance(this, ui);
    wireControls();
}

void ViewController::wireControls()
{
    for (QPushButton *key : {ui.button0, ui.button1, ui.button2, ui.button3, ui.button4, ui.button5,
                             ui.button6, ui.button7, ui.button8, ui.button9, ui.buttonPeriod}) {
        connect(key, &QPushButton::clicked, this, [this, key] { enteredKeyNum(key->text()); });
    }
    for (QPushButton *key : {ui.buttonPlus, ui.buttonMinus, ui.buttonC, ui.buttonAC, ui.buttonRC,
                             ui.buttonBS, ui.buttonTF}) {
        connect(key, &QPushButton::clicked, this, [this, key] { enteredKey(key->text()); });
    }
    connect(ui.buttonEquals, &QPushButton::clicked, this, &ViewController::enter);
    // Any change of the selection, by mouse, keyboard or code, empties the display, so digits
    // keyed for one format are never read in another.
    connect(ui.popupFormat, &QComboBox::currentIndexChanged, this, &ViewController::changePopup);

    bindKeys(this, ui.scratchPadRegister);
}

void ViewController::viewDidLoad()
{
    registeredController = this;
    setDisplay(QString());
    ui.sign->clear();
    toggleDisplayMode();
    ui.popupFormat->setEnabled(true);
    ui.buttonRC->setEnabled(false);

    userDefault->registerDefaults(dictMem);
    ui.checkboxCopy->setCheckState(userDefault->defCopy() ? Qt::Checked : Qt::Unchecked);
    ui.checkboxPaste->setCheckState(userDefault->defPaste() ? Qt::Checked : Qt::Unchecked);
    ui.popupFormat->setCurrentIndex(ui.popupFormat->findText(userDefault->defFormat()));
    dictMem = userDefault->defMem();
    ui.realTime->setVisible(realTimeShown());

    // From here on every change of a kept setting goes to the file at once, so that none is lost
    // when the process ends without quitting (the display server gone, SIGKILL, a power cut).
    connect(ui.checkboxCopy, &QCheckBox::toggled, this, [this] {
        userDefault->setDefCopy(isTicked(ui.checkboxCopy));
        userDefault->synchronize();
    });
    connect(ui.checkboxPaste, &QCheckBox::toggled, this, [this] {
        userDefault->setDefPaste(isTicked(ui.checkboxPaste));
        userDefault->synchronize();
    });
    connect(ui.popupFormat, &QComboBox::currentIndexChanged, this, [this] {
        if (userDefault->setDefFormat(ui.popupFormat->currentText())) {
            userDefault->synchronize();
        }
    });
}

void ViewController::usePreferences(std::unique_ptr<store::Preferences> store)
{
    userDefault = std::move(store);
}

void ViewController::usePasteboard(std::unique_ptr<Pasteboard> board)
{
    pasteboard = std::move(board);
}

bool ViewController::savePreferences()
{
    // Each change went to the store as it happened; a write that failed then is retried here,
    // and a first run that changed nothing leaves every setting in the file.
    return userDefault->synchronize();
}

void ViewController::automaticCopy()
{
    // A paste still on its way is for a user who has gone; it would change what was copied out.
    ++changes;
    if (isTicked(ui.checkboxCopy)) {
        copyToPasteboard();
    }
}

void ViewController::automaticPaste()
{
    // The activation that comes with starting up is not the user coming back with something on
    // the clipboard.
    if (isStarting) {
        isStarting = false;
        return;
    }
    if (isTicked(ui.checkboxPaste)) {
        pasteFromPasteboard();
    }
}

QString ViewController::display() const
{
    return ui.scratchPadRegister->text();
}

void ViewController::setDisplay(const QString &text)
{
    ++changes;
    ui.scratchPadRegister->setText(text);
    showRealTime();
}

timecode::Format ViewController::selectedFormat() const
{
    return timecode::formatForTitle(ui.popupFormat->currentText().toStdString());
}

void ViewController::keyEntry(const QString &keyText)
{
    const bool takeBack = keyText == QLatin1String("<");
    const timecode::Counting counting = selectedFormat().counting();
    const auto width = static_cast<qsizetype>(counting.entryWidth());

    if (!displayIsTimecode) {
        // Frame mode keeps the keyed text as it is, leading zeros included.
        const QString edited =
            takeBack ? withoutLastCharacter(display()) : lastCharacters(display() + keyText, width);
        const bool readable = timecode::frameCountFromText(edited.toStdString()).has_value();
        setDisplay(readable ? edited : QString());
        return;
    }

    // A timecode is rebuilt from digits alone; a key that is no digit has nothing to add.
    const std::string key = keyText.toStdString();
    if (!takeBack && (key.empty() || key.find_first_not_of("0123456789") != std::string::npos)) {
        return;
    }
    std::string digits = display().toStdString();
    std::erase_if(digits, [](char c) { return c == ':' || c == ';'; });
    if (digits.find_first_not_of("0123456789") != std::string::npos) {
        // The error text or anything else that is not a timecode is dropped with the key.
        setDisplay(QString());
        return;
    }
    if (takeBack) {
        if (!digits.empty()) {
            digits.pop_back();
        }
    } else {
        digits += key;
        if (digits.size() > static_cast<std::size_t>(width)) {
            digits.erase(0, digits.size() - width);
        }
    }
    // No digits left show nothing; a pasted or loaded text can hold more digits than the width.
    setDisplay(QString::fromLatin1(timecode::entryText(digits, counting)));
}

namespace {

/// The display text read as a frame number for an accumulator of this counting: a timecode in
/// timecode mode, a frame count reduced to one nominal day in frame mode.
std::optional<std::uint64_t> framesOfText(const std::string &text, bool timecodeMode,
                                          const timecode::Timecode &counting)
{
    if (timecodeMode) {
        return counting.framesFromTimecodeText(text);
    }
    const std::optional<std::uint64_t> count = timecode::frameCountFromText(text);
    if (!count) {
        return std::nullopt;
    }
    return *count % counting.nominalFramesPerDay();
}

} // namespace

void ViewController::calculate()
{
    const std::string text = display().toStdString();
    // The result is worked on a copy, so that a refused operand leaves the accumulator as it was.
    std::optional<timecode::Timecode> result = currentTimecode;
    if (!result) {
        const timecode::Format format = selectedFormat();
        result = timecode::createTimecode(format.rateText, format.dropFrame);
        if (!result) {
            return;
        }
    }
    // Without an accumulator the operand starts one, whatever the sign field says.
    const Sign pending = currentTimecode ? currentSign() : Sign::blank;
    bool ok = false;
    if (pending == Sign::blank) {
        const std::optional<std::uint64_t> frames = framesOfText(text, displayIsTimecode, *result);
        ok = frames.has_value();
        result->frameNumber = frames.value_or(0);
    } else if (pending == Sign::plus) {
        ok = displayIsTimecode ? result->addTimecodeText(text) : result->addFrameText(text);
    } else {
        ok = displayIsTimecode ? result->subtractTimecodeText(text)
                               : result->subtractFrameText(text);
    }
    if (!ok) {
        setDisplay(errorMessage);
        return;
    }
    if (!currentTimecode) {
        ui.popupFormat->setEnabled(false);
        ui.buttonRC->setEnabled(true);
    }
    const std::optional<timecode::Timecode> before = std::exchange(currentTimecode, result);
    setDisplay(accumulatorText());
    if (pending != Sign::blank) {
        ui.sign->clear();
    }
    writeOnTape(before, pending, text);
}

void ViewController::writeOnTape(const std::optional<timecode::Timecode> &before, Sign pending,
                                 const std::string &operand)
{
    const QString format = ui.popupFormat->currentText();
    if (pending == Sign::blank) {
        // A result read back (T/F after a result, a second "=", RC then "=") changes nothing.
        if (!before || before->frameNumber != currentTimecode->frameNumber) {
            paperTape.writeOperand(format, accumulatorText());
        }
        return;
    }
    // The operand as the calculator read it, in the display's own form.
    const timecode::Counting counting = currentTimecode->counting();
    const std::uint64_t frames = (displayIsTimecode ? before->framesFromTimecodeText(operand)
                                                    : timecode::frameCountFromText(operand))
                                     .value_or(0);
    const QString shown = displayIsTimecode
                              ? QString::fromStdString(timecode::timecodeText(frames, counting))
                              : QString::number(frames);
    const std::uint64_t day = counting.framesPerDay();
    const std::uint64_t from = before->frameNumber % day;
    const bool plus = pending == Sign::plus;
    const bool wrapped = plus ? frames >= day - from : frames > from;
    paperTape.writeOperation(format, plus ? u'+' : u'-', shown, accumulatorText(),
                             !wrapped ? Tape::Wrap::none
                             : plus   ? Tape::Wrap::forward
                                      : Tape::Wrap::backward);
}

void ViewController::clearEntry()
{
    if (!display().isEmpty()) {
        setDisplay(QString());
    } else {
        ++changes;
        ui.sign->clear();
    }
}

void ViewController::allClear()
{
    paperTape.endCalculation();
    ui.popupFormat->setEnabled(true);
    ui.buttonRC->setEnabled(false);
    setDisplay(QString());
    ui.sign->clear();
    currentTimecode.reset();
    showRealTime();
}

void ViewController::recall()
{
    if (currentTimecode) {
        setDisplay(accumulatorText());
    }
}

void ViewController::toggleDisplayMode()
{
    ++changes;
    displayIsTimecode = !displayIsTimecode;
    ui.timecodeOrFrame->setText(displayIsTimecode ? tr("Timecode") : tr("Frame"));
    if (!currentTimecode) {
        setDisplay(QString());
    } else if (!display().isEmpty()) {
        setDisplay(accumulatorText());
    }
}

void ViewController::setOperation(const QString &operation)
{
    if (!currentTimecode) {
        return;
    }
    ui.sign->setText(operation);
    setDisplay(QString());
}

ViewController::Sign ViewController::currentSign() const
{
    const QString text = ui.sign->text();
    if (text == QLatin1String("-")) {
        return Sign::minus;
    }
    if (text == QLatin1String("+")) {
        return Sign::plus;
    }
    return Sign::blank;
}

QString ViewController::accumulatorText() const
{
    if (!currentTimecode) {
        return QString();
    }
    if (displayIsTimecode) {
        return QString::fromStdString(currentTimecode->timecodeText());
    }
    return QString::number(currentTimecode->frameNumber);
}

void ViewController::clearAllMem()
{
    for (QString &text : dictMem) {
        text.clear();
    }
    userDefault->setDefMem(dictMem);
    userDefault->synchronize();
}

void ViewController::copyToPasteboard()
{
    const QString text = display();
    if (text == errorMessage || text.isEmpty() || !pasteboard) {
        return;
    }
    pasteboard->setString(text);
}

void ViewController::pasteFromPasteboard()
{
    if (!pasteboard) {
        return;
    }
    // The pasteboard belongs to this panel, so no reply outlives it. Another program may take a
    // few milliseconds to send the text; a key pressed meanwhile (the click that brought the
    // window forward, say) was meant for what the user saw, so a text that comes after any change
    // is dropped rather than laid over it.
    const std::uint64_t asked = changes;
    pasteboard->requestString([this, asked](const std::optional<QString> &text) {
        // Twelve characters hold the longest timecode; the rest of a long text is dropped here.
        if (text && changes == asked) {
            setDisplay(firstCharacters(*text, 12));
        }
    });
}

void ViewController::useTapeLine(int row)
{
    const QString value = paperTape.value(row);
    if (!value.isEmpty()) {
        setDisplay(value);
    }
}

void ViewController::copyTape()
{
    const QString text = paperTape.text();
    if (!text.isEmpty() && pasteboard) {
        pasteboard->setString(text);
    }
}

bool ViewController::tapeShown() const
{
    return userDefault->defTape();
}

void ViewController::keepTapeShown(bool shown)
{
    userDefault->setDefTape(shown);
    userDefault->synchronize();
}

void ViewController::enter()
{
    calculate();
}

void ViewController::enteredKeyNum(const QString &title)
{
    keyEntry(title);
}

void ViewController::enteredKey(const QString &title)
{
    runCommand(keyCommands, title, *this);
}

void ViewController::respondsToMenu(const QString &title)
{
    runCommand(menuCommands, title, *this);
}

void ViewController::memController(const QString &title, const QString &parentTitle)
{
    if (parentTitle == QLatin1String(saveMenuTitle)) {
        dictMem.insert(title, display());
        userDefault->setRegister(title, display());
        userDefault->synchronize();
    } else if (parentTitle == QLatin1String(loadMenuTitle)) {
        // A title that names no register is ignored like an empty register.
        const QString text = dictMem.value(title);
        if (!text.isEmpty()) {
            setDisplay(text);
        }
    } else if (title == QLatin1String(clearAllMemTitle)) {
        clearAllMem();
    }
}

void ViewController::memController(QAction *item)
{
    if (!item) {
        return;
    }
    for (QObject *holder : item->associatedObjects()) {
        if (const auto *menu = qobject_cast<QMenu *>(holder)) {
            memController(item->text(), menu->title());
            return;
        }
    }
}

void ViewController::changePopup()
{
    setDisplay(QString());
}

QStringList ViewController::keyCommandTitles()
{
    return titlesOf(keyCommands);
}

QStringList ViewController::menuCommandTitles()
{
    return titlesOf(menuCommands);
}

QStringList ViewController::memoryCommandTitles()
{
    return {QLatin1String(saveMenuTitle), QLatin1String(loadMenuTitle),
            QLatin1String(clearAllMemTitle)};
}

} // namespace panel
