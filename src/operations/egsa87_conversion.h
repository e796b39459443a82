#pragma once
// Hatt plane coordinates to the Greek Grid (ΕΓΣΑ87 / TM87) and back through
// the agency's polynomial of the 1:50,000 sheet the point lies on; the
// choice of that sheet. Shared by the command line and the window.
//
// A sheet's polynomial takes Hatt X, Y on the sheet's own centre, so the
// sheets a centre offers are those on that centre (the four 15'×15'
// quarters of its 1:100,000 sheet, and the island sheets drawn on it). The
// point lies on the one whose outline holds its position on the ellipsoid
// (geodesy/sheet_outline.h: south and west edges inside).

#include "base/expected.h"
#include "geodesy/egsa87_polynomial.h"
#include "geodesy/sheet_catalogue.h"
#include "geodesy/hatt_projection.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hattsheet::operations {

// Why a centre offers no sheet.
enum class ChoiceError {
    Latitude,        // the centre's φ is refused ("Λάθος στο Φ.")
    Longitude,       // the centre's Δλ is refused ("Λάθος στο Δλ.")
    NoSheetOnCentre, // no sheet of the catalogue has that centre
    DefectiveSheet,  // the named sheet's polynomial is one of the six inconsistent ones
};

// Why one point is refused.
enum class PointRefusal {
    OffSheets,       // outside every outline of the centre's sheets
    DefectiveSheet,  // on a sheet whose polynomial is inconsistent (sheet names it)
    Coordinates,     // X, Y or E, N beyond a double, or a result not finite
};
struct Egsa87Refusal {
    PointRefusal reason = PointRefusal::Coordinates;
    const geodesy::Sheet* sheet = nullptr;  // for DefectiveSheet
};

// The sheets one conversion may use, and the Hatt projection at their centre.
class SheetChoice {
public:
    // The sheets on the centre of these degrees-minutes texts.
    static Expected<SheetChoice, ChoiceError> onCentre(std::string_view phiText, std::string_view lambdaText);
    // One sheet, named by the user: its polynomial for every point.
    static Expected<SheetChoice, ChoiceError> named(const geodesy::Sheet& sheet);

    bool isNamed() const { return m_named; }
    const geodesy::HattProjection& projection() const { return m_projection; }
    // The centre's degrees-minutes texts, as the messages show them.
    std::string_view phiText() const { return m_phiText; }
    std::string_view lambdaText() const { return m_lambdaText; }

    struct Candidate {
        const geodesy::Sheet* sheet;
        geodesy::Egsa87Polynomial polynomial;
        bool usable;
    };
    const std::vector<Candidate>& candidates() const { return m_candidates; }

private:
    SheetChoice(geodesy::Centre centre, std::string phiText, std::string lambdaText, bool named)
        : m_projection(centre), m_phiText(std::move(phiText)), m_lambdaText(std::move(lambdaText)), m_named(named)
    {
    }
    geodesy::HattProjection m_projection;
    std::string m_phiText, m_lambdaText;
    bool m_named;
    std::vector<Candidate> m_candidates;  // usable ones first
};

// What a conversion gives besides the coordinates.
struct Egsa87Result {
    geodesy::PlanePoint target;          // E, N to ΕΓΣΑ87; X, Y on the sheet's centre from it (metres)
    geodesy::GeodeticPosition position;  // latitude, longitude east of Greenwich (radians)
    double lambdaAthens = 0.0;           // longitude from the Athens meridian (radians), as the window shows it
    const geodesy::Sheet* sheet = nullptr;
    // A named sheet's polynomial used more than kFarOutsideMetres outside its
    // outline (never set when the sheet was chosen by the point).
    bool farOutside = false;
};

// Past this distance outside a named sheet's outline a point draws a
// warning (metres): neighbouring polynomials part by metres there.
inline constexpr double kFarOutsideMetres = 1000.0;

// Hatt X, Y on the choice's centre (metres) -> E, N.
Expected<Egsa87Result, Egsa87Refusal> hattToEgsa87(const SheetChoice& choice, geodesy::PlanePoint p);
// E, N (metres) -> Hatt X, Y on the choice's centre.
Expected<Egsa87Result, Egsa87Refusal> egsa87ToHatt(const SheetChoice& choice, geodesy::Egsa87Point g);

} // namespace hattsheet::operations
