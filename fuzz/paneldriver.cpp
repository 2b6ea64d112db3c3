#include "fuzz/paneldriver.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <string>

namespace fuzz {

namespace {

using Step = PanelDriver::Step;

// How many of the 256 values of a step's first byte select each kind, in the order of Step.
constexpr std::array<int, PanelDriver::stepKinds> stepWeights = {
    61, // digitKey
    40, // commandKey
    24, // equals
    30, // clickKey
    16, // pressKey
    24, // menu
    20, // memory
    12, // format
    12, // paste
    3,  // pasteOther
    4,  // checkBoxes
    3,  // automaticCopy
    4,  // automaticPaste
    2,  // restart
    1,  // restartEdited
};

constexpr int weightTotal()
{
    int total = 0;
    for (const int weight : stepWeights) {
        total += weight;
    }
    return total;
}
static_assert(weightTotal() == 256, "every byte value selects a step");

Step stepForByte(std::uint8_t byte)
{
    int upper = 0;
    for (std::size_t i = 0; i < stepWeights.size(); ++i) {
        upper += stepWeights[i];
        if (byte < upper) {
            return static_cast<Step>(i);
        }
    }
    return Step::restartEdited;
}

const char *stepName(Step step)
{
    static const char *const names[] = {
        "digit key",
        "command key",
        "equals",
        "click key",
        "press key",
        "menu",
        "memory",
        "format",
        "paste",
        "paste without text",
        "check boxes",
        "automatic copy",
        "automatic paste",
        "restart",
        "restart on an edited file",
    };
    return names[static_cast<std::size_t>(step)];
}

// Titles the actions may be sent: the real ones and near misses, which must do nothing.
const QStringList &digitTitles()
{
    static const QStringList titles = {"0",
                                       "1",
                                       "2",
                                       "3",
                                       "4",
                                       "5",
                                       "6",
                                       "7",
                                       "8",
                                       "9",
                                       "00",
                                       "123456789012",
                                       ".",
                                       "<",
                                       "",
                                       "a",
                                       " 1",
                                       "1 ",
                                       "+",
                                       "-",
                                       QString(QChar(0x0663)),
                                       QString(QChar(0xFF15)),
                                       QString(QChar(0x0301)),
                                       QStringLiteral("\U0001F600"),
                                       QString(QChar(0)),
                                       "10",
                                       "<<"};
    return titles;
}

const QStringList &commandTitles()
{
    static const QStringList titles = {"-",     "+",    "C", "AC", "RC", "<",  "T/F", "ac",
                                       "clear", "T/F ", "c", "",   "=",  "Ac", " C",  "RC\n"};
    return titles;
}

const QStringList &menuTitles()
{
    static const QStringList titles = {"Copy",        "Paste",      "Recall",     "All Clear",
                                       "Clear",       "Back Space", "Change T/F", "clear",
                                       "copy",        "Paste ",     "All  Clear", "",
                                       "Change T/F ", "Save",       "T/F",        "Clear All Mem"};
    return titles;
}

const QStringList &memoryParents()
{
    static const QStringList titles = {"Save", "Load",  "Memory", "",
                                       "save", "Load ", "LOAD",   "Edit"};
    return titles;
}

const QStringList &memoryItems()
{
    static const QStringList titles = {
        "Mem-1", "Mem-2",  "Mem-3", "Mem-4", "Mem-5", "Mem-6",         "Mem-7",  "Mem-8",
        "Mem-9", "Mem-10", "mem-1", "",      "Mem-0", "Clear All Mem", "Mem-1 ", "Mem/1"};
    return titles;
}

// Pieces of clipboard text: digits and separators, the error text, and what tends to break text
// handling: combining marks, emoji and their sequences, right-to-left text and controls, NUL,
// line ends, lone surrogates, full-width and Arabic-Indic digits.
const QStringList &textPieces()
{
    static const QStringList pieces = {
        "0",
        "1",
        "5",
        "9",
        ":",
        ";",
        "+",
        "-",
        ".",
        " ",
        "ERROR",
        "01:00:00:00",
        "00:01:00;00",
        "123456789012345",
        QString(QChar(0x0301)),
        QStringLiteral("e\u0301\u0302\u0303"),
        QStringLiteral("\U0001F600"),
        QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467"),
        QStringLiteral("\U0001F1EF\U0001F1F5"),
        QStringLiteral("\u05D0\u05D1"),
        QStringLiteral("\u0627\u0644"),
        QString(QChar(0x202E)),
        QString(QChar(0x0663)),
        QString(QChar(0xFF15)),
        QString(QChar(0xFEFF)),
        QStringLiteral("\r\n"),
        QStringLiteral("\n"),
        QStringLiteral("\r"),
        QString(QChar(0)),
        QString(QChar(0xD800)),
        QString(QChar(0xDC00)),
    };
    return pieces;
}

QString checkStateName(Qt::CheckState state)
{
    switch (state) {
    case Qt::Unchecked:
        return QStringLiteral("off");
    case Qt::PartiallyChecked:
        return QStringLiteral("mixed");
    case Qt::Checked:
        return QStringLiteral("on");
    }
    return QStringLiteral("?");
}

Qt::CheckState checkStateFrom(std::uint8_t value)
{
    static const Qt::CheckState states[] = {Qt::Unchecked, Qt::PartiallyChecked, Qt::Checked};
    return states[value % 3];
}

bool isAsciiDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

std::optional<timecode::Timecode> countingOfTitle(const QString &title)
{
    const std::string text = title.toStdString();
    const timecode::Format format = timecode::formatForTitle(text);
    return timecode::createTimecode(format.rateText, format.dropFrame);
}

/// What a restart must bring back of the registers saved: the register names only, each text
/// as it was, except that a text the file cannot hold (too long, or with half a surrogate pair)
/// comes back empty, and byte-order marks that open a text are gone.
store::RegisterMap storedRegisters(const store::RegisterMap &registers)
{
    store::RegisterMap kept;
    for (const QString &name : store::registerNames()) {
        if (registers.contains(name)) {
            QString text = registers.value(name);
            while (text.startsWith(QChar(0xFEFF))) {
                text.remove(0, 1);
            }
            const bool storable =
                text.size() <= store::Preferences::maxTextLength && text.isValidUtf16();
            kept.insert(name, storable ? text : QString());
        }
    }
    return kept;
}

// Qt keeps the contents of a settings file per process and reads the file again only when its
// size or modification time has changed. A restart here follows a save within the same
// millisecond, often with a file of the same size, which a real restart never does; give each
// version of the file a time of its own so that the next panel reads what is on disk.
void giveFileNewTime(const QString &path)
{
    static qint64 version = 0;
    QFile file(path);
    if (file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        const QDateTime base(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
        file.setFileTime(base.addSecs(++version), QFileDevice::FileModificationTime);
    }
}

// Whether text begins with start; null and empty texts count alike.
bool isStartOf(const QString &start, const QString &text)
{
    return start.isEmpty() || text.startsWith(start);
}

QString clipboardText()
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

bool clipboardHasText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data && data->hasFormat(QStringLiteral("text/plain"));
}

// A short, printable account of a text for failure messages.
QString shown(const QString &text)
{
    QString out;
    for (const QChar c : text.left(40)) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            out += c;
        } else {
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        }
    }
    if (text.size() > 40) {
        out += QStringLiteral("...(%1 units)").arg(text.size());
    }
    return u'"' + out + u'"';
}

} // namespace

