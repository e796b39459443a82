#pragma once
// One point from one sheet to another: the ">" and "<" buttons, and the
// command line's --point.

#include "base/expected.h"
#include "geodesy/hatt_conversion.h"
#include "operations/geodetic_display.h"
#include "operations/window_ports.h"
#include "operations/window_texts.h"

#include <string>
#include <string_view>
#include <utility>

namespace hattsheet::operations {

enum class ConversionError {
    Latitude,     // a centre's φ refused: "Λάθος στο Φ."
    Longitude,    // a centre's Δλ refused: "Λάθος στο Δλ."
    Coordinates,  // X or Y beyond a double, or a result that is not finite
};

// The message of an error (the window shows it under "Προσοχή!"); a
// refused centre's gives the accepted range on its second line.
std::string messageFor(ConversionError error, Language language = kWindowLanguage);

// The source sheet and the target sheet of one conversion, read from the
// texts of their φ and Δλ fields: the source centre completely (φ, Δλ, check
// φ, check Δλ), and only then the target centre.
Expected<geodesy::HattConversion, ConversionError> readHattConversion(std::string_view fromPhi, std::string_view fromLambda,
                                                            std::string_view toPhi, std::string_view toLambda);

// What ">" writes: the new sheet's X and Y ("0.000") and the geodetic display.
struct OldToNewTexts {
    std::string x2, y2;
    GeodeticTexts geodetic;
};

struct CentreTexts {
    std::string_view phi, lambda;  // degrees-minutes texts
};

Expected<OldToNewTexts, ConversionError> computeOldToNew(CentreTexts oldCentre, CentreTexts newCentre,
                                                         std::string_view xText, std::string_view yText);
// What "<" writes into txtX1 and txtY1.
Expected<std::pair<std::string, std::string>, ConversionError>
computeNewToOld(CentreTexts newCentre, CentreTexts oldCentre, std::string_view xText, std::string_view yText);

// The field a refused centre or point names, for a conversion from the
// centre in fromPhi/fromLambda (FieldId::PhiOld or PhiNew and their Δλ) whose
// point is in xField: the φ or Δλ field of the centre refused, else xField.
FieldId refusedField(const Fields& fields, ConversionError error, FieldId fromPhi, FieldId fromLambda, FieldId toPhi,
                     FieldId toLambda, FieldId xField);
// A sheet centre typed with 60 minutes or more ("40.75"), as it was read
// (text::readLongMinutes): "40.75 διαβάστηκε ως 41° 15' (μοίρες.λεπτά)".
// Empty when the minutes are below 60 or the text holds no number.
std::string minutesNote(std::string_view degMinText, Language language);
// After a conversion: a note beside the first centre field whose text has
// 60 minutes or more ("40.75" is 41°15'), saying how it was read.
void noteLongMinutes(Fields& fields);

// The window's operations. On a refusal they show its message under
// "Προσοχή!" with the critical icon, change no field, and give the focus
// back to the field refused.
void convertOldToNew(Fields& fields, Dialogs& dialogs);
void convertNewToOld(Fields& fields, Dialogs& dialogs);
// Swaps the two sheet centres ("Από Κ.Φ." φ and Δλ with "Σε Κ.Φ."'s), texts
// as they stand; the points stay.
void swapCentres(Fields& fields);

} // namespace hattsheet::operations
