#include "app/windowcontroller.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("tcpad"));
    QCoreApplication::setApplicationName(QStringLiteral("tcpad"));

    app::WindowController window;
    window.show();
    return QApplication::exec();
}
