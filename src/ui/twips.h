#pragma once
// The window's layout is given in twips (1/1440 inch). At 96 dots per inch a
// pixel is 15 twips; Qt scales these device-independent pixels on high-density
// screens by itself, so the layout stays fixed in physical size.
//
// The layout was drawn for a small desktop font. With a larger one the whole
// layout grows by one factor (layoutScale), so every text keeps its room.
// The window may be resized: the panels take the difference and every other
// control keeps its size (client_area.h).

#include <QRect>
#include <QSize>

#include <cmath>

class QFont;

namespace hattsheet::ui {

inline constexpr int kTwipsPerPixel = 15;

// Pixels of a length in twips (non-negative) times the layout scale, rounded
// to the nearest pixel. At scale 1 a length of 15k + 8 twips or more rounds up.
inline int twipsToPixels(int twips, double scale = 1.0)
{
    return static_cast<int>(std::lround((twips * scale) / kTwipsPerPixel));
}

// A control's rectangle from its left, top, width and height (twips).
inline QRect twipsRect(int left, int top, int width, int height, double scale = 1.0)
{
    return {twipsToPixels(left, scale), twipsToPixels(top, scale), twipsToPixels(width, scale),
            twipsToPixels(height, scale)};
}

inline QSize twipsSize(int width, int height, double scale = 1.0)
{
    return {twipsToPixels(width, scale), twipsToPixels(height, scale)};
}

// The factor (1 or more) by which the main window's twips layout grows so
// that its texts fit when drawn in font: the widest geodetic text, a plane
// coordinate up to 100 km, the captions "Χ =" and "Δλ" and the button
// captions, each in its control, and one line of text in every field's
// height. 1 for desktop fonts up to about 9.5 pt at 96 dots per inch.
double layoutScale(const QFont& font);

} // namespace hattsheet::ui
