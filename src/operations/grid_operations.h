#pragma once
// The conversions to and from the Greek Grid (ΕΓΣΑ87) as the command line
// and the window run them: one point as texts, one record of a list, and
// the window's menu entries.

#include "base/expected.h"
#include "operations/egsa87_conversion.h"
#include "operations/list_engine.h"
#include "operations/list_messages.h"
#include "operations/window_ports.h"
#include "operations/window_texts.h"
#include "pointfile/point_layout.h"
#include "pointfile/point_record.h"

#include <atomic>
#include <string>
#include <string_view>

namespace hattsheet::operations {

enum class GridDirection { ToGrid, FromGrid };

// One of the six inconsistent sheets whose centre this refused centre is
// (390 Ν.Μεγίστη's, Δλ 5°45'), or none.
const geodesy::SheetRecord* defectiveSheetOnCentre(std::string_view phiText, std::string_view lambdaText);
// The message of a refused centre or sheet (the window's in its language,
// the command line's in the language of its run).
std::string choiceMessage(ChoiceError error, std::string_view phiText, std::string_view lambdaText,
                          const geodesy::SheetRecord* sheet, Language language = kWindowLanguage);
// The message of a refused point: it names the sheet and the reason.
std::string refusalMessage(const GridRefusal& refusal, const SheetChoice& choice, Language language = kWindowLanguage);

// One point: the target's two coordinates ("0.000"), the geodetic display
// as ">" writes it, and the sheet whose polynomial was used.
struct GridPointTexts {
    std::string x, y;  // E, N (to the Grid) or X, Y on the sheet's centre (from it)
    std::string lat, lonAthens, lonGreenwich;
    const geodesy::SheetRecord* sheet = nullptr;
    bool farOutside = false;
};
// X and Y (or E and N) read as the window reads its fields; on a refusal
// why (refusalMessage gives its words).
Expected<GridPointTexts, GridRefusal> computeGridPoint(const SheetChoice& choice, GridDirection direction,
                                                       std::string_view xText, std::string_view yText);

// A list's records to or from the Grid, one point line each (the list
// format of the Hatt conversions: code, X, Y, H).
class GridLineConverter final : public PointConverter {
public:
    // Refusals in the language given.
    GridLineConverter(const SheetChoice& choice, GridDirection direction, Language language = kWindowLanguage)
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
    Expected<GridResult, GridRefusal> convert(double x, double y) const;

    const SheetChoice& m_choice;
    GridDirection m_direction;
    Language m_language;
    mutable std::atomic<unsigned long long> m_farOutside{0};
};

// The window's menu entries. On a refusal they show its message under
// "Προσοχή!" and change no field.
// The point of "Από Κ.Φ." (txtX1, txtY1) to the Grid: its line appended to
// panel 2 with the sheet's name as the code.
void convertPointToGrid(Fields& fields, Dialogs& dialogs);
// Panel 1 from "Από Κ.Φ." to the Grid, into panel 2 as the batch does.
void convertListToGrid(Fields& fields, Dialogs& dialogs, const TempPlaces& temp);
// Panel 1 as Grid points to "Σε Κ.Φ.", into panel 2.
void convertListFromGrid(Fields& fields, Dialogs& dialogs, const TempPlaces& temp);

// The sheet chooser's result: the sheet's centre written into the φ and Δλ
// fields of "Από Κ.Φ." (From) or "Σε Κ.Φ." (To), as the user would type it.
enum class CentreFrame { From, To };
void placeSheetCentre(Fields& fields, const geodesy::SheetRecord& sheet, CentreFrame frame);

// The sheet the point of a centre's fields lies on ("Άθως (ΟΚΧΕ 1)"), or
// empty when none of that centre's sheets holds it: what the window shows
// after ">" (the new centre and txtX2, txtY2) and "<" (the old centre).
std::string sheetNameOfPoint(std::string_view phiText, std::string_view lambdaText, std::string_view xText,
                             std::string_view yText);

} // namespace hattsheet::operations
