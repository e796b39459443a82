#pragma once
// Angles read from and written as text: the degrees-minutes text of a sheet
// centre, and the degrees-minutes-seconds text of the window's geodetic
// display and of hattsheet-convert --point.
//
// A degrees-minutes text is an optional minus sign, the whole degrees and
// optionally a point followed by the minutes: the first two digits after the
// point are whole minutes, further digits are fractions of a minute.
// "40.51" is 40°51', "40.5" is 40°50', "40.515" is 40°51.5', "-0.51" is
// -(0°51'). Minutes are not checked against 60: "40.75" is 41°15'.

#include <optional>
#include <string>
#include <string_view>

namespace hattsheet::text {

// Decimal degrees of a degrees-minutes text: w + ((100 * (v - w)) / 60) with
// v the leading number and w its integer part truncated toward zero, in that
// order ("40.51" gives 40.849999999999994). Empty optional when the text
// holds no number at its start or one beyond the range of a double.
std::optional<double> degMinToDegrees(std::string_view degMinText);

// A degrees-minutes text whose minutes are 60 or more, as it was read.
struct LongMinutes {
    std::string typed;  // the text without its leading and trailing spaces
    std::string angle;  // the angle read: "41° 15'", minutes to 4 decimals, trailing zeros dropped
};
// Empty when the minutes are below 60 or the text holds no number:
// " 40.75 " gives {"40.75", "41° 15'"}.
std::optional<LongMinutes> readLongMinutes(std::string_view degMinText);

// Appends "D° M' S.SSSSS''" for an angle of zero or more (decimal degrees):
// D and M rounded down and no carry from the seconds, so 40.849999999999994
// gives "40° 50' 60.00000''".
void appendDms(std::string& text, double degrees);
// The same for an angle of either sign: a leading "-" and the text of its
// magnitude below zero (the longitude from the Athens meridian).
std::string formatDms(double degrees);
std::string formatSignedDms(double degrees);

} // namespace hattsheet::text
