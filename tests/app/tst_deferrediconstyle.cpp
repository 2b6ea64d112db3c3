#include "app/deferrediconstyle.h"

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>

#include <memory>

namespace {

bool imagePluginLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return true;
    }
    return maps.readAll().contains("/imageformats/");
}

QStyleOption optionFor(Qt::LayoutDirection direction)
{
    QStyleOption option;
    option.direction = direction;
    return option;
}

// A style with an overflow icon of its own, as a desktop's style might have.
class OwnIconStyle : public QProxyStyle
{
public:
    OwnIconStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("fusion"))) {}

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        if (standardIcon == SP_ToolBarHorizontalExtensionButton) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::magenta);
            return QIcon(pixmap);
        }
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
};

} // namespace

class tst_DeferredIconStyle : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: every later test builds stock icons, which load the plugins.
    void buildingMenuBarLoadsNoImagePlugin();
    void overflowIconLooksLikeStock_data();
    void overflowIconLooksLikeStock();
    void styleWithOwnOverflowIconKeepsIt();
};

void tst_DeferredIconStyle::buildingMenuBarLoadsNoImagePlugin()
{
    QVERIFY(!imagePluginLoaded());
    QApplication::setStyle(new app::DeferredIconStyle(QApplication::style()));
    QMenuBar menuBar;
    menuBar.addMenu(QStringLiteral("Calculator"));
    menuBar.resize(20, 30); // too narrow: the overflow button shows
    menuBar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menuBar));
    menuBar.grab();
    QVERIFY(!imagePluginLoaded());
}

void tst_DeferredIconStyle::overflowIconLooksLikeStock_data()
{
    QTest::addColumn<QString>("styleName");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<QIcon::Mode>("mode");
    QTest::addColumn<int>("extent");

    for (const char *style : {"fusion", "windows"}) {
        for (const auto direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            for (const auto mode : {QIcon::Normal, QIcon::Disabled}) {
                for (const int extent : {8, 16, 32, 24}) {
                    QTest::addRow("%s %s %s %d px", style,
                                  direction == Qt::LeftToRight ? "ltr" : "rtl",
                                  mode == QIcon::Normal ? "normal" : "disabled", extent)
                        << QString::fromLatin1(style) << direction << mode << extent;
                }
            }
        }
    }
}

void tst_DeferredIconStyle::overflowIconLooksLikeStock()
{
    QFETCH(QString, styleName);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(QIcon::Mode, mode);
    QFETCH(int, extent);

    const std::unique_ptr<QStyle> stockStyle(QStyleFactory::create(styleName));
    QVERIFY(stockStyle);
    app::DeferredIconStyle style(QStyleFactory::create(styleName));
    const QStyleOption option = optionFor(direction);
    const QIcon stock =
        stockStyle->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &option);
    const QIcon ours = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &option);

    const QSize size(extent, extent);
    QCOMPARE(ours.availableSizes(mode), stock.availableSizes(mode));
    QCOMPARE(ours.actualSize(size, mode), stock.actualSize(size, mode));
    const QImage expected = stock.pixmap(size, mode).toImage();
    QVERIFY(!expected.isNull());
    QCOMPARE(ours.pixmap(size, mode).toImage(), expected);
}

void tst_DeferredIconStyle::styleWithOwnOverflowIconKeepsIt()
{
    app::DeferredIconStyle style(new OwnIconStyle);
    const QImage icon =
        style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16, 16).toImage();
    QCOMPARE(icon.pixelColor(8, 8), QColor(Qt::magenta));
}

QTEST_MAIN(tst_DeferredIconStyle)
#include "tst_deferrediconstyle.moc"
