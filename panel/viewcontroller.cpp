#include "panel/viewcontroller.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QShortcut>
#include <QTextBoundaryFinder>

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

bool displayIsEmpty(const ViewController &controller)
{
    return controller.controls().scratchPadRegister->text().isEmpty();
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
    {"C",
     [](ViewController &c) {
         c.clearEntry();
     }},
    {"AC",
     [](ViewController &c) {
         c.allClear();
     }},
    {"RC",
     [](ViewController &c) {
         c.recall();
     }},
    {"<",
     [](ViewController &c) {
         c.keyEntry(QStringLiteral("<"));
     }},
    // The key completes a keyed operand before switching, so the entry is not lost.
    {"T/F",
     [](ViewController &c) {
         if (!displayIsEmpty(c)) {
             c.calculate();
         }
         c.toggleDisplayMode();
     }},
};

const TitledCommand menuCommands[] = {
    {"Copy",
     [](ViewController &c) {
         if (!displayIsEmpty(c)) {
             c.copyToPasteboard();
         }
     }},
    {"Paste",
     [](ViewController &c) {
         c.pasteFromPasteboard();
     }},
    {"Recall",
     [](ViewController &c) {
         c.recall();
     }},
    {"All Clear",
     [](ViewController &c) {
         c.allClear();
     }},
    {"Clear",
     [](ViewController &c) {
         c.clearEntry();
     }},
    {"Back Space",
     [](ViewController &c) {
         c.keyEntry(QStringLiteral("<"));
     }},
    // Unlike the key, the menu item only switches: a keyed operand is dropped.
    {"Change T/F",
     [](ViewController &c) {
         c.toggleDisplayMode();
     }},
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

// The keyboard drives the panel's keys: each key press clicks the button it stands for, so it
// goes through exactly the same action as a mouse click.
struct KeyBinding
{
    Qt::Key key;
    QPushButton *Ui::ViewController::*button;
};

const KeyBinding keyBindings[] = {
    {Qt::Key_0, &Ui::ViewController::button0},
    {Qt::Key_1, &Ui::ViewController::button1},
    {Qt::Key_2, &Ui::ViewController::button2},
    {Qt::Key_3, &Ui::ViewController::button3},
    {Qt::Key_4, &Ui::ViewController::button4},
    {Qt::Key_5, &Ui::ViewController::button5},
    {Qt::Key_6, &Ui::ViewController::button6},
    {Qt::Key_7, &Ui::ViewController::button7},
    {Qt::Key_8, &Ui::ViewController::button8},
    {Qt::Key_9, &Ui::ViewController::button9},
    {Qt::Key_Period, &Ui::ViewController::buttonPeriod},
    {Qt::Key_Plus, &Ui::ViewController::buttonPlus},
    {Qt::Key_Minus, &Ui::ViewController::buttonMinus},
    {Qt::Key_Enter, &Ui::ViewController::buttonEquals},
    {Qt::Key_Return, &Ui::ViewController::buttonEquals},
    {Qt::Key_Equal, &Ui::ViewController::buttonEquals},
    {Qt::Key_Backspace, &Ui::ViewController::buttonBS},
    {Qt::Key_Escape, &Ui::ViewController::buttonC},
    {Qt::Key_Delete, &Ui::ViewController::buttonAC},
    {Qt::Key_R, &Ui::ViewController::buttonRC},
    {Qt::Key_T, &Ui::ViewController::buttonTF},
};

// Counting and cutting in user-perceived characters, so that a letter with a combining mark, or
// CR LF, is never split.
qsizetype lengthOfFirstCharacters(const QString &text, qsizetype count)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype position = 0;
    for (qsizetype i = 0; i < count && position < text.size(); ++i) {
        position = finder.toNextBoundary();
    }
    return position;
}