std::uint8_t PanelDriver::opcode(Step step)
{
    int first = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(step); ++i) {
        first += stepWeights[i];
    }
    return static_cast<std::uint8_t>(first);
}

PanelDriver::PanelDriver(const QString &settingsFile) : settingsFile(settingsFile)
{
    QFile::remove(settingsFile);
    QGuiApplication::clipboard()->clear();
    startPanel();
    registerKeys = store::registerNames();
    checkRestart(Qt::Unchecked, Qt::Unchecked, QStringLiteral("30 NDF"), store::emptyRegisters());
}

PanelDriver::~PanelDriver() = default;

void PanelDriver::startPanel()
{
    controller = std::make_unique<panel::ViewController>();
    controller->usePreferences(std::make_unique<store::Preferences>(settingsFile));
    controller->viewDidLoad();
}

std::uint8_t PanelDriver::next()
{
    return position < input.size() ? input[position++] : 0;
}

QString PanelDriver::display() const
{
    return controller->controls().scratchPadRegister->text();
}

std::size_t PanelDriver::run(std::span<const std::uint8_t> bytes, std::size_t maxSteps)
{
    input = bytes;
    position = 0;
    std::size_t ran = 0;
    while (position < input.size() && ran < maxSteps) {
        const std::size_t offset = position;
        const Step step = stepForByte(next());
        recent[stepCount % recent.size()] = {step, offset};
        ++stepCount;
        ++ran;
        runStep(step);
        checkInvariants();
    }
    return ran;
}

