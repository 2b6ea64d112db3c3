// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The floor for start-up figures: a Qt Widgets program that shows one empty window and nothing
// else, launched the same way as tcpad.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(240, 320);
    window.show();
    return QApplication::exec();
}
