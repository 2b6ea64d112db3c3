// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/windowcontroller.h"

#include "app/desktopclipboard.h"
#include "app/x11windowstate.h"
#include "panel/tapeview.h"
#include "panel/viewcontroller.h"
#include "timecode/rates.h"

#include <QAction>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>

namespace app {

namespace {

// Every action under a menu, submenus included.
void collectActions(const QMenu *menu, QList<QAction *> &actions)
{
    for (QAction *item : menu->actions()) {
        if (const QMenu *submenu = item->menu()) {
            collectActions(submenu, actions);
        } else if (!item->isSeparator()) {
            actions << item;
        }
    }
}

// The item reaches the panel by its title, which the panel reads when the item is chosen.
void sendTitle(QAction *item, panel::ViewController *panel)
{
    QObject::connect(item, &QAction::triggered, panel,
                     [panel, item] { panel->respondsToMenu(item->text()); });
}

// Gives `widget` a right-click menu of items that run what `items` run. The items are its own: a
// screen reader or magnifier asks an item where it is, and an item shared with the menu bar would
// answer with its place there.
void giveContextMenu(QWidget *widget, const QList<QAction *> &items)
{
    auto *menu = new QMenu(widget);
    for (QAction *item : items) {
        QAction *own = menu->addAction(item->text(), item, &QAction::trigger);
        own->setShortcut(item->shortcut());
        own->setShortcutContext(Qt::WidgetShortcut); // shown here, pressed for the window's item
        own->setEnabled(item->isEnabled());
        QObject::connect(item, &QAction::enabledChanged, own, &QAction::setEnabled);
    }
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, menu,
                     [widget, menu](QPoint at) { menu->popup(widget->mapToGlobal(at)); });
}

} // namespace

WindowController::WindowController(QWidget *parent) : QMainWindow(parent)
{
    ui.setupUi(this);
    windowDidLoad();

    panel::ViewController *panel = ui.viewController;
    panel->usePasteboard(std::make_unique<DesktopClipboard>());
    panel->viewDidLoad();

    for (QAction *item : ui.menuCalculator->actions()) {
        if (const QMenu *rates = item->menu()) {
            // A rate's title alone does not say whether to convert or to conform.
            for (QAction *rate : rates->actions()) {
                connect(rate, &QAction::triggered, panel, [panel, rate, rates] {
                    panel->convertController(rate->text(), rates->title());
                });
            }
        } else if (!item->isSeparator()) {
            sendTitle(item, panel);
        }
    }
    // The item shows the rate in use: checked and disabled under drop frame, unchecked and
    // disabled at a rate without a 1000/1001 variant, the kept choice elsewhere.
    const auto showFractionalRate = [this, panel] {
        ui.actionFractionalRate->setEnabled(
            timecode::fractionalRateChoosable(panel->selectedFormat().counting()));
        ui.actionFractionalRate->setChecked(panel->pulledDown());
    };
    showFractionalRate();
    connect(panel, &panel::ViewController::rateChanged, this, showFractionalRate);
    wireMemoryMenu(ui.menuMemory);
    connect(ui.actionWindowOnly, &QAction::triggered, this, &WindowController::switchToWindowOnly);
    wireTape();
    wireRealTime();

    // The window holds every action itself too, so their shortcuts keep working once the menu
    // bar is hidden.
    QList<QAction *> actions;
    for (const QMenu *menu : {ui.menuCalculator, ui.menuMemory, ui.menuWindow}) {
        collectActions(menu, actions);
    }
    addActions(actions);

    // Right-click anywhere on the panel offers the whole menu bar, also in window-only mode.
    contextMenu = new QMenu(this);
    for (QMenu *menu : {ui.menuCalculator, ui.menuMemory, ui.menuWindow}) {
        contextMenu->addMenu(menu);
    }
    panel->controls().scratchPadRegister->setContextMenuPolicy(Qt::NoContextMenu);
    panel->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(panel, &QWidget::customContextMenuRequested, this, &WindowController::showContextMenu);

    panel->controls().scratchPadRegister->setFocus();
}