void PanelDriver::runStep(Step step)
{
    const Ui::ViewController &ui = controller->controls();
    switch (step) {
    case Step::digitKey: {
        const QString title = digitTitles().value(next() % digitTitles().size());
        controller->enteredKeyNum(title);
        if (isAsciiDigits(title) || title == QLatin1String("<")) {
            checkKeyEntry(title != QLatin1String("<"));
        }
        break;
    }
    case Step::commandKey:
        enterKey(commandTitles().value(next() % commandTitles().size()));
        break;
    case Step::equals: {
        const std::optional<timecode::Timecode> before = controller->accumulator();
        const QString sign = ui.sign->text();
        controller->enter();
        checkEquals(before, sign);
        break;
    }
    case Step::clickKey:
        clickKey(next());
        break;
    case Step::pressKey:
        pressKey();
        break;
    case Step::menu: {
        const QString title = menuTitles().value(next() % menuTitles().size());
        const QString before = display();
        const QString clipboardBefore = clipboardText();
        controller->respondsToMenu(title);
        if (title == QLatin1String("Back Space")) {
            checkKeyEntry(false);
        } else if (title == QLatin1String("Copy")) {
            const bool copies = !before.isEmpty() && before != QLatin1String("ERROR");
            if (clipboardText() != (copies ? before : clipboardBefore)) {
                fail("\"Copy\" puts the display, unless empty or the error text, on the clipboard");
            }
        }
        break;
    }
    case Step::memory:
        memory();
        break;
    case Step::format:
        selectFormat();
        break;
    case Step::paste:
        paste();
        break;
    case Step::pasteOther:
        pasteOther();
        break;
    case Step::checkBoxes:
        setCheckBoxes();
        break;
    case Step::automaticCopy:
        automaticCopy();
        break;
    case Step::automaticPaste:
        automaticPaste();
        break;
    case Step::restart:
        restart();
        break;
    case Step::restartEdited:
        restartEdited();
        break;
    }
}

void PanelDriver::enterKey(const QString &title)
{
    const QString sign = controller->controls().sign->text();
    controller->enteredKey(title);
    if (title == QLatin1String("<")) {
        checkKeyEntry(false);
    } else if (title == QLatin1String("+") || title == QLatin1String("-")) {
        if (controller->accumulator() &&
            (controller->controls().sign->text() != title || !display().isEmpty())) {
            fail(
                "\"+\" or \"-\" with an accumulator records the operation and empties the display");
        }
    } else if (!commandTitles().mid(0, 7).contains(title) &&
               controller->controls().sign->text() != sign) {
        fail("a title that is no command changes nothing");
    }
}

void PanelDriver::clickKey(std::size_t index)
{
    const Ui::ViewController &ui = controller->controls();
    QPushButton *const keys[] = {ui.button0,     ui.button1,      ui.button2,      ui.button3,
                                 ui.button4,     ui.button5,      ui.button6,      ui.button7,
                                 ui.button8,     ui.button9,      ui.buttonPeriod, ui.buttonPlus,
                                 ui.buttonMinus, ui.buttonEquals, ui.buttonBS,     ui.buttonC,
                                 ui.buttonAC,    ui.buttonRC,     ui.buttonTF};
    QPushButton *key = keys[index % std::size(keys)];
    const std::optional<timecode::Timecode> before = controller->accumulator();
    const QString sign = ui.sign->text();
    key->click();
    if (key == ui.buttonEquals) {
        checkEquals(before, sign);
    } else if (key == ui.buttonBS) {
        checkKeyEntry(false);
    } else if (isAsciiDigits(key->text())) {
        checkKeyEntry(true);
    }
}

