// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Shows the tcpad window in the Fusion style with a light or a dark palette set on the application,
// the way a desktop theme sets one, so both can be looked at and pictured side by side. Not
// installed.
//
// usage: tcpad-palette-preview light|dark
#include "app/windowcontroller.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace {

// A dark desktop palette of the kind a dark theme hands to Qt applications.
QPalette darkPalette()
{
    const QColor window(0x2b, 0x2d, 0x30), base(0x1e, 0x1f, 0x22), text(0xe8, 0xe8, 0xe8);
    QPalette palette(QColor(0x3a, 0x3d, 0x41), window);
    const std::pair<QPalette::ColorRole, QColor> roles[] = {
        {QPalette::WindowText, text},          {QPalette::Base, base},
        {QPalette::AlternateBase, window},     {QPalette::Text, text},
        {QPalette::ButtonText, text},          {QPalette::BrightText, Qt::white},
        {QPalette::Highlight, 0x3d8ee6},       {QPalette::HighlightedText, Qt::white},
        {QPalette::ToolTipBase, base},         {QPalette::ToolTipText, text},
        {QPalette::PlaceholderText, 0x7f7f7f}, {QPalette::Link, 0x6cb4ff},
    };
    for (const auto &[role, colour] : roles) {
        palette.setColor(role, colour);
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, QColor(0x7f7f7f));
    }
    return palette;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("tcpad"));
    QCoreApplication::setApplicationName(QStringLiteral("tcpad"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const bool dark = argc > 1 && QByteArray(argv[1]) == "dark";
    QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());

    app::WindowController window;
    window.show();
    return QApplication::exec();
}
