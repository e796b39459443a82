#pragma once
// A dark desktop palette as dark themes give it: light text on dark greys.
// The screenshots (window_shots.cpp) and the window's colour tests
// (tests/ui, which add this folder to their include path) put the window on it.

#include <QPalette>

namespace hattsheet::tools {

inline QPalette darkPalette()
{
    const QColor window(53, 53, 53), base(35, 35, 35), text(230, 230, 230);
    QPalette p(window);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::WindowText, text);
        p.setColor(g, QPalette::Text, text);
        p.setColor(g, QPalette::ButtonText, text);
        p.setColor(g, QPalette::Base, base);
        p.setColor(g, QPalette::AlternateBase, window);
        p.setColor(g, QPalette::Button, window);
        p.setColor(g, QPalette::ToolTipBase, base);
        p.setColor(g, QPalette::ToolTipText, text);
        p.setColor(g, QPalette::Highlight, QColor(42, 130, 218));
        p.setColor(g, QPalette::HighlightedText, Qt::black);
    }
    return p;
}

} // namespace hattsheet::tools
