#include "fuzz/paneldriver.h"

#include <QDateTime>
#include <QFile>
#include <QPushButton>

#include <algorithm>
#include <functional>
#include <map>

namespace fuzz {

namespace {

QByteArray contents(const QString &file)
{
    QFile saved(file);
    return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
}

} // namespace

PanelScript::PanelScript(const QString &settingsFile) : file(settingsFile)
{
    QFile::remove(file);
    start();
}

void PanelScript::start()
{
    controller.reset();
    controller = std::make_unique<panel::ViewController>();
    controller->usePasteboard(std::make_unique<StandInPasteboard>(clipboard));
    controller->usePreferences(std::make_unique<store::Preferences>(file));
    controller->viewDidLoad();
}

std::optional<QString> PanelScript::step(const QString &kind, const QString &arg)
{
    panel::ViewController &p = *controller;
    const Ui::ViewController &ui = p.controls();
    QString failure;
    const std::map<QString, std::function<void()>> actions = {
        {"key", [&] { p.enteredKey(arg); }},
        {"num", [&] { p.enteredKeyNum(arg); }},
        {"menu", [&] { p.respondsToMenu(arg); }},
        {"mem", [&] { p.memController(arg.section('/', 1), arg.section('/', 0, 0)); }},
        {"format", [&] { ui.popupFormat->setCurrentText(arg); }},
        {"set", [&] { ui.scratchPadRegister->setText(arg); }},
        {"clip", [&] { clipboard = arg; }},
        {"noclip", [&] { clipboard.reset(); }},
        {"paste", [&] { clipboard = arg, p.respondsToMenu("Paste"); }},
        {"boxes",
         [&] {
             ui.checkboxCopy->setCheckState(Qt::CheckState(arg.left(1).toInt()));
             ui.checkboxPaste->setCheckState(Qt::CheckState(arg.mid(1).toInt()));
         }},
        {"out", [&] { p.automaticCopy(); }},
        {"in", [&] { p.automaticPaste(); }},
        {"restart", [&] { p.savePreferences() ? start() : void(failure = "the save failed"); }},
        {"mark", [&] { marked = contents(file); }},
    };
    // A check: the value it names, as text, must be the argument.
    const std::map<QString, std::function<QString()>> values = {
        {"?display", [&] { return ui.scratchPadRegister->text(); }},
        {"?clip", [&] { return clipboard.value_or("<none>"); }},
        {"?format", [&] { return ui.popupFormat->currentText(); }},
        {"?boxes",
         [&] {
             return QString("%1%2")
                 .arg(int(ui.checkboxCopy->checkState()))
                 .arg(int(ui.checkboxPaste->checkState()));
         }},
        {"?unchanged", [&] { return QString(contents(file) == marked ? "" : "changed"); }},
        {"?file",
         [&] { return contents(file).split('\n').contains(arg.toUtf8()) ? arg : "missing"; }},
    };
    const auto keys = p.findChildren<QPushButton *>();
    const auto key =
        std::find_if(keys.begin(), keys.end(), [&](auto *b) { return b->text() == kind; });
    if (actions.count(kind)) {
        actions.at(kind)();
    } else if (values.count(kind) || kind.startsWith("?Mem-")) {
        const QString value =
            values.count(kind) ? values.at(kind)() : p.registers().value(kind.mid(1), "<missing>");
        if (value != arg) {
            failure = QString("%1 is \"%2\", not \"%3\"").arg(kind, value, arg);
        }
    } else if (key != keys.end()) {
        (*key)->click();
    } else {
        failure = "no such step";
    }
    return failure.isEmpty() ? std::nullopt : std::optional(failure);
}

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
    Driver(std::span<const std::uint8_t> bytes, const QString &file) : bytes(bytes), script(file) {}

    std::size_t run(std::size_t maxSteps)
    {
        std::size_t steps = 0;
        for (; steps < maxSteps && position < bytes.size(); ++steps) {
            step();
        }
        return steps;
    }

private:
    std::uint8_t next() { return position < bytes.size() ? bytes[position++] : 0; }
    QString pick(const QStringList &titles) { return titles.at(next() % titles.size()); }

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

