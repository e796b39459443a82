#pragma once
// Common points read from lists, and a fitted plane transformation written
// to and read back from its text file.
//
// A list line is `code, x, y, X, Y` (common points) or `code, x, y[, H]` (one
// side of them), its fields separated by ";", else by "," (on a line
// without tabs), else by runs of spaces and tabs; with ";" or a tab a number
// may have a decimal comma. Blank lines and lines beginning with "#" are skipped, and so is a
// first line whose numbers are not numbers (a header).
//
// The fit file is lines `name = value`, numbers to 17 significant digits
// (each double exactly), the points as `point = code x y X Y`:
//   # hattsheet plane fit
//   model = similarity
//   date = 2026-12-08T14:05:00Z
//   source_centroid = xc yc         (metres)
//   target_centroid = Xc Yc         (metres)
//   tx = …  ty = …  a = …  b = …    (one per line; affine a0 a1 a2 b0 b1 b2; poly2 a0..a5 b0..b5)
//   point = P1 1000 2000 480512.345 4201003.21

#include "base/expected.h"
#include "geodesy/plane_fit.h"

#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

struct ListLineError {
    unsigned long long line = 0;  // 1-based
    std::size_t fields = 0;       // found; 0 with a field that is no number
};

// A side list's point.
struct CodedPoint {
    std::string code;
    double x = 0.0, y = 0.0;  // metres
};

[[nodiscard]] Expected<std::vector<geodesy::CommonPoint>, ListLineError> readCommonList(std::string_view text);
[[nodiscard]] Expected<std::vector<CodedPoint>, ListLineError> readSideList(std::string_view text);

// Why two side lists do not pair, or a list repeats a code.
struct PairingError {
    std::vector<std::string> onlyFrom, onlyTo;  // codes found in one list only
    std::string duplicate;                      // a code twice in one list (then the others are empty)
};
// The points of from with the target of the same code in to, in from's order.
[[nodiscard]] Expected<std::vector<geodesy::CommonPoint>, PairingError>
pairByCode(const std::vector<CodedPoint>& from, const std::vector<CodedPoint>& to);
// The first code given twice, or empty.
std::string duplicateCode(const std::vector<geodesy::CommonPoint>& points);

// The parameters' names in the order of plane_fit.h.
std::vector<std::string_view> parameterNames(geodesy::FitModel model);

std::string writeFitFile(const geodesy::PlaneFit& fit, const std::vector<geodesy::CommonPoint>& points,
                         std::string_view date);
// The fit of a file, or the 1-based number of the line that is wrong (0: a
// line is missing).
[[nodiscard]] Expected<geodesy::PlaneFit, unsigned long long> readFitFile(std::string_view text);

} // namespace hattsheet::operations
