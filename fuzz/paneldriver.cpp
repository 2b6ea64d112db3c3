// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz/paneldriver.h"

#include <QFile>
#include <QPushButton>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>

namespace fuzz {

namespace {

// A clipboard in memory: what the panel copies lands in the given text and a paste reads it; no
// text stands for a clipboard that holds no plain text (an image, copied files). While late, it
// keeps the newest paste's reply, as a clipboard another program must send does, until answered.
struct StandInPasteboard : panel::Pasteboard
{
    explicit StandInPasteboard(PanelScript &script) : script(script) {}
    void setString(const QString &copied) override { script.clipboard = copied; }
    void requestString(Reply reply) override
    {
        script.late ? void(script.held = std::move(reply)) : reply(script.clipboard);
    }
    PanelScript &script;
};

} // namespace

PanelScript::PanelScript(const QString &settingsFile) : file(settingsFile)
{
    QFile::remove(file);
    start();
}

void PanelScript::start()
{
    // A paste still waiting belongs to the panel that asked; a new panel starts with none.
    held = nullptr;
    late = false;
    controller = std::make_unique<panel::ViewController>();
    controller->usePasteboard(std::make_unique<StandInPasteboard>(*this));
    controller->usePreferences(std::make_unique<store::Preferences>(file));
    controller->viewDidLoad();
}

std::optional<QString> PanelScript::step(const QString &kind, const QString &written)
{
    const QString arg = QString(written).replace('_', ' ').replace('|', '\n');
    panel::ViewController &p = *controller;
    const Ui::ViewController &ui = p.controls();
    const auto before = p.accumulator();
    const QString signBefore = ui.sign->text();
    const QString tapeBefore = p.tape().text();
    QString failure;
    QCheckBox *const boxes[] = {ui.checkboxCopy, ui.checkboxPaste};
    const auto contents = [this] {
        QFile saved(file);
        return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    };
    const std::map<QString, std::function<void()>> actions = {
        {"menu", [&] { p.respondsToMenu(arg); }},
        {"mem", [&] { p.memController(arg.section('/', 1), arg.section('/', 0, 0)); }},
        {"rate", [&] { p.convertController(arg.section('/', 1), arg.section('/', 0, 0)); }},
        // Like the user, a step cannot choose from a locked list.
        {"format",
         [&] { ui.popupFormat->isEnabled() ? ui.popupFormat->setCurrentText(arg) : void(); }},
        {"set", [&] { ui.scratchPadRegister->setText(arg); }},
        {"clip", [&] { clipboard = arg; }},
        {"noclip", [&] { clipboard.reset(); }},
        {"paste", [&] { clipboard = arg, p.respondsToMenu("Paste"); }},
        {"boxes",
         [&] {
             boxes[0]->setCheckState(Qt::CheckState(arg.left(1).toInt()));
             boxes[1]->setCheckState(Qt::CheckState(arg.mid(1).toInt()));
         }},
        {"out", [&] { p.automaticCopy(); }},
        {"in", [&] { p.automaticPaste(); }},
        {"late", [&] { late = true; }},
        {"answer",
         [&] {
             late = false;
             held ? std::exchange(held, nullptr)(clipboard) : void();
         }},
        {"line", [&] { p.useTapeLine(arg.toInt()); }},
        {"tape", [&] { p.keepTapeShown(arg == "1"); }},
        {"realtime", [&] { p.keepRealTimeShown(arg == "1"); }},
        {"restart", [&] { p.savePreferences() ? start() : void(failure = "the save failed"); }},
        {"mark", [&] { marked = contents(); }},
    };
    // A check: the value it names, as text, must be the argument.
    const std::map<QString, std::function<QString()>> values = {
        {"?display", [&] { return ui.scratchPadRegister->text(); }},
        {"?clip", [&] { return clipboard.value_or("<none>"); }},
        {"?format", [&] { return ui.popupFormat->currentText(); }},
        {"?boxes",
         [&] {
             return QString::number(boxes[0]->checkState()) +
                    QString::number(boxes[1]->checkState());
         }},
        {"?sign", [&] { return ui.sign->text(); }},
        {"?said", [&] { return ui.sign->accessibleName(); }},
        {"?frame",
         [&] { return p.accumulator() ? QString::number(p.accumulator()->frameNumber) : "-"; }},
        {"?mode", [&] { return QString(p.isTimecodeMode() ? "T" : "F"); }},
        {"?unchanged", [&] { return QString(contents() == marked ? "" : "changed"); }},
        {"?tape", [&] { return p.tape().text().chopped(!p.tape().text().isEmpty()); }},
        {"?lines", [&] { return QString::number(p.tape().rowCount()); }},
        {"?shown", [&] { return QString::number(p.tapeShown()); }},
        {"?realtime", [&] { return ui.realTime->text(); }},
        {"?rate", [&] { return ui.rateInUse->text(); }},
        {"?file", [&] { return contents().split('\n').contains(arg.toUtf8()) ? arg : "missing"; }},
    };
    if (actions.count(kind)) {
        actions.at(kind)();
    } else if (values.count(kind) || kind.startsWith("?Mem-")) {
        const QString value =
            values.count(kind) ? values.at(kind)() : p.registers().value(kind.mid(1), "<missing>");
        if (value != arg) {
            failure = QString("%1 is \"%2\", not \"%3\"").arg(kind, value, arg);
        }
    } else {
        // Anything else names a key, looked for only now: most steps are no click.
        const auto keys = p.findChildren<QPushButton *>();
        const auto key =
            std::find_if(keys.begin(), keys.end(), [&](auto *b) { return b->text() == kind; });
        key != keys.end() ? (*key)->click() : void(failure = "no such step");
    }
    // What equals and paste must leave; after a restart the old panel is gone.
    const QString text = kind == "=" || kind == "paste" ? ui.scratchPadRegister->text() : QString();
    const std::string shown = text.toStdString();
    const auto &after = controller->accumulator();
    const QString tape = controller->tape().text();
    if (kind == "=" &&
        !(shown == "ERROR"
              ? after == before && ui.sign->text() == signBefore && tape == tapeBefore
              : after && ui.sign->text().isEmpty() &&
                    (signBefore.isEmpty() || tape.section('\n', -2).startsWith("= " + text)) &&
                    (p.isTimecodeMode()
                         ? after->framesFromTimecodeText(shown) ==
                               after->frameNumber % after->framesPerDay()
                         : timecode::frameCountFromText(shown) == after->frameNumber))) {
        failure = "equals leaves no sign and a result that reads back as the accumulator and "
                  "ends the tape, or ERROR and nothing else changed";
    }
    const bool writes =
        QStringList{"=", "+", "-", "\u00d7", "\u00f7", "T/F", "AC", "restart", "rate"}.contains(
            kind) ||
        (kind == "menu" && (arg == "All Clear" || arg == "Clear Tape"));
    if (!writes && tape != tapeBefore) {
        failure = "only calculation steps and All Clear write on the tape";
    }
    if (kind == "paste" && !late &&
        (arg.left(text.size()) != text || text.isEmpty() != arg.isEmpty())) {
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
    const std::pair<bool, const char *> rules[] = {
        {ui.popupFormat->isEnabled() == !accumulator && ui.buttonRC->isEnabled() == !!accumulator,
         "the format is locked and recall offered exactly while a calculation runs"},
        {sign.isEmpty() ||
             (accumulator && QString("+-\u00d7\u00f7").contains(sign) && sign.size() == 1),
         "the sign field shows a pending operation only"},
        {ui.timecodeOrFrame->text() == (p.isTimecodeMode() ? "Timecode" : "Frame"),
         "the label names the display mode"},
        {!accumulator || (accumulator->counting() == counting &&
                          accumulator->frameNumber < accumulator->nominalFramesPerDay()),
         "the accumulator counts in the selected format, within a day"},
        {std::ranges::all_of(store::registerNames(),
                             [&](const QString &name) { return p.registers().contains(name); }),
         "the nine registers stay"},
        {p.tape().rowCount() <= panel::Tape::maxLines, "the tape keeps its newest lines only"},
    };
    for (const auto &[holds, rule] : rules) {
        if (!holds) {
            return QString("broken rule: ") + rule;
        }
    }
    return QString();
}

std::size_t drivePanel(std::span<const std::uint8_t> bytes, const QString &settingsFile,
                       std::size_t maxSteps)
{
    PanelScript script(settingsFile);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    std::size_t count = 0;
    for (const QString &step : text.split(' ', Qt::SkipEmptyParts)) {
        const QString kind = step.section(':', 0, 0);
        if (count == maxSteps) {
            break;
        }
        // The script's own checks are the panel test's; here every step is a fresh guess.
        if (kind.startsWith('?')) {
            continue;
        }
        ++count;
        const std::optional<QString> failed = script.step(kind, step.section(':', 1));
        if (failed && *failed != "no such step") {
            qFatal("%s (after %s)", qPrintable(*failed), qPrintable(step.left(80)));
        }
    }
    return count;
}

} // namespace fuzz
