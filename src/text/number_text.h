#pragma once
// Reading numbers from the texts a user types or a coordinate file holds.
// Both readers ignore the locale: "." is the only decimal point.

#include <optional>
#include <string_view>

namespace hattsheet::text {

// The leading number of a text, read the way the window reads its centre and
// point fields. Blanks, tabs and line feeds are ignored wherever they stand
// ("1 234.5" is 1234.5); then an optional sign, digits, an optional "." with
// digits (".30" is 0.3) and an optional exponent (E or D, optional sign,
// digits). The first character that cannot continue the number ends it, so
// "1,5" reads as 1 and "12a" as 12.
struct LeadingNumber {
    double value = 0.0;  // 0 when the text has no number at its start
    bool found = false;  // whether any digit was read
};

// Empty optional only when the number lies beyond the range of a double
// ("1E999"); a number too small for a double reads as (signed) zero.
std::optional<LeadingNumber> readLeadingNumber(std::string_view text);

// A whole text that is one number: apart from leading and trailing spaces, an
// optional sign, digits with at most one decimal point and an optional
// exponent (E, optional sign, digits). Empty optional for the empty text, for
// anything else ("12a", "1,5", "inf", "nan") and for a number beyond the
// range of a double. Used by the field test of the window and for the X, Y
// and H fields of coordinate files.
std::optional<double> parseWholeNumber(std::string_view text);

// The plain decimal that nearly every field and list holds: an optional "-",
// digits with at most one "." and at least one digit, at most 15 significant
// digits and at most 22 decimals, and nothing else (no "+", blank or
// exponent). The digits as an integer and the power of ten are both exact
// doubles, so the one division rounds correctly: the same double as the
// general readers above, without their scan. Empty optional for every other
// text, which the caller reads the general way.
std::optional<double> readPlainDecimal(std::string_view text);

} // namespace hattsheet::text