    // A step of a kind the next byte picks, with its argument.
    QStringList decode()
    {
        const auto keys = script.panel().findChildren<QPushButton *>();
        const auto memoryItem = [&] {
            const std::uint8_t item = next() % 12;
            return item == 11 ? QString("Clear All Mem") : QString("Mem-%1").arg(item);
        };
        using Step = QStringList;
        const std::function<Step()> steps[] = {
            [&] { return Step() << keys.at(next() % keys.size())->text(); },
            [&] { return Step() << "key" << pick(keyTitles); },
            [&] { return Step() << "num" << pick(keyTitles); },
            [&] { return Step() << "menu" << pick(menuTitles); },
            [&] { return Step() << "mem" << pick(memoryParents) + '/' + memoryItem(); },
            [&] { return Step() << "format" << timecode::formatTable[next() % 15].title.data(); },
            [&] { return Step() << "paste" << generatedText(); },
            [&] { return Step() << "noclip"; },
            [&] { return Step() << "boxes" << QString("%1%2").arg(next() % 3).arg(next() % 3); },
            [&] { return Step() << "out"; },
            [&] { return Step() << "in"; },
            // Restarts are by far the slowest steps.
            [&] { return Step() << (next() % 8 ? "=" : "restart"); },
        };
        return steps[next() % std::size(steps)]();
    }

    // Runs a step, then checks what it must leave and what must hold after every step.
    void step()
    {
        const auto before = script.panel().accumulator();
        const QString signBefore = script.panel().controls().sign->text();
        const QStringList chosen = decode();
        if (chosen[0] == "format" && !script.panel().controls().popupFormat->isEnabled()) {
            return; // a locked list takes no choice
        }
        const std::optional<QString> failed = script.step(chosen[0], chosen.value(1));
        // A restart has replaced the panel.
        const panel::ViewController &panel = script.panel();
        const Ui::ViewController &ui = panel.controls();
        const auto require = [&](bool holds, const char *rule) {
            if (!holds) {
                qFatal("broken rule: %s (%s %s: display \"%s\", sign \"%s\", at byte %zu)", rule,
                       qPrintable(chosen[0]), qPrintable(chosen.value(1).left(40)),
                       qPrintable(ui.scratchPadRegister->text().left(40)),
                       qPrintable(ui.sign->text()), position);
            }
        };
        require(!failed, failed ? qPrintable(*failed) : "");
        const auto &accumulator = panel.accumulator();
        const std::string shown = ui.scratchPadRegister->text().toStdString();
        const QString sign = ui.sign->text();
        if (chosen[0] == "=") {
            require(
                shown == "ERROR"
                    ? accumulator == before && sign == signBefore
                    : accumulator && sign.isEmpty() &&
                          (panel.isTimecodeMode()
                               ? accumulator->framesFromTimecodeText(shown) ==
                                     accumulator->frameNumber % accumulator->framesPerDay()
                               : timecode::frameCountFromText(shown) == accumulator->frameNumber),
                "equals leaves no sign and a result that reads back as the accumulator, or "
                "ERROR and nothing else changed");
        } else if (chosen[0] == "paste") {
            const QString now = ui.scratchPadRegister->text();
            require(chosen[1].left(now.size()) == now && now.isEmpty() == chosen[1].isEmpty(),
                    "a paste shows the start of the clipboard text");
        }
        require(ui.popupFormat->isEnabled() == !accumulator &&
                    ui.buttonRC->isEnabled() == accumulator.has_value(),
                "the format is locked and recall offered exactly while a calculation runs");
        require(sign.isEmpty() || (accumulator && (sign == "+" || sign == "-")),
                "the sign field shows a pending operation only");
        require(ui.timecodeOrFrame->text() == (panel.isTimecodeMode() ? "Timecode" : "Frame"),
                "the label names the display mode");
        require(!accumulator || (accumulator->counting() == panel.selectedFormat().counting() &&
                                 accumulator->frameNumber < accumulator->nominalFramesPerDay()),
                "the accumulator counts in the selected format, within a day");
        for (const QString &name : store::registerNames()) {
            require(panel.registers().contains(name), "the nine registers stay");
        }
        require(panel::sharedViewController() == &panel, "the panel is the shared one");
    }

    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
    PanelScript script;
};

} // namespace

std::size_t drivePanel(std::span<const std::uint8_t> bytes, const QString &settingsFile,
                       std::size_t maxSteps)
{
    return Driver(bytes, settingsFile).run(maxSteps);
}

} // namespace fuzz
