// The ">" and "<" conversions on arbitrary field texts. The input holds the
// texts of txtPhiOld, txtLamdaOld, txtPhiNew, txtLamdaNew, txtX1 and txtY1,
// separated by '|'.
//
// Properties:
// - a result never holds "inf" or "nan", and its X and Y read back as numbers;
// - through the window's operation (fake window): a refusal shows exactly one
//   critical message and changes no field; a success writes the texts that
//   computeOldToNew gives and shows nothing;
// - with one centre for both sheets and a point within 10 km of it, ">" then
//   "<" comes back within 2 mm (series error < 0.1 mm there, plus twice the
//   half millimetre of the format).

#include "support/fake_window.h"
#include "fuzz_check.h"
#include "text/number_text.h"
#include "operations/single_point.h"

#include <cmath>
#include <cstdint>
#include <string>

using namespace hattsheet::operations;
using hattsheet::fuzz::require;
using hattsheet::fuzz::spellsNonFinite;
using hattsheet::text::parseWholeNumber;
using hattsheet::text::readLeadingNumber;

namespace {

constexpr double kRoundTripRadius = 10000.0;  // metres
constexpr double kRoundTripTolerance = 0.002; // metres

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view t[6];
    hattsheet::fuzz::splitTexts(input, t);
    const CentreTexts oldCentre{t[0], t[1]};
    const CentreTexts newCentre{t[2], t[3]};

    const auto result = computeOldToNew(oldCentre, newCentre, t[4], t[5]);

    hattsheet::testing::FakeFields fields;
    hattsheet::testing::FakeDialogs dialogs;
    const FieldId inputs[] = {FieldId::PhiOld, FieldId::LambdaOld, FieldId::PhiNew,
                              FieldId::LambdaNew, FieldId::X1, FieldId::Y1};
    for (int i = 0; i < 6; ++i) fields.setText(inputs[i], std::string(t[i]));
    const auto before = fields.all();
    convertOldToNew(fields, dialogs);

    if (!result) {
        require(dialogs.messages.size() == 1 && dialogs.messages[0].icon == MessageIcon::Critical,
                "a refusal shows one critical message", input);
        require(fields.all() == before, "a refusal changes no field", input);
        return 0;
    }
    require(dialogs.messages.empty(), "a success shows no message", input);
    for (const std::string* s : {&result->x2, &result->y2, &result->geodetic.lat, &result->geodetic.lonAthens, &result->geodetic.lonGreenwich}) {
        require(!spellsNonFinite(*s), "no inf/nan in a result", *s);
    }
    require(parseWholeNumber(result->x2).has_value() && parseWholeNumber(result->y2).has_value(),
            "X and Y read back as numbers", input);
    require(fields.text(FieldId::X2) == result->x2 && fields.text(FieldId::Y2) == result->y2 &&
                fields.text(FieldId::Lat) == result->geodetic.lat && fields.text(FieldId::LonAthens) == result->geodetic.lonAthens &&
                fields.text(FieldId::LonGreenwich) == result->geodetic.lonGreenwich,
            "the window shows what the conversion computed", input);

    const auto back = computeNewToOld(newCentre, oldCentre, result->x2, result->y2);
    if (t[0] == t[2] && t[1] == t[3] && back) {
        const auto x = readLeadingNumber(t[4]);
        const auto y = readLeadingNumber(t[5]);
        if (x && y && std::fabs(x->value) <= kRoundTripRadius && std::fabs(y->value) <= kRoundTripRadius) {
            const double dx = *parseWholeNumber(back->first) - x->value;
            const double dy = *parseWholeNumber(back->second) - y->value;
            require(std::fabs(dx) <= kRoundTripTolerance && std::fabs(dy) <= kRoundTripTolerance,
                    "there and back within 2 mm at one centre", input);
        }
    }
    return 0;
}
