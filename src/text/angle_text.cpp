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
