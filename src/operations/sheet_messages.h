#pragma once
// The texts of the sheets and the Greek Grid (ΕΓΣΑ87): refusals, warnings
// and the labels of --sheets, once, in the style of operations/messages.h.
// Greek, as the window speaks; the command line's in the language of its
// run (English names the Grid EGSA87).

#include "geodesy/sheet_catalogue.h"
#include "text/language.h"

#include <string>
#include <string_view>

namespace hattsheet::operations::msg {

using text::Language;

// The Greek Grid as the window's menu and the messages name it.
inline constexpr char kGreekGrid[] = "ΕΓΣΑ87";
// The last line of a one-point conversion to or from the Grid.
inline constexpr char kSheetLabel[] = "Φύλλο = ";

// A sheet as a message names it: «Γύθειον» (ΟΚΧΕ 86), "Γύθειον" (agency
// no. 86). The name is the catalogue's in either language.
inline std::string sheetNamed(const geodesy::SheetRecord& sheet, Language language = Language::Greek)
{
    const bool greek = language == Language::Greek;
    return std::string(greek ? "«" : "\"")
        .append(sheet.name)
        .append(greek ? "» (ΟΚΧΕ " : "\" (agency no. ")
        .append(std::to_string(sheet.agencyNumber))
        .append(")");
}

// Why one of the six sheets is refused, as measured (data/README.md).
inline const char* defectText(geodesy::SheetDefect defect, Language language = Language::Greek)
{
    const bool greek = language == Language::Greek;
    switch (defect) {
    case geodesy::SheetDefect::OriginOffGrid:
        return greek ? "οι σταθεροί όροι A0, B0 απέχουν 270 km και 11 km από το σημείο όπου πέφτει το κέντρο του στο ΕΓΣΑ87, και το κέντρο του (Δλ 5°45') είναι εκτός των δεκτών κέντρων"
                     : "its constant terms A0, B0 lie 270 km and 11 km from where its centre falls in EGSA87, and its centre (5°45' from Athens) is outside the accepted centres";
    case geodesy::SheetDefect::CoefficientSlip:
        return greek ? "ο συντελεστής A2 διαφέρει από των φύλλων του ίδιου κέντρου (σφάλματα έως 150-253 m)"
                     : "its coefficient A2 differs from those of the sheets on the same centre (errors up to 150-253 m)";
    case geodesy::SheetDefect::ImpossibleScale:
        return greek ? "οι συντελεστές του δίνουν κλίμακα εκτός κατά -520 ή +3079 ppm (άλματα 27-53 m στα όριά του)"
                     : "its coefficients give a scale off by -520 or +3079 ppm (jumps of 27-53 m at its edges)";
    case geodesy::SheetDefect::NorthingScaleSlip:
        return greek ? "ο συντελεστής B2 διαφέρει κατά -487 ppm από των γειτόνων του (άλμα 5,4 m στα όριά του)"
                     : "its coefficient B2 differs by -487 ppm from its neighbours' (a jump of 5.4 m at its edges)";
    case geodesy::SheetDefect::None: break;
    }
    return "";
}

// A point on, or a name of, one of the six inconsistent sheets.
inline std::string defectiveSheet(const geodesy::SheetRecord& sheet, Language language = Language::Greek)
{
    const char* why = defectText(geodesy::sheetDefect(sheet), language);
    if (language == Language::English) {
        return "the EGSA87 polynomial of the sheet " + sheetNamed(sheet, language) + " is not used: " + why + ".";
    }
    return "Το πολυώνυμο ΕΓΣΑ87 του φύλλου " + sheetNamed(sheet) + " δεν χρησιμοποιείται: " + why + ".";
}

// A point outside every outline of the sheets on a centre.
inline std::string offSheets(std::string_view phiText, std::string_view lambdaText, Language language = Language::Greek)
{
    if (language == Language::English) {
        return std::string("the point lies on no 1:50,000 sheet of the centre ")
            .append(phiText).append(",").append(lambdaText).append(".");
    }
    return std::string("Το σημείο δεν βρίσκεται σε κανένα φύλλο 1:50.000 του κέντρου φ = ")
        .append(phiText).append(", Δλ = ").append(lambdaText).append(".");
}

// A centre that is no sheet's centre.
inline std::string noSheetOnCentre(std::string_view phiText, std::string_view lambdaText,
                                   Language language = Language::Greek)
{
    if (language == Language::English) {
        return std::string("no 1:50,000 sheet has the centre ")
            .append(phiText).append(",").append(lambdaText).append(" (EGSA87 needs a sheet's centre).");
    }
    return std::string("Κανένα φύλλο 1:50.000 δεν έχει κέντρο φ = ")
        .append(phiText).append(", Δλ = ").append(lambdaText).append(" (για το ΕΓΣΑ87 χρειάζεται κέντρο φύλλου).");
}

// Points converted with a named sheet's polynomial far outside its outline.
inline std::string farOutside(unsigned long long count, const geodesy::SheetRecord& sheet,
                              Language language = Language::Greek)
{
    if (language == Language::English) {
        return "warning: " + std::to_string(count) + (count == 1 ? " point lies" : " points lie") +
               " more than 1 km outside the outline of the sheet " + sheetNamed(sheet, language) +
               "; another sheet's polynomial holds there.";
    }
    return "Προειδοποίηση: " + std::to_string(count) + (count == 1 ? " σημείο απέχει" : " σημεία απέχουν") +
           " πάνω από 1 km από το περίγραμμα του φύλλου " + sheetNamed(sheet) +
           "· εκεί ισχύει το πολυώνυμο άλλου φύλλου.";
}

// --sheets: the last column.
inline constexpr char kUsable[] = "ΕΓΣΑ87";
inline constexpr char kUnusable[] = "χωρίς ΕΓΣΑ87";

// Usage errors of a name given as a centre (the command line's); text and
// the candidates as a message shows them.
inline std::string unknownSheet(std::string_view option, std::string_view text, const std::string& candidates,
                                Language language)
{
    if (language == Language::Greek) {
        const std::string m =
            std::string(option).append(" «").append(text).append("»: κανένα φύλλο δεν έχει αυτό το όνομα ή αριθμό");
        return candidates.empty() ? m + " (το hattsheet-convert --sheets τα απαριθμεί)"
                                  : m + "· ονόματα που το περιέχουν: " + candidates;
    }
    std::string m = std::string(option).append(" \"").append(text).append("\": no sheet has this name or agency number");
    return candidates.empty() ? m + " (hattsheet-convert --sheets lists them)" : m + "; names containing it: " + candidates;
}
inline std::string ambiguousSheet(std::string_view option, std::string_view text, const std::string& candidates,
                                  Language language)
{
    if (language == Language::Greek) {
        return std::string(option).append(" «").append(text).append("»: ταιριάζει σε πολλά φύλλα: ").append(candidates);
    }
    return std::string(option).append(" \"").append(text).append("\" names several sheets: ").append(candidates);
}
inline std::string gridBothWays(Language language)
{
    return language == Language::Greek ? "τα --from και --to δεν μπορεί να είναι και τα δύο egsa87"
                                       : "--from and --to cannot both be egsa87";
}

} // namespace hattsheet::operations::msg