qsizetype characterCount(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

QString lastCharacters(const QString &text, qsizetype count)
{
    const qsizetype surplus = characterCount(text) - count;
    return surplus > 0 ? text.mid(lengthOfFirstCharacters(text, surplus)) : text;
}

QString withoutLastCharacter(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.toEnd();
    const qsizetype start = finder.toPreviousBoundary();
    return start > 0 ? text.left(start) : QString();
}

bool isAsciiDigitText(const QString &text)
{
    if (text.isEmpty()) {
        return false;
    }
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

} // namespace

namespace {

// The one panel of the process. The window owns the widget; this only finds it.
QPointer<ViewController> registeredController;

// Tints the operator keys towards the palette's highlight colour, and tints them again whenever
// the desktop changes the palette, so the accent suits a light and a dark palette alike.
class OperatorAccent : public QObject
{
public:
    OperatorAccent(QWidget *panel, QList<QPushButton *> keys)
        : QObject(panel), keys(std::move(keys))
    {
        apply(panel->palette());
        panel->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange && !applying) {
            apply(static_cast<QWidget *>(watched)->palette());
        }
        return false;
    }

private:
    void apply(const QPalette &panelPalette)
    {
        applying = true;
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            const QColor button = panelPalette.color(group, QPalette::Button);
            const QColor highlight = panelPalette.color(group, QPalette::Highlight);
            const qreal share = 0.15;
            const QColor tint =
                QColor::fromRgbF(button.redF() * (1 - share) + highlight.redF() * share,
                                 button.greenF() * (1 - share) + highlight.greenF() * share,
                                 button.blueF() * (1 - share) + highlight.blueF() * share);
            for (QPushButton *key : keys) {
                QPalette keyPalette = key->palette();
                keyPalette.setColor(group, QPalette::Button, tint);
                key->setPalette(keyPalette);
            }
        }
        applying = false;
    }

    QList<QPushButton *> keys;
    bool applying = false;
};

void followPalette(QWidget *panel, QList<QPushButton *> keys)
{
    new OperatorAccent(panel, std::move(keys));
}

bool isTicked(const QCheckBox *box)
{
    // A check box in the mixed state is not ticked.
    return box->checkState() == Qt::Checked;
}

} // namespace

ViewController *sharedViewController()
{
    return registeredController.data();
}

ViewController::ViewController(QWidget *parent)
    : QWidget(parent), userDefault(std::make_unique<store::Preferences>())
{
    ui.setupUi(this);

    // The value is what the eye looks for first: a fixed-pitch font, so digits stay put as they
    // change, at about twice the size of the keys' text.
    QFont displayFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    displayFont.setPointSizeF(font().pointSizeF() * 2.0);
    ui.scratchPadRegister->setFont(displayFont);
    ui.sign->setFont(displayFont);
    const QFontMetrics metrics(displayFont);
    // Room for the longest timecode (three frame digits) and a little air.
    ui.scratchPadRegister->setMinimumWidth(
        metrics.horizontalAdvance(QStringLiteral("00:00:00;000")) + metrics.averageCharWidth() * 2);
    ui.sign->setFixedWidth(metrics.averageCharWidth() * 2);

    // The operator symbols are thin glyphs; larger and bold they read as well as the digits.
    for (QPushButton *key : {ui.buttonPlus, ui.buttonMinus, ui.buttonEquals}) {
        QFont operatorFont = key->font();
        operatorFont.setPointSizeF(font().pointSizeF() * 1.4);
        key->setFont(operatorFont);
    }
    followPalette(this, {ui.buttonPlus, ui.buttonMinus, ui.buttonEquals});

    wireKeys();
}

