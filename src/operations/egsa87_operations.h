#pragma once
// The conversions to and from the Greek Grid (ΕΓΣΑ87) as the command line
// and the window run them: one point as texts, one record of a list, and
// the window's menu entries.

#include "base/expected.h"
#include "operations/egsa87_conversion.h"
#include "operations/geodetic_display.h"
#include "operations/list_engine.h"
#include "operations/message_book.h"
#include "operations/window_ports.h"
#include "operations/window_texts.h"
#include "pointfile/point_layout.h"
#include "pointfile/point_record.h"

#include <atomic>
#include <string>
#include <string_view>

namespace hattsheet::operations {

// One of the six inconsistent sheets whose centre this refused centre is
// (390 Ν.Μεγίστη's, Δλ 5°45'), or none.
const geodesy::Sheet* defectiveSheetOnCentre(std::string_view phiText, std::string_view lambdaText);
// The message of a refused centre or sheet (the window's in its language,
// the command line's in the language of its run).
std::string choiceMessage(ChoiceError error, std::string_view phiText, std::string_view lambdaText,
                          const geodesy::Sheet* sheet, Language language = kWindowLanguage);
// The message of a refused point: it names the sheet and the reason.
std::string refusalMessage(const Egsa87Refusal& refusal, const SheetChoice& choice, Language language = kWindowLanguage);

// One point: the target's two coordinates ("0.000"), the geodetic display
// as ">" writes it, and the sheet whose polynomial was used.
struct Egsa87PointTexts {
    std::string x, y;  // E, N (to ΕΓΣΑ87) or X, Y on the sheet's centre (from it)
    GeodeticTexts geodetic;
    const geodesy::Sheet* sheet = nullptr;
    bool farOutside = false;
};
// X and Y (or E and N) read as the window reads its fields; on a refusal
// why (refusalMessage gives its words).
Expected<Egsa87PointTexts, Egsa87Refusal> computeEgsa87Point(const SheetChoice& choice, Direction direction,
                                                       std::string_view xText, std::string_view yText);

// A list's records to or from ΕΓΣΑ87, one point line each (the list
// format of the Hatt conversions: code, X, Y, H).
class Egsa87LineConverter final : public PointConverter {
public:
    // Refusals in the language given.
    Egsa87LineConverter(const SheetChoice& choice, Direction direction, Language language = kWindowLanguage)
        : m_choice(choice), m_direction(direction), m_language(language)
    {
    }

    // As appendConvertedPoint (operations/point_list.h).
    bool appendPoint(const pointfile::RecordPoint& point, const pointfile::PointLayout& layout,
                     std::string& out) const override;
    // Why the point of a record that appendPoint refused was refused (empty
    // when it is convertible after all).
    std::string refusalOf(const pointfile::RecordPoint& point) const override;
    // Points converted far outside a named sheet's outline so far.
    unsigned long long farOutsideCount() const { return m_farOutside.load(std::memory_order_relaxed); }
    // Their warning, empty when there are none.
    std::string warning() const override;
    const SheetChoice& choice() const { return m_choice; }

private:
    Expected<Egsa87Result, Egsa87Refusal> convert(double x, double y) const;

    const SheetChoice& m_choice;
    Direction m_direction;
    Language m_language;
    mutable std::atomic<unsigned long long> m_farOutside{0};
};

// The window's menu entries. On a refusal they show its message under
// "Προσοχή!" and change no field.
// The point of "Από Κ.Φ." (txtX1, txtY1) to ΕΓΣΑ87: its line appended to
// panel 2 with the sheet's name as the code.
void convertPointToEgsa87(Fields& fields, Dialogs& dialogs);
// Panel 1 from "Από Κ.Φ." to ΕΓΣΑ87, into panel 2 as the batch does.
void convertListToEgsa87(Fields& fields, Dialogs& dialogs, const TempPlaces& temp);
// Panel 1 as Grid points to "Σε Κ.Φ.", into panel 2.
void convertListFromEgsa87(Fields& fields, Dialogs& dialogs, const TempPlaces& temp);

// The sheet chooser's result: the sheet's centre written into the φ and Δλ
// fields of "Από Κ.Φ." (From) or "Σε Κ.Φ." (To), as the user would type it.
void placeSheetCentre(Fields& fields, const geodesy::Sheet& sheet, Side side);

// The sheet the point of a centre's fields lies on ("Άθως (ΟΚΧΕ 1)"), or
// empty when none of that centre's sheets holds it: what the window shows
// after ">" (the new centre and txtX2, txtY2) and "<" (the old centre).
std::string sheetNameOfPoint(std::string_view phiText, std::string_view lambdaText, std::string_view xText,
                             std::string_view yText);

} // namespace hattsheet::operations
