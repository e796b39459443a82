#pragma once
// The texts of the sheets and the Greek Grid (ΕΓΣΑ87): refusals, warnings
// and the labels of --sheets, once, in the style of operations/messages.h.

#include "geodesy/sheet_catalogue.h"

#include <string>
#include <string_view>

namespace hattsheet::operations::msg {

// The Greek Grid as the window's menu and the messages name it.
inline constexpr char kGreekGrid[] = "ΕΓΣΑ87";
// The last line of a one-point conversion to or from the Grid.
inline constexpr char kSheetLabel[] = "Φύλλο = ";

// A sheet as a message names it: «Γύθειον» (ΟΚΧΕ 86).
inline std::string sheetNamed(const geodesy::SheetRecord& sheet)
{
    return std::string("«").append(sheet.name).append("» (ΟΚΧΕ ").append(std::to_string(sheet.agencyNumber)).append(")");
}

// Why one of the six sheets is refused, as measured (data/README.md).
inline const char* defectText(geodesy::SheetDefect defect)
{
    switch (defect) {
    case geodesy::SheetDefect::OriginOffGrid:
        return "οι σταθεροί όροι A0, B0 απέχουν 270 km και 11 km από το σημείο όπου πέφτει το κέντρο του στο ΕΓΣΑ87, και το κέντρο του (Δλ 5°45') είναι εκτός των δεκτών κέντρων";
    case geodesy::SheetDefect::CoefficientSlip:
        return "ο συντελεστής A2 διαφέρει από των φύλλων του ίδιου κέντρου (σφάλματα έως 150-253 m)";
    case geodesy::SheetDefect::ImpossibleScale:
        return "οι συντελεστές του δίνουν κλίμακα εκτός κατά -520 ή +3079 ppm (άλματα 27-53 m στα όριά του)";
    case geodesy::SheetDefect::NorthingScaleSlip:
        return "ο συντελεστής B2 διαφέρει κατά -487 ppm από των γειτόνων του (άλμα 5,4 m στα όριά του)";
    case geodesy::SheetDefect::None: break;
    }
    return "";
}

// A point on, or a name of, one of the six inconsistent sheets.
inline std::string defectiveSheet(const geodesy::SheetRecord& sheet)
{
    return "Το πολυώνυμο ΕΓΣΑ87 του φύλλου " + sheetNamed(sheet) + " δεν χρησιμοποιείται: " +
           defectText(geodesy::sheetDefect(sheet)) + ".";
}

// A point outside every outline of the sheets on a centre.
inline std::string offSheets(std::string_view phiText, std::string_view lambdaText)
{
    return std::string("Το σημείο δεν βρίσκεται σε κανένα φύλλο 1:50.000 του κέντρου φ = ")
        .append(phiText).append(", Δλ = ").append(lambdaText).append(".");
}

// A centre that is no sheet's centre.
inline std::string noSheetOnCentre(std::string_view phiText, std::string_view lambdaText)
{
    return std::string("Κανένα φύλλο 1:50.000 δεν έχει κέντρο φ = ")
        .append(phiText).append(", Δλ = ").append(lambdaText).append(" (για το ΕΓΣΑ87 χρειάζεται κέντρο φύλλου).");
}

// Points converted with a named sheet's polynomial far outside its outline.
inline std::string farOutside(unsigned long long count, const geodesy::SheetRecord& sheet)
{
    return "Προειδοποίηση: " + std::to_string(count) + (count == 1 ? " σημείο απέχει" : " σημεία απέχουν") +
           " πάνω από 1 km από το περίγραμμα του φύλλου " + sheetNamed(sheet) +
           "· εκεί ισχύει το πολυώνυμο άλλου φύλλου.";
}

// --sheets: the last column.
inline constexpr char kUsable[] = "ΕΓΣΑ87";
inline constexpr char kUnusable[] = "χωρίς ΕΓΣΑ87";

// Usage errors of a name given as a centre (the command line's, in the
// language of its other usage errors).
inline std::string unknownSheet(std::string_view option, std::string_view text, const std::string& candidates)
{
    std::string m = std::string(option).append(" \"").append(text).append("\": no sheet has this name or agency number");
    return candidates.empty() ? m + " (hattsheet-convert --sheets lists them)" : m + "; names containing it: " + candidates;
}
inline std::string ambiguousSheet(std::string_view option, std::string_view text, const std::string& candidates)
{
    return std::string(option).append(" \"").append(text).append("\" names several sheets: ").append(candidates);
}
inline constexpr char kGridBothWays[] = "--from and --to cannot both be egsa87";

} // namespace hattsheet::operations::msg