void ViewController::wireKeys()
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

    // Tell each key which keyboard keys press it.
    QHash<QPushButton *, QStringList> keyNames;
    for (const KeyBinding &binding : keyBindings) {
        keyNames[ui.*binding.button]
            << QKeySequence(binding.key).toString(QKeySequence::NativeText);
    }
    for (auto it = keyNames.cbegin(); it != keyNames.cend(); ++it) {
        const QString description = it.key()->toolTip();
        const QString keys = it.value().join(QStringLiteral(", "));
        it.key()->setToolTip(description.isEmpty() ? tr("Key: %1").arg(keys)
                                                   : tr("%1 (key: %2)").arg(description, keys));
        // A screen reader speaks the description rather than the tooltip once one is set.
        const QString spoken = it.key()->accessibleDescription();
        if (!spoken.isEmpty()) {
            it.key()->setAccessibleDescription(tr("%1 (key: %2)").arg(spoken, keys));
        }
    }

    // The format list has no label to carry a mnemonic; Alt+F reaches it all the same.
    auto *formatShortcut = new QShortcut(QKeySequence(tr("Alt+F")), this);
    formatShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(formatShortcut, &QShortcut::activated, ui.popupFormat,
            [this] { ui.popupFormat->setFocus(Qt::ShortcutFocusReason); });

    // Keys reach the panel whichever of its focusable controls has focus.
    for (QWidget *target : std::initializer_list<QWidget *>{
             this, ui.scratchPadRegister, ui.popupFormat, ui.checkboxCopy, ui.checkboxPaste}) {
        target->installEventFilter(this);
    }
}

QPushButton *ViewController::keyForEvent(const QKeyEvent &event) const
{
    const Qt::KeyboardModifiers commandModifiers =
        event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (commandModifiers != Qt::NoModifier) {
        return nullptr;
    }
    for (const KeyBinding &binding : keyBindings) {
        if (binding.key == event.key()) {
            return ui.*binding.button;
        }
    }
    return nullptr;
}

