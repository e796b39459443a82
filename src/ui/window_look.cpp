#include "ui/window_look.h"

#include <QApplication>
#include <QFont>
#include <QWidget>

#include <algorithm>

namespace hattsheet::ui {

namespace {

const QColor kLightGreen(192, 255, 192);
const QColor kLightYellow(255, 255, 192);
const QColor kCaptionBlue(0, 0, 255);
const QColor kCaptionBlueOnDark(128, 160, 255);  // 5:1 or more against dark greys
const QColor kFixedBackgroundText(0, 0, 0);
const QColor kCreditsRed(255, 0, 0);
constexpr double kPanelPointSize = 9.0;

// Fixed text and background colours in every colour group. Black text
// wherever the background is fixed (the light green and light yellow labels
// and panels): the system's text colour may be white under a dark desktop
// theme.
void fixColours(QWidget* widget, QPalette::ColorRole textRole, const QColor& text,
                QPalette::ColorRole backgroundRole, const QColor& background)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, textRole, text);
        palette.setColor(group, backgroundRole, background);
    }
    widget->setPalette(palette);
}

} // namespace

double panelPointSize(const QFont& desktop, const QWidget* widget)
{
    double points = desktop.pointSizeF();
    if (points <= 0 && desktop.pixelSize() > 0) {
        constexpr double kPointsPerInch = 72.0;
        points = (desktop.pixelSize() * kPointsPerInch) / widget->logicalDpiY();
    }
    return std::max(kPanelPointSize, points);
}

QColor captionBlue(const QPalette& system)
{
    constexpr int kDarkBelowLightness = 128;
    return system.color(QPalette::Window).lightness() < kDarkBelowLightness ? kCaptionBlueOnDark : kCaptionBlue;
}

void fixColours(QWidget* widget, QPalette::ColorRole textRole, QPalette::ColorRole backgroundRole, Tint tint)
{
    switch (tint) {
    case Tint::Green:
        fixColours(widget, textRole, kFixedBackgroundText, backgroundRole, kLightGreen);
        break;
    case Tint::Yellow:
        fixColours(widget, textRole, kFixedBackgroundText, backgroundRole, kLightYellow);
        break;
    case Tint::Credits:
        fixColours(widget, textRole, kCreditsRed, backgroundRole,
                   QApplication::palette("QMenu").color(QPalette::WindowText));
        break;
    }
}

void keepSystemTextColours(QWidget* widget)
{
    const QPalette system = QApplication::palette(widget);
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, role, system.color(group, role));
        }
    }
    widget->setPalette(palette);
}

} // namespace hattsheet::ui
