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
    const auto before = p.accumulator();
    const QString signBefore = ui.sign->text();
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
    // What equals and paste must leave; after a restart the old panel is gone.
    const QString text = kind == "=" || kind == "paste" ? ui.scratchPadRegister->text() : QString();
    const std::string shown = text.toStdString();
    const auto &after = controller->accumulator();
    if (kind == "=" &&
        !(shown == "ERROR"
              ? after == before && ui.sign->text() == signBefore
              : after && ui.sign->text().isEmpty() &&
                    (p.isTimecodeMode()
                         ? after->framesFromTimecodeText(shown) ==
                               after->frameNumber % after->framesPerDay()
                         : timecode::frameCountFromText(shown) == after->frameNumber))) {
        failure = "equals leaves no sign and a result that reads back as the accumulator, or "
                  "ERROR and nothing else changed";
    }
    if (kind == "paste" && (arg.left(text.size()) != text || text.isEmpty() != arg.isEmpty())) {
        failure = "a paste shows the start of the clipboard text";
    }
    if (failure.isEmpty()) {
        failure = brokenRule();
    }
    return failure.isEmpty() ? std::nullopt : std::optional(failure);
}

QString PanelScript::brokenRule() const
{
    const panel::ViewController &p = *controller;
    const Ui::ViewController &ui = p.controls();
    const auto &accumulator = p.accumulator();
    const QString sign = ui.sign->text();
    const auto counting = p.selectedFormat().counting();
    const QStringList names = store::registerNames();
    const std::pair<bool, const char *> rules[] = {
        {ui.popupFormat->isEnabled() == !accumulator && ui.buttonRC->isEnabled() == !!accumulator,
         "the format is locked and recall offered exactly while a calculation runs"},
        {sign.isEmpty() || (accumulator && (sign == "+" || sign == "-")),
         "the sign field shows a pending operation only"},
        {ui.timecodeOrFrame->text() == (p.isTimecodeMode() ? "Timecode" : "Frame"),
         "the label names the display mode"},
        {!accumulator || (accumulator->counting() == counting &&
                          accumulator->frameNumber < accumulator->nominalFramesPerDay()),
         "the accumulator counts in the selected format, within a day"},
        {std::all_of(names.begin(), names.end(),
                     [&](const QString &name) { return p.registers().contains(name); }),
         "the nine registers stay"},
        {panel::sharedViewController() == &p, "the panel is the shared one"},
    };
    for (const auto &[holds, rule] : rules) {
        if (!holds) {
            return QString("broken rule: ") + rule;
        }
    }
    return QString();
}

namespace {

// The titles the panel knows, and near misses of them: case, blanks, a neighbour's text.
const QStringList keyTitles =
    QString("0|1|2|3|4|5|6|7|8|9|00|<|+|-|C|AC|RC|T/F|=||c|1.5|+-|:| 1").split(u'|');
const QStringList menuTitles =
    QString("Copy|Paste|Recall|All Clear|Clear|Back Space|Change T/F|Paste |copy|").split(u'|');
const QStringList memoryParents = QString("Save|Load|Memory|").split(u'|');
const QStringList memoryItems = QString("Mem-1|Mem-4|Mem-9|Mem-0|Mem-10|Clear All Mem").split(u'|');
// Pieces of clipboard texts: timecode material, and what breaks when text is cut by code units
// rather than by user-perceived characters.
const QStringList textPieces =
    QString::fromUtf8("0|1|59|:|;|-|+| |ERROR|\r\n|e\u0301|\U0001F600|\U0001F468\u200D\U0001F469|"
                      "\u0663|\uFEFF|01:00:00:00|00:01:00;02")
        .split(u'|');

} // namespace

std::size_t drivePanel(std::span<const std::uint8_t> bytes, const QString &settingsFile,
                       std::size_t maxSteps)
{
    PanelScript script(settingsFile);
    std::size_t position = 0;
    const auto next = [&]() -> std::uint8_t {
        return position < bytes.size() ? bytes[position++] : 0;
    };
    const auto pick = [&](const QStringList &titles) { return titles.at(next() % titles.size()); };
    const auto text = [&] {
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
    };
    using Step = QStringList;
    const std::function<Step()> steps[] = {
        [&] { return Step() << pick(keyTitles.mid(0, 19)); }, // a click
        [&] { return Step() << "key" << pick(keyTitles); },
        [&] { return Step() << "num" << pick(keyTitles); },
        [&] { return Step() << "menu" << pick(menuTitles); },
        [&] { return Step() << "mem" << pick(memoryParents) + '/' + pick(memoryItems); },
        [&] { return Step() << "format" << timecode::formatTable[next() % 15].title.data(); },
        [&] { return Step() << "paste" << text(); },
        [&] { return Step() << "noclip"; },
        [&] { return Step() << "boxes" << QString("%1%2").arg(next() % 3).arg(next() % 3); },
        [&] { return Step() << "out"; },
        [&] { return Step() << "in"; },
        [&] { return Step() << (next() % 8 ? "=" : "restart"); }, // restarts are slow
    };
    std::size_t count = 0;
    for (; count < maxSteps && position < bytes.size(); ++count) {
        const Step step = steps[next() % std::size(steps)]();
        if (step[0] == "format" && !script.panel().controls().popupFormat->isEnabled()) {
            continue; // a locked list takes no choice
        }
        if (const std::optional<QString> failed = script.step(step[0], step.value(1))) {
            qFatal("%s (after %s %s, at byte %zu)", qPrintable(*failed), qPrintable(step[0]),
                   qPrintable(step.value(1).left(40)), position);
        }
    }
    return count;
}

} // namespace fuzz
