#pragma once
// One point from one sheet to another: the ">" and "<" buttons, and the
// command line's --point.

#include "base/expected.h"
#include "geodesy/hatt_projection.h"
#include "operations/window_ports.h"

#include <string>
#include <string_view>
#include <utility>

namespace hattsheet::operations {

enum class ConversionError {
    Latitude,     // a centre's φ refused: "Λάθος στο Φ."
    Longitude,    // a centre's Δλ refused: "Λάθος στο Δλ."
    Coordinates,  // X or Y beyond a double, or a result that is not finite
};

// The Greek message of an error (shown under "Προσοχή!").
const char* messageFor(ConversionError error);

// The source sheet and the target sheet of one conversion, read from the
// texts of their φ and Δλ fields: the source centre completely (φ, Δλ, check
// φ, check Δλ), and only then the target centre.
struct SheetPair {
    geodesy::HattSheet from;
    geodesy::HattSheet to;
};
Expected<SheetPair, ConversionError> readSheetPair(std::string_view fromPhi, std::string_view fromLambda,
                                                   std::string_view toPhi, std::string_view toLambda);

// The degrees-minutes-seconds text of an angle in decimal degrees:
// D° M' S.SSSSS'' with D and M rounded down and no carry from the seconds,
// so 40.849999999999994 gives "40° 50' 60.00000''".
std::string formatDms(double degrees);

// What ">" writes: the new sheet's X and Y ("0.000") and the geodetic display.
struct OldToNewTexts {
    std::string x2, y2;
    std::string lat;           // txtf
    std::string lonAthens;     // txtm
    std::string lonGreenwich;  // txtl
};

struct CentreTexts {
    std::string_view phi, lambda;  // degrees-minutes texts
};

Expected<OldToNewTexts, ConversionError> computeOldToNew(CentreTexts oldCentre, CentreTexts newCentre,
                                                         std::string_view xText, std::string_view yText);
// What "<" writes into txtX1 and txtY1.
Expected<std::pair<std::string, std::string>, ConversionError>
computeNewToOld(CentreTexts newCentre, CentreTexts oldCentre, std::string_view xText, std::string_view yText);

// The window's operations. On a refusal they show its message under
// "Προσοχή!" with the critical icon and change no field.
void convertOldToNew(Fields& fields, Dialogs& dialogs);
void convertNewToOld(Fields& fields, Dialogs& dialogs);

// Writes txtf, txtl and txtm from decimal degrees: latitude, longitude from
// Greenwich, longitude from the Athens meridian (signed "-" when west).
void showGeodetic(Fields& fields, double latDeg, double lonDeg, double athensLonDeg);

} // namespace hattsheet::operations
