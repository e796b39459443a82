#include "ui/twips.h"

#include "ui/ui_texts.h"

#include <QFontMetricsF>
#include <QString>

#include <algorithm>

namespace hattsheet::ui {

namespace {

// What a control draws around its text (pixels, not scaled with the layout):
// a field's one-pixel border, one pixel of padding and the two pixels Qt
// keeps between the frame and the text on each side, one pixel above and
// below; a button's one-pixel frame.
constexpr double kFieldChromeWidthPx = 8.0;
constexpr double kFieldChromeHeightPx = 4.0;
constexpr double kButtonChromeWidthPx = 6.0;
constexpr double kButtonChromeHeightPx = 2.0;
// A label's glyphs may reach one pixel past its edge: that column holds no
// more than the antialiased rim of the last stroke ("=" of "Χ =").
constexpr double kLabelInkOverhangPx = -1.0;

struct Fit {
    const char* text;   // the widest text the control shows (UTF-8)
    int widthTw;        // the control's width (twips)
    int heightTw;       // the control's height (twips)
    double chromeWidthPx, chromeHeightPx;
    bool ink;           // a label: only the drawn glyphs need room
};

// Digits are as wide as each other in every usual font, so zeros stand for
// any digits; the geodetic texts have two-digit degrees, Δλ one digit and a
// sign; a plane coordinate is within 100 km of the sheet centre.
constexpr Fit kFits[] = {
    {"00° 00' 00.00000''", 1935, 285, kFieldChromeWidthPx, kFieldChromeHeightPx, false},
    {"-0° 00' 00.00000''", 1815, 285, kFieldChromeWidthPx, kFieldChromeHeightPx, false},
    {"-99999.999", 1275, 285, kFieldChromeWidthPx, kFieldChromeHeightPx, false},
    {"\u03A7 =", 315, 255, kLabelInkOverhangPx, 0.0, true},
    {captions::kDeltaLambda, 315, 255, kLabelInkOverhangPx, 0.0, true},
    {captions::kSave, 1575, 255, kButtonChromeWidthPx, kButtonChromeHeightPx, false},
};

} // namespace

double layoutScale(const QFont& font)
{
    const QFontMetricsF metrics(font);
    double scale = 1.0;
    for (const Fit& fit : kFits) {
        const QString text = fromUtf8(fit.text);
        const double width = fit.ink ? metrics.tightBoundingRect(text).width() : metrics.horizontalAdvance(text);
        const double widthPx = static_cast<double>(fit.widthTw) / kTwipsPerPixel;
        const double heightPx = static_cast<double>(fit.heightTw) / kTwipsPerPixel;
        scale = std::max(scale, (width + fit.chromeWidthPx) / widthPx);
        scale = std::max(scale, (metrics.height() + fit.chromeHeightPx) / heightPx);
    }
    return scale;
}

} // namespace hattsheet::ui
