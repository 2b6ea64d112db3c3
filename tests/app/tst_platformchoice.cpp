// The platform tcpad asks for: X11 in a Wayland session that offers it, so the window can float.
#include "app/platformchoice.h"

#include <QtTest>

class PlatformChoiceTest : public QObject
{
    Q_OBJECT

private slots:
    void preferredPlatform_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QByteArray>("platform");
        const auto row = [](const char *name, QStringList environment, const char *platform) {
            QTest::newRow(name) << environment << QByteArray(platform);
        };
        row("X11 session", {"DISPLAY=:0", "XDG_SESSION_TYPE=x11"}, "");
        row("Wayland with XWayland", {"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0"}, "xcb");
        row("Wayland by session type", {"DISPLAY=:1", "XDG_SESSION_TYPE=wayland"}, "xcb");
        row("Wayland without XWayland", {"WAYLAND_DISPLAY=wayland-0"}, "");
        row("the user chose Wayland",
            {"DISPLAY=:0", "WAYLAND_DISPLAY=w", "QT_QPA_PLATFORM=wayland"}, "");
        row("the user chose offscreen",
            {"DISPLAY=:0", "XDG_SESSION_TYPE=wayland", "QT_QPA_PLATFORM=offscreen"}, "");
        row("no session at all", {}, "");
    }
    void preferredPlatform()
    {
        QFETCH(QStringList, environment);
        QProcessEnvironment given;
        for (const QString &entry : environment) {
            given.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        }
        QTEST(app::preferredPlatform(given), "platform");
    }
};

QTEST_GUILESS_MAIN(PlatformChoiceTest)
#include "tst_platformchoice.moc"
