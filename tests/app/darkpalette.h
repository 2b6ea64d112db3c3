// A dark desktop palette of the kind a dark theme hands to Qt applications, for checking that the
// window stays legible when the desktop is dark.
#pragma once

#include <QPalette>

namespace testsupport {

inline QPalette darkPalette()
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

} // namespace testsupport
