#include "geodesy/sheet_catalogue.h"

#include "text/angle_text.h"

#include <cmath>

namespace hattsheet::geodesy {

SheetDefect sheetDefect(const Sheet& sheet)
{
    switch (sheet.id) {
    case 390: return SheetDefect::OriginOffEgsa87;
    case 237:
    case 88: return SheetDefect::CoefficientSlip;
    case 26:
    case 78: return SheetDefect::ImpossibleScale;
    case 60: return SheetDefect::NorthingScaleSlip;
    default: return SheetDefect::None;
    }
}

const Sheet* sheetById(int id)
{
    const auto sheets = sheetCatalogue();
    if (id < 1 || static_cast<std::size_t>(id) > sheets.size()) return nullptr;
    return &sheets[static_cast<std::size_t>(id) - 1];
}

Centre centreOf(const Sheet& sheet)
{
    // The CSV's degrees-minutes texts are plain numbers ("40.45", "-0.15"):
    // always readable, so the fallback to the decimal column never happens.
    const double phi = text::degMinToDegrees(sheet.phi0DegMin).value_or(sheet.phi0Deg);
    const double lambda = text::degMinToDegrees(sheet.lambda0DegMin).value_or(sheet.lambda0Deg);
    return Centre(phi, lambda);
}

bool isOnCentre(const Sheet& sheet, double phi0Deg, double lambda0Deg)
{
    constexpr double kMinutesPerDegree = 60.0;
    return std::lround(sheet.phi0Deg * kMinutesPerDegree) == std::lround(phi0Deg * kMinutesPerDegree) &&
           std::lround(sheet.lambda0Deg * kMinutesPerDegree) == std::lround(lambda0Deg * kMinutesPerDegree);
}

} // namespace hattsheet::geodesy
