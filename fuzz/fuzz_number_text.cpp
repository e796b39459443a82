// readLeadingNumber and parseWholeNumber on arbitrary text, and the "0.000"
// format read back through parseWholeNumber.
//
// Properties:
// - neither reader ever delivers inf or nan; readLeadingNumber gives 0 when
//   it found no digit;
// - a text that parseWholeNumber accepts is read to the same double by
//   readLeadingNumber (the whole-number grammar is a subset of the leading
//   one, and blanks at the ends change nothing);
// - the first 8 bytes taken as a finite double and written with "0.000" and
//   "0.00000" give a text of the form -?D+.DDD that parseWholeNumber reads
//   back within half a unit of the last place, plus the half unit of the 15th
//   significant digit the format rounds to first (the 14th for the few
//   doubles whose 15-digit text would lie beyond the largest double: that
//   text read back as an overflow, so a saved list with such an H could not
//   be opened again).

#include "fuzz_check.h"
#include "text/number_format.h"
#include "text/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

using hattsheet::fuzz::require;
using hattsheet::fuzz::spellsNonFinite;

namespace {

// From here up, 15 significant digits round to 1.79769313486232e308, which is
// beyond the largest double (1.7976931348623157e308).
constexpr double kFifteenDigitsOverflow = 1.797693134862315e308;

// A format text is an optional "-", digits without a superfluous leading
// zero, ".", exactly `decimals` digits.
bool wellFormed(std::string_view s, int decimals)
{
    std::size_t i = !s.empty() && s[0] == '-' ? 1 : 0;
    const std::size_t intBegin = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    const std::size_t intDigits = i - intBegin;
    if (intDigits == 0 || (intDigits > 1 && s[intBegin] == '0')) return false;
    if (i >= s.size() || s[i] != '.') return false;
    ++i;
    const std::size_t fracBegin = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i == s.size() && i - fracBegin == static_cast<std::size_t>(decimals);
}

void checkFormat(double value, int decimals)
{
    const std::string text = hattsheet::text::formatFixed(value, decimals);
    require(wellFormed(text, decimals), "format text is -?D+.D{decimals}", text);
    require(!spellsNonFinite(text), "format never writes inf/nan", text);
    const auto back = hattsheet::text::parseWholeNumber(text);
    require(back.has_value(), "a formatted number reads back", text);
    // Half a unit of the last decimal, plus half a unit of the 15th
    // significant digit, plus the rounding of the read itself.
    const double lastPlace = 0.5 * std::pow(10.0, -decimals);
    const double magnitude = std::fabs(value);
    double fifteenth = magnitude > 0 ? 0.5 * std::pow(10.0, std::floor(std::log10(magnitude)) - 14) : 0.0;
    // The format keeps 14 digits where 15 would round past the largest double.
    if (magnitude >= kFifteenDigitsOverflow) fifteenth *= 10;
    const double bound = (lastPlace + fifteenth) * (1 + 1e-12) + magnitude * 4e-16;
    require(std::fabs(*back - value) <= bound, "formatted number reads back within half a unit", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto leading = hattsheet::text::readLeadingNumber(text);
    if (leading) {
        require(std::isfinite(leading->value), "readLeadingNumber is finite", text);
        require(leading->found || leading->value == 0.0, "no digit reads as 0", text);
    }

    const auto whole = hattsheet::text::parseWholeNumber(text);
    if (whole) {
        require(std::isfinite(*whole), "parseWholeNumber is finite", text);
        require(leading && leading->found, "a whole number is also a leading number", text);
        require(std::memcmp(&*whole, &leading->value, sizeof(double)) == 0,
                "both readers give the same double", text);
    }

    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) {
            checkFormat(value, hattsheet::text::kCoordinateDecimals);
            checkFormat(value, hattsheet::text::kSecondsDecimals);
        }
    }
    return 0;
}