void PanelDriver::pressKey()
{
    static const Qt::Key keys[] = {
        Qt::Key_0,      Qt::Key_1,         Qt::Key_2,      Qt::Key_3,      Qt::Key_4,
        Qt::Key_5,      Qt::Key_6,         Qt::Key_7,      Qt::Key_8,      Qt::Key_9,
        Qt::Key_Period, Qt::Key_Plus,      Qt::Key_Minus,  Qt::Key_Enter,  Qt::Key_Return,
        Qt::Key_Equal,  Qt::Key_Backspace, Qt::Key_Escape, Qt::Key_Delete, Qt::Key_R,
        Qt::Key_T,      Qt::Key_A,         Qt::Key_Comma,  Qt::Key_C,      Qt::Key_V};
    static const Qt::KeyboardModifiers modifiers[] = {
        Qt::NoModifier,      Qt::ShiftModifier, Qt::KeypadModifier,
        Qt::ControlModifier, Qt::AltModifier,   Qt::ShiftModifier | Qt::KeypadModifier};
    const Qt::Key key = keys[next() % std::size(keys)];
    const std::uint8_t flags = next();
    const Qt::KeyboardModifiers modifier = modifiers[flags % std::size(modifiers)];
    // The panel itself or its display, which is read-only: a key the panel does not claim must
    // not change what it shows.
    QWidget *target = flags & 0x80
                          ? static_cast<QWidget *>(controller->controls().scratchPadRegister)
                          : static_cast<QWidget *>(controller.get());

    const std::optional<timecode::Timecode> before = controller->accumulator();
    const QString sign = controller->controls().sign->text();
    const QString shownBefore = display();
    const QString text = key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde
                             ? QString(QChar(static_cast<char16_t>(key)))
                             : QString();
    QKeyEvent override(QEvent::ShortcutOverride, key, modifier, text);
    QCoreApplication::sendEvent(target, &override);
    QKeyEvent press(QEvent::KeyPress, key, modifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifier, text);
    QCoreApplication::sendEvent(target, &release);

    // Keys from A on are none of the panel's, and neither is any key with Ctrl or Alt.
    const bool calculatorKey = !(modifier & (Qt::ControlModifier | Qt::AltModifier)) &&
                               std::find(keys, keys + 21, key) != keys + 21;
    const bool isEquals = key == Qt::Key_Enter || key == Qt::Key_Return || key == Qt::Key_Equal;
    if (calculatorKey && isEquals) {
        checkEquals(before, sign);
    } else if (calculatorKey && key >= Qt::Key_0 && key <= Qt::Key_9) {
        checkKeyEntry(true);
    } else if (!calculatorKey &&
               (controller->accumulator() != before ||
                controller->controls().sign->text() != sign || display() != shownBefore)) {
        fail("a key that is no calculator key changes nothing");
    }
}

void PanelDriver::memory()
{
    const QString parent = memoryParents().value(next() % memoryParents().size());
    const QString item = memoryItems().value(next() % memoryItems().size());
    const QString before = display();
    const store::RegisterMap registersBefore = controller->registers();
    controller->memController(item, parent);
    const store::RegisterMap &registers = controller->registers();

    if (parent == QLatin1String("Save")) {
        if (registers.value(item, QStringLiteral("<missing>")) != before || display() != before) {
            fail("a save stores the display under the item's title", item);
        }
        if (store::registerNames().contains(item) && !registerKeys.contains(item)) {
            registerKeys << item;
        }
    } else if (parent == QLatin1String("Load")) {
        const QString text = registersBefore.value(item);
        if (display() != (text.isEmpty() ? before : text) || registers != registersBefore) {
            fail("a load shows a register that holds text and changes nothing else", item);
        }
    } else if (item == QLatin1String("Clear All Mem")) {
        if (registers.keys() != registersBefore.keys() ||
            std::any_of(registers.cbegin(), registers.cend(),
                        [](const QString &text) { return !text.isEmpty(); })) {
            fail("\"Clear All Mem\" empties every register and keeps every name");
        }
    } else if (registers != registersBefore || display() != before) {
        fail("a memory command outside \"Save\" and \"Load\" does nothing", parent + u'/' + item);
    }
}

void PanelDriver::selectFormat()
{
    QComboBox *list = controller->controls().popupFormat;
    const std::uint8_t choice = next();
    // The list cannot be used while it is disabled.
    if (!list->isEnabled()) {
        return;
    }
    const int previous = list->currentIndex();
    list->setCurrentIndex(choice % list->count());
    if (list->currentIndex() != previous && !display().isEmpty()) {
        fail("choosing another format empties the display");
    }
}

