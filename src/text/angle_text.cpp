#include "text/angle_text.h"

#include "text/number_format.h"
#include "text/number_text.h"

#include <cmath>

namespace hattsheet::text {

std::optional<double> degMinToDegrees(std::string_view degMinText)
{
    const auto number = readLeadingNumber(degMinText);
    if (!number || !number->found) {
        return std::nullopt;
    }
    const double v = number->value;
    const double w = std::trunc(v);
    // The difference first, then times 100, then divided by 60, then plus w:
    // any other order changes the last bits that the range checks look at
    // ("33.60" must come out as exactly 34).
    return w + ((100.0 * (v - w)) / 60.0);
}

std::optional<LongMinutes> readLongMinutes(std::string_view degMinText)
{
    const auto number = readLeadingNumber(degMinText);
    if (!number || !number->found || !std::isfinite(number->value)) return std::nullopt;
    const double v = std::fabs(number->value);
    const double whole = std::trunc(v);
    const double minutes = 100.0 * (v - whole);
    // 40.6 leaves 60.000000000000142 here and 40.59 leaves 58.99999999999977:
    // a millionth of a minute tells them apart.
    constexpr double kMinuteSlack = 1e-6;
    if (!(minutes >= 60.0 - kMinuteSlack) || minutes >= 100.0) return std::nullopt;
    // As the reading takes it: whole degrees plus minutes / 60.
    const double degrees = whole + minutes / 60.0;
    const double d = std::floor(degrees + 1e-12);
    double m = (degrees - d) * 60.0;
    if (m < 0) m = 0;
    LongMinutes read;
    read.angle = std::string(number->value < 0 ? "-" : "") + formatFixed(d, 0) + "° ";
    std::string mText = formatFixed(m, 4);
    while (mText.back() == '0') mText.pop_back();
    if (mText.back() == '.') mText.pop_back();
    read.angle += mText + "'";
    read.typed = degMinText;
    while (!read.typed.empty() && read.typed.front() == ' ') read.typed.erase(0, 1);
    while (!read.typed.empty() && read.typed.back() == ' ') read.typed.pop_back();
    return read;
}

void appendDms(std::string& text, double degrees)
{
    const double d = std::floor(degrees);
    const double m = (degrees - d) * 60.0;
    const double mWhole = std::floor(m);
    const double s = (m - mWhole) * 60.0;
    appendFixed(text, d, 0);
    text += "° ";
    appendFixed(text, mWhole, 0);
    text += "' ";
    appendFixed(text, s, kSecondsDecimals);
    text += "''";
}

std::string formatDms(double degrees)
{
    std::string text;
    appendDms(text, degrees);
    return text;
}

std::string formatSignedDms(double degrees)
{
    std::string text;
    if (degrees < 0) {
        text.push_back('-');
        appendDms(text, -degrees);
    } else {
        appendDms(text, degrees);
    }
    return text;
}

} // namespace hattsheet::text
