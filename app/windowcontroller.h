// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The calculator's one window: the panel as its content, the tape below it when shown, and the
// menu bar whose items reach the panel by their titles. The window floats above the windows of
// every application, offers no zoom or minimise button, and can drop its menu bar and task-bar
// entry for good (window-only mode); every menu command then stays in the panel's right-click menu
// and on its shortcut.
#pragma once

#include "ui_windowcontroller.h"

#include <QMainWindow>

class QMenu;

namespace panel {
class TapeView;
class ViewController;
} // namespace panel

namespace app {

class WindowController : public QMainWindow
{
    Q_OBJECT

public:
    /// Builds the window from its description, sets it up as a floating window, brings the panel
    /// into its start state and connects the menus.
    explicit WindowController(QWidget *parent = nullptr);

    panel::ViewController *viewController() const { return ui.viewController; }
    const Ui::WindowController &form() const { return ui; }

    /// True once window-only mode is on; it stays on until the process ends.
    bool isWindowOnly() const { return windowOnly; }
    /// The view of the tape, made the first time the tape is shown; null before that.
    panel::TapeView *tapeView() const { return tape; }

public slots:
    /// Hides the menu bar and takes the window out of the task bar, for the rest of the process.
    /// Calling it again changes nothing.
    void switchToWindowOnly();

    /// Shows or hides the tape below the panel, keeping the choice for the next start.
    void showTape(bool shown);

    /// Shows or hides the real-time line under the display, keeping the choice for the next start.
    void showRealTime(bool shown);

private:
    void windowDidLoad();
    void wireMemoryMenu(QMenu *menu);
    void wireTape();
    void wireRealTime();
    /// The tape's view, made and wired the first time it is needed.
    panel::TapeView *makeTapeView();
    void showContextMenu(const QPoint &position);

    Ui::WindowController ui;
    QMenu *contextMenu = nullptr;
    panel::TapeView *tape = nullptr;
    bool windowOnly = false;
};

} // namespace app