QString PanelDriver::generatedText()
{
    const QStringList &pieces = textPieces();
    const int count = next() % 20;
    bool longOne = false;
    QString text;
    for (int i = 0; i < count; ++i) {
        const std::size_t choice = next() % (pieces.size() + 1);
        if (choice < static_cast<std::size_t>(pieces.size())) {
            text += pieces.at(choice);
            continue;
        }
        // Long texts are slow to lay out in the display; one in eight chances gives one.
        const std::uint8_t kind = next();
        if (longOne || kind % 8 != 0) {
            text += u'1';
            continue;
        }
        longOne = true;
        switch (kind / 8 % 4) {
        case 0:
            text += QString(10000, QChar(u'7'));
            break;
        case 1:
            text += QChar(u'1') + QString(9999, QChar(0x0301));
            break;
        case 2:
            text += QStringLiteral("\U0001F600").repeated(5000);
            break;
        default:
            // Rarely, one character longer than the display and the store take.
            text += kind / 32 % 8 == 0 ? QChar(u'1') + QString(70000, QChar(0x0301))
                                       : QString(10000, QChar(0x05D0));
            break;
        }
    }
    return text;
}

void PanelDriver::paste()
{
    const QString text = generatedText();
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    controller->respondsToMenu(QStringLiteral("Paste"));
    const QString shownNow = display();
    if (!isStartOf(shownNow, text) || shownNow.isEmpty() != text.isEmpty()) {
        fail("a paste shows the start of the clipboard text",
             shown(text) + QStringLiteral(" -> ") + shown(shownNow));
    }
}

void PanelDriver::pasteOther()
{
    switch (next() % 3) {
    case 0:
        QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
        break;
    case 1: {
        auto *data = new QMimeData;
        data->setData(QStringLiteral("image/png"), QByteArray("\x89PNG\r\n\x1a\n", 8));
        QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
        break;
    }
    default: {
        auto *data = new QMimeData;
        data->setUrls({QUrl(QStringLiteral("file:///tmp/01:00:00:00"))});
        QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
        break;
    }
    }
    const QString before = display();
    controller->respondsToMenu(QStringLiteral("Paste"));
    if (display() != before) {
        fail("a paste from a clipboard without plain text keeps the display");
    }
}

void PanelDriver::setCheckBoxes()
{
    const std::uint8_t states = next();
    controller->controls().checkboxCopy->setCheckState(checkStateFrom(states));
    controller->controls().checkboxPaste->setCheckState(checkStateFrom(states / 3));
}

void PanelDriver::automaticCopy()
{
    const QString before = display();
    const QString clipboardBefore = clipboardText();
    controller->automaticCopy();
    const bool copies = controller->controls().checkboxCopy->checkState() == Qt::Checked &&
                        !before.isEmpty() && before != QLatin1String("ERROR");
    if (clipboardText() != (copies ? before : clipboardBefore) || display() != before) {
        fail("the automatic copy copies a shown value only while its box is ticked");
    }
}

void PanelDriver::automaticPaste()
{
    const bool starting = controller->startingUp();
    const QString before = display();
    const bool pastes = !starting && clipboardHasText() &&
                        controller->controls().checkboxPaste->checkState() == Qt::Checked;
    const QString text = clipboardText();
    controller->automaticPaste();
    if (controller->startingUp()) {
        fail("the first activation ends the start-up");
    }
    const QString shownNow = display();
    if (pastes ? !isStartOf(shownNow, text) || shownNow.isEmpty() != text.isEmpty()
               : shownNow != before) {
        fail("the automatic paste pastes only after start-up and while its box is ticked");
    }
}

void PanelDriver::restart()
{
    const Ui::ViewController &ui = controller->controls();
    const Qt::CheckState copy = ui.checkboxCopy->checkState();
    const Qt::CheckState paste = ui.checkboxPaste->checkState();
    const QString format = ui.popupFormat->currentText();
    const store::RegisterMap expected = storedRegisters(controller->registers());
    if (!controller->savePreferences()) {
        QStringList texts;
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            texts << it.key() + u'=' + shown(it.value());
        }
        fail("saving the settings into a private folder succeeds",
             format + u' ' + texts.join(u' '));
    }
    controller.reset();
    giveFileNewTime(settingsFile);
    startPanel();
    registerKeys = expected.keys();
    checkRestart(copy, paste, format, expected);
}

