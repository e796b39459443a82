#pragma once
// Common points read from lists, and a fitted plane transformation written
// to and read back from its text file.
//
// A common list's lines are `code, x, y, X, Y`; a side list (one side of
// the common points) is a point list as the conversions read it, `code, x,
// y[, H]`. Both come in every layout of the point lists: "," ";" tab or
// spaces, a decimal comma beside the last three, quoted fields, a header
// line, Windows-1253 or UTF-8 with or without a byte-order mark, any line
// ends, blank and separator-only lines (pointfile/point_layout.h; a common
// list's layout by pointfile/number_rows.h). Lines that begin with "#" are
// comments. Codes are given in UTF-8.
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
#include "operations/list_engine.h"

#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

struct ListLineError {
    unsigned long long line = 0;  // 1-based
    std::size_t fields = 0;       // found; 0 with a field that is no number
    // Where and why, as a conversion list's record is named (the record,
    // its input line, the fault; MessageBook::fitListStopped words it).
    ListStop stop;
};

// A side list's point.
struct CodedPoint {
    std::string code;
    double x = 0.0, y = 0.0;  // metres
};

// The points of a list file's bytes, or the first record that cannot be read.
[[nodiscard]] Expected<std::vector<geodesy::CommonPoint>, ListLineError> readCommonList(std::string_view bytes);
[[nodiscard]] Expected<std::vector<CodedPoint>, ListLineError> readSideList(std::string_view bytes);

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
