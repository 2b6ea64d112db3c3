// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/appdelegate.h"

#include "panel/viewcontroller.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace app {

namespace {

// A signal handler may do almost nothing; it writes the signal number into a socket, and the
// event loop reads it and quits like any other orderly end of the program.
int signalSockets[2] = {-1, -1};

// The signals that end the program in an orderly way, saving first.
constexpr int terminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

void forwardSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

bool installSignalHandlers()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : terminationSignals) {
        ::sigaction(signalNumber, &action, nullptr);
    }
    return true;
}

} // namespace

AppDelegate::AppDelegate(QObject *parent) : QObject(parent)
{
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            &AppDelegate::applicationStateChanged);
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &AppDelegate::commitData);

    if (installSignalHandlers()) {
        signalNotifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
        connect(signalNotifier, &QSocketNotifier::activated, this,
                &AppDelegate::terminationSignalArrived);
    }
}

AppDelegate::~AppDelegate()
{
    if (signalNotifier) {
        for (const int signalNumber : terminationSignals) {
            std::signal(signalNumber, SIG_DFL);
        }
        ::close(signalSockets[0]);
        ::close(signalSockets[1]);
        signalSockets[0] = signalSockets[1] = -1;
    }
}

void AppDelegate::applicationStateChanged(Qt::ApplicationState state)
{
    const bool wasActive = lastState == Qt::ApplicationActive;
    const bool isActive = state == Qt::ApplicationActive;
    lastState = state;
    if (isActive && !wasActive) {
        applicationWillBecomeActive();
    } else if (wasActive && !isActive) {
        applicationWillResignActive();
    }
}

void AppDelegate::applicationWillBecomeActive()
{
    if (panel::ViewController *controller = panel::sharedViewController()) {
        controller->automaticPaste();
    }
}

void AppDelegate::applicationWillResignActive()
{
    if (panel::ViewController *controller = panel::sharedViewController()) {
        controller->automaticCopy();
    }
}

void AppDelegate::applicationWillTerminate()
{
    if (panel::ViewController *controller = panel::sharedViewController()) {
        controller->savePreferences();
    }
}

void AppDelegate::commitData(QSessionManager &manager)
{
    // The session is ending and this may be the last moment the process gets to run. Should the
    // user cancel the logout, the next quit saves again, so nothing is lost either way.
    Q_UNUSED(manager);
    applicationWillTerminate();
}

void AppDelegate::terminationSignalArrived()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(signalSockets[1], &byte, 1);
    QCoreApplication::quit();
}

} // namespace app