void PanelDriver::restartEdited()
{
    const std::uint8_t low = next();
    const std::uint8_t high = next();
    const std::uint8_t settings = next();
    const unsigned mask = low | (high & 1u) << 8;
    static const char *const texts[] = {"01:00:00:00", "1800", "ERROR", "", "x y", "00:00:00;02"};
    static const char *const formats[] = {"25", "30 DF", "120 NDF", "29.97", "30", "30 df"};

    QByteArray file;
    const bool copy = settings & 1;
    const bool paste = settings & 2;
    const char *format = formats[(settings >> 2) % std::size(formats)];
    file += "[General]\ndefCopy=" + QByteArray(copy ? "true" : "false") +
            "\ndefPaste=" + QByteArray(paste ? "1" : "0") + "\ndefFormat=" + format + "\n";
    store::RegisterMap expected;
    if (mask != 0) {
        file += "\n[defMem]\n";
        for (int i = 0; i < 9; ++i) {
            if (mask & (1u << i)) {
                const char *text = texts[(i + high / 2) % std::size(texts)];
                // Quoted, as texts with ';' must be by hand.
                file += "Mem-" + QByteArray::number(i + 1) + "=\"" + text + "\"\n";
                expected.insert(QStringLiteral("Mem-%1").arg(i + 1), QString::fromLatin1(text));
            }
        }
    } else {
        expected = store::emptyRegisters();
    }

    // The run before ended without saving; someone then edited the file.
    controller.reset();
    QFile out(settingsFile);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size()) {
        fail("writing the edited settings file");
    }
    out.close();
    giveFileNewTime(settingsFile);
    startPanel();
    registerKeys = expected.keys();
    const QString shownFormat = countingOfTitle(QString::fromLatin1(format))
                                    ? QString::fromLatin1(format)
                                    : QStringLiteral("30 NDF");
    checkRestart(copy ? Qt::Checked : Qt::Unchecked, paste ? Qt::Checked : Qt::Unchecked,
                 shownFormat, expected);
}

void PanelDriver::checkInvariants()
{
    const panel::ViewController &c = *controller;
    const Ui::ViewController &ui = c.controls();
    const bool holding = c.accumulator().has_value();
    if (ui.popupFormat->isEnabled() == holding) {
        fail("the format list is enabled exactly while no accumulator exists");
    }
    if (ui.buttonRC->isEnabled() != holding) {
        fail("the recall key is enabled exactly while an accumulator exists");
    }
    const QString sign = ui.sign->text();
    if (!holding && !sign.isEmpty()) {
        fail("the sign field is empty while no accumulator exists");
    }
    if (!sign.isEmpty() && sign != QLatin1String("+") && sign != QLatin1String("-")) {
        fail("the sign field holds \"+\", \"-\" or nothing", shown(sign));
    }
    if (ui.timecodeOrFrame->text() !=
        (c.isTimecodeMode() ? QLatin1String("Timecode") : QLatin1String("Frame"))) {
        fail("the mode label names the display mode");
    }
    if (holding) {
        const std::optional<timecode::Timecode> selected =
            countingOfTitle(ui.popupFormat->currentText());
        if (!selected || selected->counting() != c.accumulator()->counting()) {
            fail("the accumulator counts as the selected format does");
        }
    }
    for (const QString &name : registerKeys) {
        if (!c.registers().contains(name)) {
            fail("no register is ever lost", name);
        }
    }
    if (panel::sharedViewController() != controller.get()) {
        fail("the running panel is the shared one");
    }
}

void PanelDriver::checkEquals(const std::optional<timecode::Timecode> &before,
                              const QString &signBefore)
{
    const panel::ViewController &c = *controller;
    const QString shownNow = display();
    if (shownNow == QLatin1String("ERROR")) {
        if (c.accumulator() != before || c.controls().sign->text() != signBefore) {
            fail("a failed calculation changes nothing but the display");
        }
        return;
    }
    if (!c.accumulator()) {
        fail("a calculation that shows no error leaves an accumulator");
    }
    if (!c.controls().sign->text().isEmpty()) {
        fail("a successful calculation leaves no operation pending");
    }
    const timecode::Timecode &accumulator = *c.accumulator();
    const std::string text = shownNow.toStdString();
    if (c.isTimecodeMode()) {
        if (accumulator.framesFromTimecodeText(text) !=
            accumulator.frameNumber % accumulator.framesPerDay()) {
            fail("a result in timecode mode reads back as the accumulator", shown(shownNow));
        }
    } else if (shownNow != QString::number(accumulator.frameNumber) ||
               accumulator.frameNumber >= accumulator.nominalFramesPerDay()) {
        fail("a result in frame mode is the accumulator's frame number within a day",
             shown(shownNow));
    }
}

