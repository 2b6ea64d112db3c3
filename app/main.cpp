// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/appdelegate.h"
#include "app/platformchoice.h"
#include "app/windowcontroller.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const QByteArray platform = app::preferredPlatform(QProcessEnvironment::systemEnvironment());
    if (!platform.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", platform);
    }
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("tcpad"));

    app::AppDelegate delegate;
    app::WindowController window;
    window.show();
    return QApplication::exec();
}
