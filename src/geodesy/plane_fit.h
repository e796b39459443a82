#pragma once
// A plane transformation fitted by least squares to common points (points
// known in a source and a target system): similarity (4 parameters: shift,
// rotation, scale), affine (6) or second order (12), and applied later.
//
// Every coordinate is reduced to its set's centroid before the fit (u = x - xc,
// v = y - yc, U = X - Xc, V = Y - Yc) and u, v are divided by the points'
// RMS distance from the centroid inside the solver, so ΕΓΣΑ87's millions of
// metres lose no digits and the normal equations stay well conditioned:
//   similarity  U = tx + a·u - b·v            V = ty + b·u + a·v
//   affine      U = a0 + a1·u + a2·v           V = b0 + b1·u + b2·v
//   poly2       U = a0 + a1·u + a2·v + a3·u² + a4·u·v + a5·v²   (V likewise, b0..b5)
// The parameters are kept in these metre-based units, in the order written.

#include "base/expected.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::geodesy {

enum class FitModel { Similarity, Affine, Poly2 };

// "similarity", "affine", "poly2"; nullopt for anything else.
std::optional<FitModel> fitModelNamed(std::string_view name);
std::string_view fitModelName(FitModel model);
// The parameters of the model (4, 6, 12) and the fewest points that fix them (2, 3, 6).
std::size_t parameterCount(FitModel model);
std::size_t fewestPoints(FitModel model);

struct CommonPoint {
    std::string code;
    double x = 0.0, y = 0.0;  // source (metres)
    double X = 0.0, Y = 0.0;  // target (metres)
};

struct PlaneXY {
    double x = 0.0, y = 0.0;  // metres
};

// A fitted (or read back) transformation.
struct PlaneFit {
    FitModel model = FitModel::Similarity;
    PlaneXY sourceCentroid, targetCentroid;  // metres
    std::vector<double> parameters;          // parameterCount(model), in the order above
};

enum class FitError {
    TooFewPoints,  // fewer than fewestPoints(model)
    Degenerate,    // the points cannot fix the model (collinear, coincident, a conic for poly2)
    NotFinite,     // a coordinate is not a finite number
};

// A fit and what the least squares tell about it.
struct FitResult {
    PlaneFit fit;
    // Standard deviations of the parameters (same units), a posteriori: none
    // when there are no more observations than parameters.
    std::optional<std::vector<double>> sigmas;
    // The covariance of a and b (similarity only, dimensionless²), for the
    // scale's and rotation's deviations; none as above.
    std::optional<std::array<double, 3>> abCovariance;  // var a, cov ab, var b
};

[[nodiscard]] Expected<FitResult, FitError> fitPlane(FitModel model, const std::vector<CommonPoint>& points);

// The target point of a source point (metres).
PlaneXY applyFit(const PlaneFit& fit, double x, double y);

// A fit stated about the source's origin (x = y = 0) instead of its
// centroid, in the form and order of the sheets' polynomials
// (egsa87_polynomial.h):
//   X = A0 + A1·x + A2·y + A3·x² + A4·y² + A5·x·y     Y likewise with B0..B5
// (metres; A1, A2 dimensionless; A3..A5 per metre). A similarity or an
// affine fit has A3..A5 and B3..B5 zero. Expanding moves the centroid into
// A0..A2 in doubles: the terms are summed in the order of the expansion
// (plane_fit.cpp), so at a point of the fit's own area the form and
// applyFit part by no more than rounding (tests/geodesy/tst_plane_fit.cpp
// measures it on the sheets' polynomials).
struct OriginPolynomial {
    std::array<double, 6> a, b;
};
OriginPolynomial aboutOrigin(const PlaneFit& fit);

// Scale and rotation of a similarity: scale - 1 in ppm, rotation in radians
// (counter-clockwise from the source's x axis to the target's).
struct ScaleRotation {
    double scalePpm = 0.0, rotationRad = 0.0;
    std::optional<double> scaleSigmaPpm, rotationSigmaRad;
};
ScaleRotation scaleRotation(const FitResult& result);

// The residual of a point: the given target minus the fitted one (metres).
struct Residual {
    double dx = 0.0, dy = 0.0, length = 0.0;
};
Residual residualOf(const PlaneFit& fit, const CommonPoint& point);
// sqrt(Σ length² / n) over the points (metres); 0 for none.
double rmsOf(const std::vector<Residual>& residuals);

} // namespace hattsheet::geodesy
