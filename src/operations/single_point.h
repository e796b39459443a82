#pragma once
// One point from one sheet to another: the ">" and "<" buttons, and the
// command line's --point.

#include "base/expected.h"
#include "geodesy/frame_pair.h"
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
Expected<geodesy::FramePair, ConversionError> readFramePair(std::string_view fromPhi, std::string_view fromLambda,
                                                            std::string_view toPhi, std::string_view toLambda);

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
// Swaps the two sheet centres ("Από Κ.Φ." φ and Δλ with "Σε Κ.Φ."'s), texts
// as they stand; the points stay.
void swapCentres(Fields& fields);

} // namespace hattsheet::operations
