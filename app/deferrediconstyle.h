// The application's style: the desktop's own, except that the menu bar's overflow icon is read
// only when it is first drawn, and without Qt's image-format plugins.
//
// Qt's menu bar asks the style for that icon while it is being built. The stock icon is a set of
// PNG files, and reading one through Qt's usual path loads and probes every image-format plugin
// (and the libraries behind them) before Qt falls back to its built-in PNG reader. The button it
// belongs to appears only when the window is too narrow for its menus, which in this window is
// rare, so start-up paid for plugins and decoding that were almost never used.
#pragma once

#include <QProxyStyle>

namespace app {

class DeferredIconStyle : public QProxyStyle
{
    Q_OBJECT

public:
    /// Wraps `base` (typically QApplication::style()) and takes ownership of it.
    explicit DeferredIconStyle(QStyle *base);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace app
