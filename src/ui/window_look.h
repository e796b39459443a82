#pragma once
// The main window's colours and the panels' font: fixed backgrounds with
// black text whatever the desktop theme, the box captions' blue, the
// system's text colours where the window's own palette would hide them.

#include <QColor>
#include <QPalette>

class QFont;
class QWidget;

namespace hattsheet::ui {

// The fixed backgrounds: the old sheet's and the geodetic labels and panel 1
// light green, the new sheet's light yellow; the credits line red on the
// system's menu-text colour.
enum class Tint { Green, Yellow, Credits };

// The panels' text size (points): the desktop font's, never below 9 pt.
double panelPointSize(const QFont& desktop, const QWidget* widget);
// The box captions' blue: the given RGB (0, 0, 255) on a light window
// colour; on a dark one that blue is hard to read, so a light blue with the
// same hue takes its place.
QColor captionBlue(const QPalette& system);
// The tint's text and background colours in every colour group of the
// widget's textRole and backgroundRole.
void fixColours(QWidget* widget, QPalette::ColorRole textRole, QPalette::ColorRole backgroundRole, Tint tint);
// The system's text colours back in a widget whose parent's palette has
// others (a box with a blue caption).
void keepSystemTextColours(QWidget* widget);

} // namespace hattsheet::ui