void PanelDriver::checkKeyEntry(bool digitsOnly)
{
    const QString text = display();
    if (text.isEmpty()) {
        return;
    }
    const std::optional<timecode::Timecode> counting =
        countingOfTitle(controller->controls().popupFormat->currentText());
    if (!counting) {
        fail("a format of the list is one the model counts in");
    }
    const qsizetype width = counting->frameRate() == 120 ? 9 : 8;
    if (controller->isTimecodeMode()) {
        // HH:MM:SS, the frame separator of the format, then the frame digits.
        const qsizetype length = 9 + static_cast<qsizetype>(counting->counting().frameDigits());
        bool shaped = text.size() == length;
        for (qsizetype i = 0; shaped && i < length; ++i) {
            const QChar c = text.at(i);
            if (i == 2 || i == 5) {
                shaped = c == u':';
            } else if (i == 8) {
                shaped = c == QLatin1Char(counting->counting().frameSeparator());
            } else {
                shaped = c >= u'0' && c <= u'9';
            }
        }
        if (!shaped) {
            fail("key entry in timecode mode shows a timecode of the format", shown(text));
        }
        return;
    }
    if (!timecode::frameCountFromText(text.toStdString()) || (digitsOnly && text.size() > width)) {
        fail("key entry in frame mode shows a readable count of at most the entry width",
             shown(text));
    }
}

void PanelDriver::checkRestart(Qt::CheckState copy, Qt::CheckState paste, const QString &format,
                               const store::RegisterMap &expected)
{
    const panel::ViewController &c = *controller;
    const Ui::ViewController &ui = c.controls();
    const auto restored = [](Qt::CheckState saved) {
        return saved == Qt::Checked ? Qt::Checked : Qt::Unchecked;
    };
    if (ui.checkboxCopy->checkState() != restored(copy) ||
        ui.checkboxPaste->checkState() != restored(paste)) {
        fail("a restart restores the check boxes",
             checkStateName(copy) + u'/' + checkStateName(paste) + QStringLiteral(" -> ") +
                 checkStateName(ui.checkboxCopy->checkState()) + u'/' +
                 checkStateName(ui.checkboxPaste->checkState()));
    }
    if (ui.popupFormat->currentText() != format) {
        fail("a restart restores the format",
             format + QStringLiteral(" -> ") + ui.popupFormat->currentText());
    }
    if (c.registers() != expected) {
        fail("a restart restores the registers");
    }
    if (!display().isEmpty() || !ui.sign->text().isEmpty() || !c.isTimecodeMode() ||
        c.accumulator() || !c.startingUp()) {
        fail("a started panel is in its start state");
    }
}

void PanelDriver::fail(const char *rule, const QString &detail) const
{
    QString message = QStringLiteral("panel fuzz: broken rule: %1").arg(QLatin1String(rule));
    if (!detail.isEmpty()) {
        message += QStringLiteral(" [%1]").arg(detail);
    }
    if (controller) {
        const panel::ViewController &c = *controller;
        message +=
            QStringLiteral("\n  display %1, sign %2, %3 mode, format %4, accumulator %5")
                .arg(shown(display()), shown(c.controls().sign->text()),
                     c.isTimecodeMode() ? QStringLiteral("timecode") : QStringLiteral("frame"),
                     c.controls().popupFormat->currentText(),
                     c.accumulator() ? QString::number(c.accumulator()->frameNumber)
                                     : QStringLiteral("none"));
    }
    message += QStringLiteral("\n  last steps (newest last):");
    const std::size_t shownSteps = std::min(stepCount, recent.size());
    for (std::size_t i = stepCount - shownSteps; i < stepCount; ++i) {
        const Record &record = recent[i % recent.size()];
        message += QStringLiteral("\n    #%1 %2 at byte %3")
                       .arg(i)
                       .arg(QLatin1String(stepName(record.step)))
                       .arg(record.offset);
    }
    qFatal("%s", qPrintable(message));
}

} // namespace fuzz
