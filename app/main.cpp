#include "app/appdelegate.h"
#include "app/windowcontroller.h"

#include <QApplication>

namespace {

// A Wayland compositor does not let a client keep its window above others, so a floating
// calculator runs through XWayland where it is available, unless the user chose a platform.
void preferX11OnWayland()
{
    const bool waylandSession =
        qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (waylandSession && qEnvironmentVariableIsSet("DISPLAY") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    preferX11OnWayland();
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("tcpad"));
    QCoreApplication::setApplicationName(QStringLiteral("tcpad"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tcpad"));

    app::AppDelegate delegate;
    app::WindowController window;
    window.show();
    return QApplication::exec();
}