void WindowController::windowDidLoad()
{
    // Above the windows of every application, with a close button but no zoom or minimise
    // button: a calculator that could be minimised or buried would be out of reach. Qt passes
    // this on to the window manager as the window's state and its Motif hints.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
}

void WindowController::wireTape()
{
    panel::ViewController *panel = ui.viewController;
    for (QAction *item : {ui.actionCopyTape, ui.actionClearTape}) {
        sendTitle(item, panel);
    }
    // As the last run left it; shown before the window is, the tape is part of its first size. A
    // tape never shown costs no view at all.
    ui.actionTape->setChecked(panel->tapeShown());
    if (panel->tapeShown()) {
        makeTapeView();
    }
    connect(ui.actionTape, &QAction::toggled, this, &WindowController::showTape);
}

panel::TapeView *WindowController::makeTapeView()
{
    if (tape) {
        return tape;
    }
    panel::ViewController *panel = ui.viewController;
    QLineEdit *display = panel->controls().scratchPadRegister;
    tape = new panel::TapeView(panel->tape(), display, ui.centralWidget);
    ui.tapeLayout->addWidget(tape);
    // Once anything changes the display, Enter is "=" again.
    connect(display, &QLineEdit::textChanged, tape, &panel::TapeView::clearSelection);
    connect(tape, &panel::TapeView::activated, panel,
            [panel](int line) { panel->useTapeLine(line); });
    giveContextMenu(tape, {ui.actionCopyTape, ui.actionClearTape});
    return tape;
}

void WindowController::showTape(bool shown)
{
    ui.viewController->keepTapeShown(shown);
    if ((tape && tape->isVisibleTo(this)) == shown) {
        return;
    }
    // The window grows by the tape and gives the room back, so the panel keeps its size.
    const int before = height();
    const int room = ui.tapeLayout->geometry().height();
    makeTapeView()->setVisible(shown);
    // The window's minimum follows the panel and the tape only once both layouts have settled.
    ui.centralLayout->activate();
    layout()->activate();
    resize(width(), shown ? before + ui.tapeLayout->sizeHint().height() : before - room);
    if (shown) {
        tape->scrollToBottom();
    }
    QWidget *focus =
        shown ? static_cast<QWidget *>(tape) : ui.viewController->controls().scratchPadRegister;
    focus->setFocus(Qt::ShortcutFocusReason);
}

void WindowController::wireRealTime()
{
    panel::ViewController *panel = ui.viewController;
    sendTitle(ui.actionCopyRealTime, panel);
    // The line's own right-click menu copies it.
    giveContextMenu(panel->controls().realTime, {ui.actionCopyRealTime});
    ui.actionRealTime->setChecked(panel->realTimeShown());
    ui.actionCopyRealTime->setEnabled(panel->realTimeShown());
    connect(ui.actionRealTime, &QAction::toggled, this, &WindowController::showRealTime);
}

void WindowController::showRealTime(bool shown)
{
    panel::ViewController *panel = ui.viewController;
    ui.actionCopyRealTime->setEnabled(shown);
    const QWidget *line = panel->controls().realTime;
    if (line->isHidden() != shown) {
        panel->keepRealTimeShown(shown);
        return;
    }
    // As with the tape, the window grows by the line and gives the room back, so the keys keep
    // their size.
    const int before = height();
    const int room = line->sizeHint().height() + panel->layout()->spacing();
    panel->keepRealTimeShown(shown);
    panel->layout()->activate();
    ui.centralLayout->activate();
    layout()->activate();
    resize(width(), before + (shown ? room : -room));
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

void WindowController::switchToWindowOnly()
{
    if (windowOnly) {
        return;
    }
    windowOnly = true;
    ui.actionWindowOnly->setEnabled(false);
    const int menuHeight = menuBar()->height();
    menuBar()->hide();
    // The window gives up the menu bar's room rather than stretching the panel into it.
    layout()->activate();
    resize(width(), height() - menuHeight);
    skipTaskbar(this);
}

void WindowController::showContextMenu(const QPoint &position)
{
    contextMenu->popup(ui.viewController->mapToGlobal(position));
}

} // namespace app
