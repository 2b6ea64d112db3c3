// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Application-wide events in one place: activation and deactivation of the application run the
// automatic paste and copy of the panel; every orderly end of the process (the last window
// closing, SIGTERM, SIGINT, SIGHUP, a session manager ending the session) saves the preferences
// first. The delegate reaches the panel only through panel::sharedViewController().
#pragma once

#include <QObject>

class QSessionManager;
class QSocketNotifier;

namespace app {

class AppDelegate : public QObject
{
    Q_OBJECT

public:
    /// Listens to the application's state and quit events, and turns SIGTERM, SIGINT and SIGHUP
    /// into an ordinary quit of the event loop. Create it once, after the QApplication.
    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

private:
    void applicationStateChanged(Qt::ApplicationState state);
    void applicationWillBecomeActive();
    void applicationWillResignActive();
    void applicationWillTerminate();
    void commitData(QSessionManager &manager);
    void terminationSignalArrived();

    Qt::ApplicationState lastState = Qt::ApplicationInactive;
    QSocketNotifier *signalNotifier = nullptr;
};

} // namespace app
