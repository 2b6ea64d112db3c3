#include "app/deferrediconstyle.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QStyleOption>

namespace app {

namespace {

// Reads a PNG with the format named and detection off, so QImageReader goes straight to its
// built-in reader instead of asking each plugin whether it wants the file.
QPixmap readPng(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// Holds file names until the icon is first asked for anything, then builds an ordinary icon from
// them and hands every request to it, so the disabled and selected looks come out as the style
// would make them for any icon.
class DeferredIconEngine : public QIconEngine
{
public:
    explicit DeferredIconEngine(QStringList files) : files(std::move(files)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }

    QIconEngine *clone() const override { return new DeferredIconEngine(files); }

private:
    const QIcon &icon()
    {
        if (loaded.isNull()) {
            for (const QString &file : std::as_const(files)) {
                loaded.addPixmap(readPng(file));
            }
        }
        return loaded;
    }

    QStringList files;
    QIcon loaded;
};

} // namespace

DeferredIconStyle::DeferredIconStyle(QStyle *base) : QProxyStyle(base) {}

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                      const QWidget *widget) const
{
    // Other styles may draw their own overflow icon; only Qt's own ones use the common files.
    const QString styleName = baseStyle()->name();
    const bool commonIcon = styleName.compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0 ||
                            styleName.compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0;
    if (standardIcon != SP_ToolBarHorizontalExtensionButton || !commonIcon) {
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
    // The same files, in the same direction, as Qt's common style would use.
    const bool rightToLeft =
        (option ? option->direction : QGuiApplication::layoutDirection()) == Qt::RightToLeft;
    const QString stem =
        QStringLiteral(":/qt-project.org/styles/commonstyle/images/toolbar-ext-h-") +
        (rightToLeft ? QStringLiteral("rtl-") : QString());
    QStringList files;
    for (const char *size : {"8", "16", "32"}) {
        const QString file = stem + QLatin1String(size) + QStringLiteral(".png");
        if (!QFile::exists(file)) {
            // A Qt that keeps its icons elsewhere: take the stock icon, plugins and all.
            return QProxyStyle::standardIcon(standardIcon, option, widget);
        }
        files << file;
    }
    return QIcon(new DeferredIconEngine(files));
}

} // namespace app
