// Shows the tcpad window in the Fusion style with a light or a dark palette set on the application,
// the way a desktop theme sets one, so both can be looked at and pictured side by side. Not
// installed.
//
// usage: tcpad-palette-preview light|dark
#include "app/windowcontroller.h"
#include "darkpalette.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("tcpad"));
    QCoreApplication::setApplicationName(QStringLiteral("tcpad"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const bool dark = argc > 1 && QByteArray(argv[1]) == "dark";
    QApplication::setPalette(dark ? testsupport::darkPalette()
                                  : QApplication::style()->standardPalette());

    app::WindowController window;
    window.show();
    return QApplication::exec();
}
