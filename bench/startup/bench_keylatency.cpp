// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Time from a key press reaching the panel to the value display holding the new text, in
// timecode and in frame mode, on the offscreen platform. The key goes in as a spontaneous key
// event, the way the window system delivers it: shortcut override first, then the press and
// release, through the panel's key bindings, the key's click and the entry logic.
//
// The ".../painted" variants also let the event loop run once after the key, so the figure
// includes laying out and painting the changed display into the window's backing store: the time
// until the new text is pixels, not only a string.
//
// The "window/..." variants press keys in the whole window, once with the tape hidden and once
// with it shown and full (1000 lines): a digit key, and "=" completing "+ 1" (the "+" and the "1"
// go in untimed, and in the painted variants are painted untimed too), which writes two lines on
// the tape and drops the two oldest. The ".../realtime" variants do the same with the real-time
// line shown as well, which each key brings up to date.
#include "app/windowcontroller.h"
#include "panel/tapeview.h"
#include "panel/viewcontroller.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <array>

namespace {

/// Counts the paint events a widget receives, so a painted run can prove it painted.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Digits 1 to 9 in turn: the display keeps its last eight or nine digits, and no window of a
// nine-digit cycle repeats the one before it, so every key visibly changes the text.
constexpr std::array<Qt::Key, 9> digitKeys = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5,
                                              Qt::Key_6, Qt::Key_7, Qt::Key_8, Qt::Key_9};

void keyToDisplay(benchmark::State &state, bool timecodeMode, bool painted)
{
    panel::ViewController panel;
    panel.viewDidLoad();
    if (panel.isTimecodeMode() != timecodeMode) {
        panel.toggleDisplayMode();
    }
    panel.show();
    panel.activateWindow();
    panel.setFocus();
    if (!QTest::qWaitForWindowExposed(&panel) || !QTest::qWaitForWindowActive(&panel)) {
        state.SkipWithError("the panel was never shown and activated");
        return;
    }
    QCoreApplication::processEvents();
    QWidget *focused = QApplication::focusWidget() ? QApplication::focusWidget() : &panel;
    QLineEdit *display = panel.controls().scratchPadRegister;
    PaintCounter counter;
    display->installEventFilter(&counter);

    std::size_t next = 0;
    QString before = display->text();
    for (auto _ : state) {
        const int paintsBefore = counter.paints;
        QTest::keyClick(focused, digitKeys[next]);
        if (painted) {
            QCoreApplication::processEvents();
        }
        QString after = display->text();
        if (after == before || (painted && counter.paints == paintsBefore)) {
            state.SkipWithError("a key press left the display as it was");
            break;
        }
        before = std::move(after);
        next = (next + 1) % digitKeys.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void keyInWindow(benchmark::State &state, bool equals, bool tape, bool painted, bool realTime)
{
    app::WindowController window;
    panel::ViewController &panel = *window.viewController();
    window.form().actionTape->setChecked(tape);
    window.form().actionRealTime->setChecked(realTime);
    panel.keyEntry(QStringLiteral("1"));
    for (int line = 2; line < panel::Tape::maxLines; line += 2) {
        panel.enteredKey(QStringLiteral("+"));
        panel.keyEntry(QStringLiteral("1"));
        panel.enter();
    }
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowExposed(&window) || !QTest::qWaitForWindowActive(&window) ||
        panel.tape().rowCount() != panel::Tape::maxLines ||
        (window.tapeView() && window.tapeView()->isVisible()) != tape ||
        panel.controls().realTime->isVisible() != realTime) {
        state.SkipWithError("the window was never shown with its tape full");
        return;
    }
    QCoreApplication::processEvents();
    QWidget *focused = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    QLineEdit *display = panel.controls().scratchPadRegister;

    std::size_t next = 0;
    QString before = display->text();
    for (auto _ : state) {
        if (equals) {
            state.PauseTiming();
            QTest::keyClick(focused, Qt::Key_Plus);
            QTest::keyClick(focused, Qt::Key_1);
            // What those keys changed is painted untimed too, so that the time painted is the
            // equals key's alone.
            if (painted) {
                QCoreApplication::processEvents();
            }
            state.ResumeTiming();
            QTest::keyClick(focused, Qt::Key_Return);
        } else {
            QTest::keyClick(focused, digitKeys[next]);
            next = (next + 1) % digitKeys.size();
        }
        if (painted) {
            QCoreApplication::processEvents();
        }
        QString after = display->text();
        if (after == before) {
            state.SkipWithError("a key press left the display as it was");
            break;
        }
        before = std::move(after);
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char *argv[])
{
    // Headless unless the caller chose a platform; the user's settings and clipboard are never
    // touched.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    qunsetenv("WAYLAND_DISPLAY");
    QApplication application(argc, argv);
    benchmark::RegisterBenchmark("keyToDisplay/timecode", keyToDisplay, true, false);
    benchmark::RegisterBenchmark("keyToDisplay/frames", keyToDisplay, false, false);
    benchmark::RegisterBenchmark("keyToDisplay/timecode/painted", keyToDisplay, true, true);
    benchmark::RegisterBenchmark("keyToDisplay/frames/painted", keyToDisplay, false, true);
    for (const bool painted : {false, true}) {
        for (const bool tape : {false, true}) {
            for (const bool equals : {false, true}) {
                const std::string name = std::string("window/") + (equals ? "equals" : "digit") +
                                         (tape ? "/tape" : "") + (painted ? "/painted" : "");
                benchmark::RegisterBenchmark(name.c_str(), keyInWindow, equals, tape, painted,
                                             false);
                if (tape) {
                    benchmark::RegisterBenchmark((name + "/realtime").c_str(), keyInWindow, equals,
                                                 tape, painted, true);
                }
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
