#pragma once
// The window's layout is given in twips (1/1440 inch). At 96 dots per inch a
// pixel is 15 twips; Qt scales these device-independent pixels on high-density
// screens by itself, so the layout stays fixed in physical size.

#include <QRect>
#include <QSize>

namespace hattsheet::ui {

inline constexpr int kTwipsPerPixel = 15;

// Pixels of a length in twips (non-negative), rounded to the nearest pixel.
constexpr int twipsToPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// A control's rectangle from its left, top, width and height (twips).
inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

inline QSize twipsSize(int width, int height)
{
    return {twipsToPixels(width), twipsToPixels(height)};
}

} // namespace hattsheet::ui
