// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/viewcontroller.h"

#include "panel/appearance.h"
#include "panel/calculation.h"
#include "panel/characters.h"
#include "panel/commands.h"
#include "panel/keyboard.h"
#include "timecode/rates.h"
#include "timecode/realtime.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPointer>

#include <string>

namespace panel {

namespace {

const char *const saveMenuTitle = "Save";
const char *const loadMenuTitle = "Load";
const char *const clearAllMemTitle = "Clear All Mem";

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
    readout = new RealTimeReadout(ui.realTime);
    applyAppearance(this, ui);
    wireControls();
}

void ViewController::wireControls()
{
    for (QPushButton *key : {ui.button0, ui.button1, ui.button2, ui.button3, ui.button4, ui.button5,
                             ui.button6, ui.button7, ui.button8, ui.button9, ui.buttonPeriod}) {
        connect(key, &QPushButton::clicked, this, [this, key] { enteredKeyNum(key->text()); });
    }
    for (QPushButton *key :
         {ui.buttonPlus, ui.buttonMinus, ui.buttonTimes, ui.buttonDivide, ui.buttonC, ui.buttonAC,
          ui.buttonRC, ui.buttonBS, ui.buttonTF, ui.buttonClock}) {
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
    setSign(QString());
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
    showRate();
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

Reading ViewController::reading() const
{
    // A multiplication or division waits for a plain number, whatever the display mode.
    const Sign pending = currentSign();
    if (currentTimecode && (pending == Sign::times || pending == Sign::dividedBy)) {
        return Reading::count;
    }
    return displayIsTimecode ? Reading::timecode : Reading::frames;
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
    const std::optional<QString> edited =
        keyedText(display(), keyText, selectedFormat().counting(), reading());
    if (edited) {
        setDisplay(*edited);
    }
}

bool ViewController::calculate()
{
    std::optional<timecode::Timecode> start = currentTimecode;
    if (!start) {
        const timecode::Format format = selectedFormat();
        start = timecode::createTimecode(format.rateText, format.dropFrame);
        if (!start) {
            return false;
        }
    }
    // Without an accumulator the operand starts one, whatever the sign field says.
    const Sign pending = currentTimecode ? currentSign() : Sign::blank;
    const std::optional<Step> step =
        equalsStep(*start, pending, display().toStdString(), reading(), pulledDown());
    if (!step) {
        setDisplay(errorMessage);
        return false;
    }
    if (!currentTimecode) {
        ui.popupFormat->setEnabled(false);
        ui.buttonRC->setEnabled(true);
    }
    const std::optional<timecode::Timecode> before = std::exchange(currentTimecode, step->result);
    const QString format = ui.popupFormat->currentText();
    setDisplay(accumulatorText());
    if (pending != Sign::blank) {
        paperTape.writeOperation(format, ui.sign->text().front(), step->operand, accumulatorText(),
                                 step->note, step->clock);
        setSign(QString());
    } else if (!before || before->frameNumber != currentTimecode->frameNumber) {
        // A result read back (T/F after a result, a second "=", RC then "=") changes nothing.
        paperTape.writeOperand(format, accumulatorText(), step->clock);
    }
    return true;
}

void ViewController::clearEntry()
{
    if (!display().isEmpty()) {
        setDisplay(QString());
    } else {
        ++changes;
        setSign(QString());
    }
}

void ViewController::allClear()
{
    paperTape.endCalculation();
    ui.popupFormat->setEnabled(true);
    ui.buttonRC->setEnabled(false);
    // Without a running total first, so that the display's change leaves the real-time line empty.
    currentTimecode.reset();
    setDisplay(QString());
    setSign(QString());
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
    setSign(operation);
    setDisplay(QString());
}

ViewController::Sign ViewController::currentSign() const
{
    return signOf(ui.sign->text());
}

void ViewController::setSign(const QString &text)
{
    // "×" and "÷" are read out in words; "+" and "-" are read as they are.
    const Sign sign = signOf(text);
    ui.sign->setAccessibleName(sign == Sign::times       ? tr("times")
                               : sign == Sign::dividedBy ? tr("divided by")
                                                         : QString());
    ui.sign->setText(text);
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

void ViewController::keepRealTimeShown(bool shown)
{
    ui.realTime->setVisible(shown);
    showRealTime();
    userDefault->setDefRealTime(shown);
    userDefault->synchronize();
}

std::optional<std::uint64_t> ViewController::realTimeFrames() const
{
    const timecode::Counting counting = selectedFormat().counting();
    std::optional<std::uint64_t> frames;
    // A count to multiply or divide by is no duration.
    if (const Reading read = reading(); read != Reading::count) {
        frames = framesOfText(display().toStdString(), read, counting, pulledDown());
    }
    if (!frames && currentTimecode) {
        frames = currentTimecode->frameNumber;
    }
    return frames;
}

void ViewController::showRealTime()
{
    readout->show(realTimeFrames(), selectedFormat().counting(), pulledDown());
}

void ViewController::keepFractionalRate(bool on)
{
    userDefault->setDefFractionalRate(on);
    userDefault->synchronize();
    showRate();
}

bool ViewController::pulledDown() const
{
    return timecode::isPulledDown(selectedFormat().counting(), fractionalRate());
}

void ViewController::showRate()
{
    const timecode::Counting counting = selectedFormat().counting();
    const QString rate =
        QString::fromStdString(timecode::realTimeRateText(counting, pulledDown()).value_or(""));
    //: The frame rate the video of the selected format runs at: "at 29.97".
    ui.rateInUse->setText(tr("at %1").arg(rate));
    ui.rateInUse->setAccessibleDescription(tr("%1 frames a second").arg(rate));
    showRealTime();
    emit rateChanged();
}

void ViewController::showTotal(const timecode::Timecode &total)
{
    currentTimecode = total;
    setDisplay(accumulatorText());
}

void ViewController::copyRealTime()
{
    // What the line shows: a hidden line shows nothing and copies nothing.
    const std::vector<timecode::RealTimeFigure> &figures = readout->figures();
    if (!figures.empty() && pasteboard) {
        pasteboard->setString(QString::fromStdString(figures.front().duration));
    }
}

void ViewController::keepTapeShown(bool shown)
{
    userDefault->setDefTape(shown);
    userDefault->synchronize();
}

void ViewController::enteredKey(const QString &title)
{
    runKeyCommand(*this, title);
}

void ViewController::respondsToMenu(const QString &title)
{
    runMenuCommand(*this, title);
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
    showRate();
}

QStringList ViewController::keyCommandTitles()
{
    return keyTitles();
}

QStringList ViewController::menuCommandTitles()
{
    return menuTitles();
}

QStringList ViewController::memoryCommandTitles()
{
    return {QLatin1String(saveMenuTitle), QLatin1String(loadMenuTitle),
            QLatin1String(clearAllMemTitle)};
}

} // namespace panel