bool ViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Claim the calculator's keys so they arrive as key presses below, also where a menu
        // item shows the same key (that item does what the key does). Leave every other
        // combination to the window's shortcuts: a focused display would otherwise take Ctrl+C
        // as a copy of its selection and the menu's Copy would never run.
        if (keyForEvent(*static_cast<QKeyEvent *>(event))) {
            event->accept();
        } else {
            event->ignore();
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        if (QPushButton *key = keyForEvent(*static_cast<QKeyEvent *>(event))) {
            key->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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

    // From here on every change of a kept setting goes to the file at once, so that none is lost
    // when the process ends without quitting (the display server gone, SIGKILL, a power cut).
    connect(ui.checkboxCopy, &QCheckBox::stateChanged, this, [this] {
        userDefault->setDefCopy(isTicked(ui.checkboxCopy));
        userDefault->synchronize();
    });
    connect(ui.checkboxPaste, &QCheckBox::stateChanged, this, [this] {
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

bool ViewController::savePreferences()
{
    // Each change went to the store as it happened; a write that failed then is retried here,
    // and a first run that changed nothing leaves all four settings in the file.
    return userDefault->synchronize();
}

void ViewController::automaticCopy()
{
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
    ui.scratchPadRegister->setText(text);
}

timecode::Format ViewController::selectedFormat() const
{
    const std::string title = ui.popupFormat->currentText().toStdString();
    const timecode::Format format = timecode::formatForTitle(title);
    // An unknown title comes back viewing our local string; return nothing that outlives it.
    return format.rateText.empty() ? timecode::Format{} : format;
}

void ViewController::keyEntry(const QString &keyText)
{
    const bool takeBack = keyText == QLatin1String("<");
    const timecode::Format format = selectedFormat();
    const qsizetype width = format.rateText == "120" ? 9 : 8;

    if (!displayIsTimecode) {
        // Frame mode keeps the keyed text as it is, leading zeros included.
        const QString edited =
            takeBack ? withoutLastCharacter(display()) : lastCharacters(display() + keyText, width);
        const bool readable = timecode::frameCountFromText(edited.toStdString()).has_value();
        setDisplay(readable ? edited : QString());
        return;
    }

    // A timecode is rebuilt from digits alone; a key that is no digit has nothing to add.
    if (!takeBack && !isAsciiDigitText(keyText)) {
        return;
    }
    std::string digits;
    for (const QChar c : display()) {
        if (c == QLatin1Char(':') || c == QLatin1Char(';')) {
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            // The error text or anything else that is not a timecode is dropped with the key.
            setDisplay(QString());
            return;
        }
        digits += c.toLatin1();
    }
    if (takeBack) {
        if (!digits.empty()) {
            digits.pop_back();
        }
    } else {
        digits += keyText.toStdString();
        if (digits.size() > static_cast<std::size_t>(width)) {
            digits.erase(0, digits.size() - width);
        }
    }
    if (digits.empty()) {
        setDisplay(QString());
        return;
    }

    // Drop the leading zeros, then pad to the entry width. A pasted or loaded text can hold more
    // digits than that; taking one back then shows the first `width` of them, working on the
    // digit string itself so that no length can overflow a number.
    const std::size_t firstSignificant = digits.find_first_not_of('0');
    std::string numeral =
        firstSignificant == std::string::npos ? std::string("0") : digits.substr(firstSignificant);
    if (numeral.size() < static_cast<std::size_t>(width)) {
        numeral.insert(0, width - numeral.size(), '0');
    } else {
        numeral.resize(width);
    }
    const char frameSeparator = format.dropFrame ? ';' : ':';
    const std::string text = numeral.substr(0, 2) + ':' + numeral.substr(2, 2) + ':' +
                             numeral.substr(4, 2) + frameSeparator + numeral.substr(6);
    setDisplay(QString::fromLatin1(text));
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

    if (!currentTimecode) {
        const timecode::Format format = selectedFormat();
        std::optional<timecode::Timecode> started =
            timecode::createTimecode(format.rateText, format.dropFrame);
        if (!started) {
            return;
        }
        const std::optional<std::uint64_t> frames = framesOfText(text, displayIsTimecode, *started);
        if (!frames) {
            setDisplay(errorMessage);
            return;
        }
        started->frameNumber = *frames;
        ui.popupFormat->setEnabled(false);
        ui.buttonRC->setEnabled(true);
        currentTimecode = started;
        setDisplay(accumulatorText());
        return;
    }

    timecode::Timecode &accumulator = *currentTimecode;
    const Sign pending = currentSign();
    if (pending == Sign::blank) {
        const std::optional<std::uint64_t> frames =
            framesOfText(text, displayIsTimecode, accumulator);
        if (!frames) {
            setDisplay(errorMessage);
            return;
        }
        accumulator.frameNumber = *frames;
        setDisplay(accumulatorText());
        return;
    }

    bool ok = false;
    if (pending == Sign::plus) {
        ok = displayIsTimecode ? accumulator.addTimecodeText(text) : accumulator.addFrameText(text);
    } else {
        ok = displayIsTimecode ? accumulator.subtractTimecodeText(text)
                               : accumulator.subtractFrameText(text);
    }
    if (!ok) {
        setDisplay(errorMessage);
        return;
    }
    setDisplay(accumulatorText());
    ui.sign->clear();
}

void ViewController::clearEntry()
{
    if (!display().isEmpty()) {
        setDisplay(QString());
    } else {
        ui.sign->clear();
    }
}

void ViewController::allClear()
{
    ui.popupFormat->setEnabled(true);
    ui.buttonRC->setEnabled(false);
    setDisplay(QString());
    ui.sign->clear();
    currentTimecode.reset();
}

void ViewController::recall()
{
    if (currentTimecode) {
        setDisplay(accumulatorText());
    }
}

void ViewController::toggleDisplayMode()
{
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
    if (text == errorMessage || text.isEmpty()) {
        return;
    }
    // setText replaces everything the clipboard held, so the text is its only content.
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void ViewController::pasteFromPasteboard()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    // Plain text only: QMimeData::hasText() would also take a list of copied files as text.
    if (!data || !data->hasFormat(QStringLiteral("text/plain"))) {
        return;
    }
    // Twelve characters hold the longest timecode; the rest of a long text is dropped here.
    const QString text = data->text();
    setDisplay(text.left(lengthOfFirstCharacters(text, 12)));
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
