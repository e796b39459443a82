// The fit's inputs on arbitrary bytes: a common list (code, x, y, X, Y in
// any layout), a side list, a fit file, and a HEPOS correction grid file.
//
// Properties:
// - reading a common or side list ends; every point it gives has finite
//   coordinates;
// - a fit of a common list's points either refuses or gives finite
//   parameters, and a point carried through it is finite;
// - a fit file that reads writes back to a file that reads to the same
//   model and the same parameters, bit for bit (17 significant digits);
// - a grid file either is refused or holds only finite shifts within the
//   largest the model allows.

#include "fuzz_check.h"
#include "geodesy/hepos_grid.h"
#include "geodesy/plane_fit.h"
#include "operations/plane_fit_file.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using namespace hattsheet;
using hattsheet::fuzz::require;

namespace {

bool finite(double v) { return std::isfinite(v); }

void commonList(std::string_view text)
{
    const auto points = operations::readCommonList(text);
    if (!points) return;
    for (const geodesy::CommonPoint& p : *points) {
        require(finite(p.x) && finite(p.y) && finite(p.X) && finite(p.Y),
                "a common point is finite", p.code);
    }
    for (const geodesy::FitModel model : {geodesy::FitModel::Similarity, geodesy::FitModel::Affine, geodesy::FitModel::Poly2}) {
        const auto result = geodesy::fitPlane(model, *points);
        if (!result) continue;
        for (const double v : result->fit.parameters) require(finite(v), "a fitted parameter is finite");
        if (points->empty()) continue;
        const geodesy::PlaneXY p = geodesy::applyFit(result->fit, points->front().x, points->front().y);
        require(finite(p.x) && finite(p.y), "a fitted point carried through its fit is finite");
    }
}

void sideList(std::string_view text)
{
    const auto points = operations::readSideList(text);
    if (!points) return;
    for (const operations::CodedPoint& p : *points) require(finite(p.x) && finite(p.y), "a side point is finite", p.code);
}

void fitFile(std::string_view text)
{
    const auto fit = operations::readFitFile(text);
    if (!fit) return;
    const std::string written = operations::writeFitFile(*fit, {}, "2026-01-01T00:00:00Z");
    const auto back = operations::readFitFile(written);
    require(back.hasValue(), "a fit file written reads back", written);
    require(back->model == fit->model, "the model reads back", written);
    require(back->parameters.size() == fit->parameters.size(), "every parameter reads back", written);
    for (std::size_t k = 0; k < fit->parameters.size(); ++k) {
        require(std::memcmp(&back->parameters[k], &fit->parameters[k], sizeof(double)) == 0 ||
                    (std::isnan(back->parameters[k]) && std::isnan(fit->parameters[k])),
                "a parameter reads back bit for bit", written);
    }
}

void gridFile(std::string_view text)
{
    const auto grid = geodesy::CorrectionGrid::parse(text, "fuzz.grd");
    if (!grid) return;
    for (int row = 0; row < geodesy::kHeposRows; ++row) {
        for (int column = 0; column < geodesy::kHeposColumns; ++column) {
            const double cm = grid->node(row, column);
            require(finite(cm) && std::fabs(cm) <= geodesy::kLargestShiftCm, "a grid shift is finite and within the limit");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0: commonList(text); break;
    case 1: sideList(text); break;
    case 2: fitFile(text); break;
    default: gridFile(text); break;
    }
    return 0;
}
