// The calculator's one window: the panel as its content and the menu bar whose items reach the
// panel by their titles.
#pragma once

#include "ui_windowcontroller.h"

#include <QMainWindow>

class QMenu;

namespace panel {
class ViewController;
}

namespace app {

class WindowController : public QMainWindow
{
    Q_OBJECT

public:
    /// Builds the window from its description, brings the panel into its start state and
    /// connects the menus.
    explicit WindowController(QWidget *parent = nullptr);

    panel::ViewController *viewController() const { return ui.viewController; }
    const Ui::WindowController &form() const { return ui; }

private:
    void wireMemoryMenu(QMenu *menu);

    Ui::WindowController ui;
};

} // namespace app
