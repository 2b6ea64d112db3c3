// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Time from the window becoming active (the panel's automatic paste, as the application delegate
// calls it) to the value display holding the 12-character text another program holds on the X11
// clipboard: through tcpad's own clipboard, and through Qt's clipboard read, which is what tcpad
// did on X11 before it read the selection itself (its pasteboard handed Qt's text to the panel at
// once). Runs on the X server that DISPLAY names, with the text's owner started by
// pastelatency.sh; TCPAD_PASTE_TEXT is the text.
#include "app/desktopclipboard.h"
#include "panel/viewcontroller.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct QtClipboardRead : panel::Pasteboard
{
    void setString(const QString &) override {}
    void requestString(Reply reply) override
    {
        const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
        reply(data && data->hasFormat(QStringLiteral("text/plain")) ? std::optional(data->text())
                                                                    : std::nullopt);
    }
};

void activationToDisplay(benchmark::State &state, bool qtRead)
{
    const QString expected = qEnvironmentVariable("TCPAD_PASTE_TEXT");
    panel::ViewController panel;
    panel.viewDidLoad();
    if (qtRead) {
        panel.usePasteboard(std::make_unique<QtClipboardRead>());
    } else {
        panel.usePasteboard(std::make_unique<app::DesktopClipboard>());
    }
    panel.controls().checkboxPaste->setChecked(true);
    panel.automaticPaste(); // the activation at start, which pastes nothing
    QLineEdit *display = panel.controls().scratchPadRegister;
    for (auto _ : state) {
        state.PauseTiming();
        panel.keyEntry(QStringLiteral("1"));
        state.ResumeTiming();
        QElapsedTimer waited;
        waited.start();
        panel.automaticPaste();
        while (display->text() != expected && waited.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        if (display->text() != expected) {
            state.SkipWithError("the clipboard's text never reached the display");
            break;
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    benchmark::RegisterBenchmark("activationToDisplay/tcpad", activationToDisplay, false)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("activationToDisplay/qtRead", activationToDisplay, true)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
