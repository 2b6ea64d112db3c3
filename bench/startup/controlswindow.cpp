// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The floor for tcpad's own window: the window and the panel built from tcpad's own forms (the
// menu bar with its menus, items and shortcuts, the display, the labels, the format list, the
// check boxes and the keys), with the window's flags, in the desktop's regular font, and no
// program behind them. Whatever tcpad needs beyond this is its own; what this needs is Qt's.
// The forms' panel is the stand-in in standin/panel/viewcontroller.h.
#include "ui_windowcontroller.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    Ui::WindowController form;
    form.setupUi(&window);
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    form.viewController->form.scratchPadRegister->setFocus();
    window.show();
    return QApplication::exec();
}
