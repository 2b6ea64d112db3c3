#include "app/windowcontroller.h"

#include "panel/viewcontroller.h"

#include <QAction>
#include <QMenu>

namespace app {

WindowController::WindowController(QWidget *parent) : QMainWindow(parent)
{
    ui.setupUi(this);
    panel::ViewController *panel = ui.viewController;
    panel->viewDidLoad();

    // The items are told apart by their titles, which the panel reads when they are chosen.
    for (QAction *item : ui.menuCalculator->actions()) {
        if (item->isSeparator() || item->menu()) {
            continue;
        }
        connect(item, &QAction::triggered, panel,
                [panel, item] { panel->respondsToMenu(item->text()); });
    }
    wireMemoryMenu(ui.menuMemory);

    panel->controls().scratchPadRegister->setFocus();
}

void WindowController::wireMemoryMenu(QMenu *menu)
{
    panel::ViewController *panel = ui.viewController;
    for (QAction *item : menu->actions()) {
        if (QMenu *submenu = item->menu()) {
            wireMemoryMenu(submenu);
        } else if (!item->isSeparator()) {
            connect(item, &QAction::triggered, panel,
                    [panel, item] { panel->memController(item); });
        }
    }
}

} // namespace app
