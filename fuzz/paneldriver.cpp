#include "fuzz/paneldriver.h"

#include "panel/viewcontroller.h"

#include <QFile>
#include <QPushButton>

#include <memory>

namespace fuzz {

namespace {

// The titles the panel knows, and near misses of them: case, blanks, a neighbour's text.
const QStringList keyTitles = QString("0|1|5|9|00|<|+|-|C|AC|RC|T/F|=||c|1.5|+-|:| 1").split(u'|');
const QStringList menuTitles =
    QString("Copy|Paste|Recall|All Clear|Clear|Back Space|Change T/F|Paste |copy|").split(u'|');
const QStringList memoryParents = QString("Save|Load|Memory|").split(u'|');
// Pieces of clipboard texts: timecode material, and what breaks when text is cut by code units
// rather than by user-perceived characters.
const QStringList textPieces =
    QString::fromUtf8("0|1|59|:|;|-|+| |ERROR|\r\n|e\u0301|\U0001F600|\U0001F468\u200D\U0001F469|"
                      "\u0663|\uFEFF|01:00:00:00|00:01:00;02")
        .split(u'|');

class Driver
{
public:
    Driver(std::span<const std::uint8_t> bytes, const QString &file) : bytes(bytes), file(file)
    {
        QFile::remove(file);
        start();
    }

    std::size_t run(std::size_t maxSteps)
    {
        std::size_t steps = 0;
        for (; steps < maxSteps && position < bytes.size(); ++steps) {
            step();
            check();
        }
        return steps;
    }

private:
    std::uint8_t next() { return position < bytes.size() ? bytes[position++] : 0; }
    QString pick(const QStringList &titles) { return titles.at(next() % titles.size()); }
    const Ui::ViewController &ui() const { return panel->controls(); }
    QString display() const { return ui().scratchPadRegister->text(); }

    void require(bool holds, const char *rule) const
    {
        if (!holds) {
            qFatal("broken rule: %s (display \"%s\", sign \"%s\", at byte %zu)", rule,
                   qPrintable(display().left(40)), qPrintable(ui().sign->text()), position);
        }
    }

    void start()
    {
        panel = std::make_unique<panel::ViewController>();
        panel->usePasteboard(std::make_unique<StandInPasteboard>(clipboard));
        panel->usePreferences(std::make_unique<store::Preferences>(file));
        panel->viewDidLoad();
    }

    void step()
    {
        const std::uint8_t kind = next() % 14;
        const QString title = pick(keyTitles);
        if (kind < 6) {
            const auto keys = panel->findChildren<QPushButton *>();
            QPushButton *key = keys.at(next() % keys.size());
            press(key->text() == "=", [key] { key->click(); });
        } else if (kind == 6) {
            panel->enteredKeyNum(title);
        } else if (kind == 7) {
            press(title == "=", [&] { title == "=" ? panel->enter() : panel->enteredKey(title); });
        } else if (kind == 8) {
            panel->respondsToMenu(pick(menuTitles));
        } else if (kind == 9) {
            memory();
        } else if (kind == 10 && ui().popupFormat->isEnabled()) {
            ui().popupFormat->setCurrentIndex(next() % ui().popupFormat->count());
        } else if (kind == 11 || kind == 12) {
            paste(kind == 11 ? std::optional(generatedText()) : std::nullopt);
        } else if (kind == 13) {
            // Focus changes with the check boxes in any state; the outcomes are the panel test's.
            ui().checkboxCopy->setCheckState(static_cast<Qt::CheckState>(next() % 3));
            ui().checkboxPaste->setCheckState(static_cast<Qt::CheckState>(next() % 3));
            panel->automaticCopy();
            panel->automaticPaste();
        }
    }

    // Runs a key; after equals, the result must read back as the accumulator.
    template <typename Press>
    void press(bool equals, Press pressKey)
    {
        const auto before = panel->accumulator();
        const QString signBefore = ui().sign->text();
        pressKey();
        const auto &after = panel->accumulator();
        const std::string shown = display().toStdString();
        if (equals && shown == "ERROR") {
            require(after == before && ui().sign->text() == signBefore,
                    "a refused operand changes nothing but the display");
        } else if (equals) {
            require(after && ui().sign->text().isEmpty() &&
                        (panel->isTimecodeMode()
                             ? after->framesFromTimecodeText(shown) ==
                                   after->frameNumber % after->framesPerDay()
                             : timecode::frameCountFromText(shown) == after->frameNumber),
                    "equals leaves no sign and a result that reads back as the accumulator");
        }
    }

    void memory()
    {
        const std::uint8_t which = next() % 12;
        const QString item = which == 11 ? "Clear All Mem" : QString("Mem-%1").arg(which);
        const QString parent = pick(memoryParents);
        const QString before = display();
        panel->memController(item, parent);
        const QString held = panel->registers().value(item);
        require(parent == "Save"
                    ? held == before && display() == before
                    : display() == (parent == "Load" && !held.isEmpty() ? held : before),
                "a register keeps the display text as it is, and a load shows it");
    }

    QString generatedText()
    {
        QString text;
        for (int count = next() % 20; count > 0; --count) {
            // Rarely one long text: digits past any width, a lone surrogate, one character far
            // longer than the display and the store take.
            const std::uint8_t piece = next();
            text += piece < 240   ? textPieces.at(piece % textPieces.size())
                    : piece < 248 ? QString(300, u'9')
                    : piece < 252 ? QString(QChar(0xD800))
                    : piece < 255 ? QString("\U0001F600").repeated(5000)
                                  : QChar(u'1') + QString(70000, QChar(0x0301));
        }
        return text;
    }

    void paste(const std::optional<QString> &text)
    {
        clipboard = text;
        const QString before = display();
        panel->respondsToMenu("Paste");
        require(text ? text->left(display().size()) == display() &&
                           display().isEmpty() == text->isEmpty()
                     : display() == before,
                "a paste shows the start of the clipboard text, and nothing else changes it");
    }

    void check() const
    {
        const auto &accumulator = panel->accumulator();
        const QString sign = ui().sign->text();
        require(ui().popupFormat->isEnabled() == !accumulator &&
                    ui().buttonRC->isEnabled() == accumulator.has_value(),
                "the format is locked and recall offered exactly while a calculation runs");
        require(sign.isEmpty() || (accumulator && (sign == "+" || sign == "-")),
                "the sign field shows a pending operation only");
        require(ui().timecodeOrFrame->text() == (panel->isTimecodeMode() ? "Timecode" : "Frame"),
                "the label names the display mode");
        require(!accumulator || (accumulator->counting() == panel->selectedFormat().counting() &&
                                 accumulator->frameNumber < accumulator->nominalFramesPerDay()),
                "the accumulator counts in the selected format, within a day");
        for (const QString &name : store::registerNames()) {
            require(panel->registers().contains(name), "the nine registers stay");
        }
        require(panel::sharedViewController() == panel.get(), "the panel is the shared one");
    }

    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
    QString file;
    std::optional<QString> clipboard;
    std::unique_ptr<panel::ViewController> panel;
};

} // namespace

std::size_t drivePanel(std::span<const std::uint8_t> bytes, const QString &settingsFile,
                       std::size_t maxSteps)
{
    return Driver(bytes, settingsFile).run(maxSteps);
}

} // namespace fuzz
