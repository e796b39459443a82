// Least squares by the normal equations, solved by Cholesky's factorisation
// (N = L·Lᵀ), in centroid-reduced coordinates scaled by their RMS distance
// from the centroid (symbols as in plane_fit.h; t1 = u / s, t2 = v / s).
// Standard deviations are a posteriori: σ0² = vᵀv / (2n - m) times the
// diagonal of N⁻¹, with v the residuals (metres), n points, m parameters.

#include "geodesy/plane_fit.h"

#include <algorithm>
#include <cmath>

namespace hattsheet::geodesy {

namespace {

// The largest parameter vector (poly2's).
constexpr std::size_t kMostParameters = 12;
using Row = std::array<double, kMostParameters>;
using Matrix = std::array<Row, kMostParameters>;

// A pivot of the factorisation below this share of its diagonal entry means
// the points do not fix the parameter: in scaled coordinates a fit that
// holds has pivots of order 1e-3 and more, one of collinear points of order
// 1e-16 (rounding).
constexpr double kDegeneratePivot = 1e-9;

// The power of u, v in parameter k: a parameter of degree d in metre units
// is the scaled one divided by s^d.
int degreeOf(FitModel model, std::size_t k)
{
    switch (model) {
    case FitModel::Similarity: return k < 2 ? 0 : 1;
    case FitModel::Affine: return k % 3 == 0 ? 0 : 1;
    case FitModel::Poly2: {
        constexpr int degrees[6] = {0, 1, 1, 2, 2, 2};
        return degrees[k % 6];
    }
    }
    return 0;
}

// The rows of the design matrix for U and V of one point at (t1, t2).
void designRows(FitModel model, double t1, double t2, Row& rowU, Row& rowV)
{
    rowU.fill(0.0);
    rowV.fill(0.0);
    switch (model) {
    case FitModel::Similarity:
        rowU[0] = 1.0, rowU[2] = t1, rowU[3] = -t2;
        rowV[1] = 1.0, rowV[2] = t2, rowV[3] = t1;
        return;
    case FitModel::Affine:
        rowU[0] = 1.0, rowU[1] = t1, rowU[2] = t2;
        rowV[3] = 1.0, rowV[4] = t1, rowV[5] = t2;
        return;
    case FitModel::Poly2: {
        const double terms[6] = {1.0, t1, t2, std::pow(t1, 2), t1 * t2, std::pow(t2, 2)};
        for (std::size_t k = 0; k < 6; ++k) rowU[k] = terms[k], rowV[6 + k] = terms[k];
        return;
    }
    }
}

// N = L·Lᵀ in place (lower triangle); false when a pivot shows the
// parameters are not fixed.
bool choleskyFactor(Matrix& n, std::size_t m)
{
    for (std::size_t j = 0; j < m; ++j) {
        const double diagonal = n[j][j];
        double d = n[j][j];
        for (std::size_t k = 0; k < j; ++k) d -= n[j][k] * n[j][k];
        if (!(d > kDegeneratePivot * diagonal)) return false;
        n[j][j] = std::sqrt(d);
        for (std::size_t i = j + 1; i < m; ++i) {
            double s = n[i][j];
            for (std::size_t k = 0; k < j; ++k) s -= n[i][k] * n[j][k];
            n[i][j] = s / n[j][j];
        }
    }
    return true;
}

// Solves L·Lᵀ·x = b.
std::vector<double> choleskySolve(const Matrix& l, std::size_t m, std::vector<double> b)
{
    for (std::size_t i = 0; i < m; ++i) {
        for (std::size_t k = 0; k < i; ++k) b[i] -= l[i][k] * b[k];
        b[i] /= l[i][i];
    }
    for (std::size_t i = m; i-- > 0;) {
        for (std::size_t k = i + 1; k < m; ++k) b[i] -= l[k][i] * b[k];
        b[i] /= l[i][i];
    }
    return b;
}

PlaneXY centroidOf(const std::vector<CommonPoint>& points, bool target)
{
    PlaneXY sum;
    for (const CommonPoint& p : points) {
        sum.x += target ? p.X : p.x;
        sum.y += target ? p.Y : p.y;
    }
    const double n = static_cast<double>(points.size());
    return {sum.x / n, sum.y / n};
}

// The points' RMS distance from the source centroid (metres).
double spreadOf(const std::vector<CommonPoint>& points, PlaneXY c)
{
    double sum = 0.0;
    for (const CommonPoint& p : points) sum += std::pow(p.x - c.x, 2) + std::pow(p.y - c.y, 2);
    return std::sqrt(sum / static_cast<double>(points.size()));
}

// Standard deviations of the scaled parameters, and the covariance of the
// similarity's a and b (scaled), from σ0² and N⁻¹.
void addSigmas(FitResult& result, const Matrix& l, std::size_t m, double sigma0Squared, double s)
{
    std::vector<double> sigmas(m);
    std::vector<std::vector<double>> inverse(m);
    for (std::size_t k = 0; k < m; ++k) {
        std::vector<double> unit(m, 0.0);
        unit[k] = 1.0;
        inverse[k] = choleskySolve(l, m, unit);
        sigmas[k] = std::sqrt(sigma0Squared * inverse[k][k]) / std::pow(s, degreeOf(result.fit.model, k));
    }
    result.sigmas = sigmas;
    if (result.fit.model == FitModel::Similarity) {
        const double s2 = std::pow(s, 2);
        result.abCovariance = std::array<double, 3>{sigma0Squared * inverse[2][2] / s2,
                                                    sigma0Squared * inverse[2][3] / s2,
                                                    sigma0Squared * inverse[3][3] / s2};
    }
}

} // namespace

std::optional<FitModel> fitModelNamed(std::string_view name)
{
    for (const FitModel m : {FitModel::Similarity, FitModel::Affine, FitModel::Poly2}) {
        if (name == fitModelName(m)) return m;
    }
    return std::nullopt;
}

std::string_view fitModelName(FitModel model)
{
    switch (model) {
    case FitModel::Similarity: return "similarity";
    case FitModel::Affine: return "affine";
    case FitModel::Poly2: return "poly2";
    }
    return {};
}

std::size_t parameterCount(FitModel model)
{
    return model == FitModel::Similarity ? 4 : model == FitModel::Affine ? 6 : 12;
}

std::size_t fewestPoints(FitModel model) { return parameterCount(model) / 2; }

Expected<FitResult, FitError> fitPlane(FitModel model, const std::vector<CommonPoint>& points)
{
    for (const CommonPoint& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.X) || !std::isfinite(p.Y)) {
            return unexpected(FitError::NotFinite);
        }
    }
    if (points.size() < fewestPoints(model)) return unexpected(FitError::TooFewPoints);
    const std::size_t m = parameterCount(model);
    FitResult result;
    result.fit = PlaneFit{model, centroidOf(points, false), centroidOf(points, true), {}};
    const PlaneXY c = result.fit.sourceCentroid, ct = result.fit.targetCentroid;
    const double s = spreadOf(points, c);
    if (!(s > 0.0)) return unexpected(FitError::Degenerate);
    Matrix n{};
    std::vector<double> rhs(m, 0.0);
    Row rowU, rowV;
    for (const CommonPoint& p : points) {
        designRows(model, (p.x - c.x) / s, (p.y - c.y) / s, rowU, rowV);
        const double obsU = p.X - ct.x, obsV = p.Y - ct.y;
        for (std::size_t i = 0; i < m; ++i) {
            for (std::size_t j = 0; j < m; ++j) n[i][j] += rowU[i] * rowU[j] + rowV[i] * rowV[j];
            rhs[i] += rowU[i] * obsU + rowV[i] * obsV;
        }
    }
    if (!choleskyFactor(n, m)) return unexpected(FitError::Degenerate);
    const std::vector<double> q = choleskySolve(n, m, rhs);
    result.fit.parameters.resize(m);
    for (std::size_t k = 0; k < m; ++k) result.fit.parameters[k] = q[k] / std::pow(s, degreeOf(model, k));
    const std::size_t redundancy = 2 * points.size() - m;
    if (redundancy > 0) {
        double vv = 0.0;
        for (const CommonPoint& p : points) vv += std::pow(residualOf(result.fit, p).length, 2);
        addSigmas(result, n, m, vv / static_cast<double>(redundancy), s);
    }
    return result;
}

PlaneXY applyFit(const PlaneFit& fit, double x, double y)
{
    const double u = x - fit.sourceCentroid.x, v = y - fit.sourceCentroid.y;
    const std::vector<double>& p = fit.parameters;
    switch (fit.model) {
    case FitModel::Similarity:
        return {fit.targetCentroid.x + (p[0] + p[2] * u - p[3] * v), fit.targetCentroid.y + (p[1] + p[3] * u + p[2] * v)};
    case FitModel::Affine:
        return {fit.targetCentroid.x + (p[0] + p[1] * u + p[2] * v), fit.targetCentroid.y + (p[3] + p[4] * u + p[5] * v)};
    case FitModel::Poly2: {
        const double terms[6] = {1.0, u, v, std::pow(u, 2), u * v, std::pow(v, 2)};
        double dU = 0.0, dV = 0.0;
        for (std::size_t k = 0; k < 6; ++k) dU += p[k] * terms[k], dV += p[6 + k] * terms[k];
        return {fit.targetCentroid.x + dU, fit.targetCentroid.y + dV};
    }
    }
    return {};
}

OriginPolynomial aboutOrigin(const PlaneFit& fit)
{
    // The model as U = c0 + c1·u + c2·v + c3·u² + c4·u·v + c5·v² (V with d),
    // in the order of plane_fit.h's second order.
    const std::vector<double>& p = fit.parameters;
    std::array<double, 6> c{}, d{};
    switch (fit.model) {
    case FitModel::Similarity:
        c = {p[0], p[2], -p[3], 0.0, 0.0, 0.0};
        d = {p[1], p[3], p[2], 0.0, 0.0, 0.0};
        break;
    case FitModel::Affine:
        c = {p[0], p[1], p[2], 0.0, 0.0, 0.0};
        d = {p[3], p[4], p[5], 0.0, 0.0, 0.0};
        break;
    case FitModel::Poly2:
        std::copy(p.begin(), p.begin() + 6, c.begin());
        std::copy(p.begin() + 6, p.end(), d.begin());
        break;
    }
    // With u = x - xc, v = y - yc expanded:
    //   constant  T + c0 - c1·xc - c2·yc + c3·xc² + c4·xc·yc + c5·yc²
    //   x         c1 - 2·c3·xc - c4·yc       y   c2 - c4·xc - 2·c5·yc
    //   x², y², x·y   c3, c5, c4
    const double xc = fit.sourceCentroid.x, yc = fit.sourceCentroid.y;
    const auto expand = [&](const std::array<double, 6>& k, double target) {
        const double constant = target + k[0] - k[1] * xc - k[2] * yc + k[3] * std::pow(xc, 2) + k[4] * xc * yc +
                                k[5] * std::pow(yc, 2);
        return std::array<double, 6>{constant, k[1] - 2.0 * k[3] * xc - k[4] * yc, k[2] - k[4] * xc - 2.0 * k[5] * yc,
                                     k[3], k[5], k[4]};
    };
    return {expand(c, fit.targetCentroid.x), expand(d, fit.targetCentroid.y)};
}

ScaleRotation scaleRotation(const FitResult& result)
{
    const double a = result.fit.parameters[2], b = result.fit.parameters[3];
    const double scale = std::hypot(a, b);
    ScaleRotation out{(scale - 1.0) * 1e6, std::atan2(b, a), std::nullopt, std::nullopt};
    if (result.abCovariance) {
        // First-order propagation: dm = (a·da + b·db) / m, dθ = (a·db - b·da) / m².
        const auto& [vaa, vab, vbb] = *result.abCovariance;
        const double varScale = (a * a * vaa + 2.0 * a * b * vab + b * b * vbb) / std::pow(scale, 2);
        const double varRotation = (b * b * vaa - 2.0 * a * b * vab + a * a * vbb) / std::pow(scale, 4);
        out.scaleSigmaPpm = std::sqrt(varScale) * 1e6;
        out.rotationSigmaRad = std::sqrt(varRotation);
    }
    return out;
}

Residual residualOf(const PlaneFit& fit, const CommonPoint& point)
{
    const PlaneXY f = applyFit(fit, point.x, point.y);
    const double dx = point.X - f.x, dy = point.Y - f.y;
    return {dx, dy, std::hypot(dx, dy)};
}

double rmsOf(const std::vector<Residual>& residuals)
{
    if (residuals.empty()) return 0.0;
    double sum = 0.0;
    for (const Residual& r : residuals) sum += std::pow(r.length, 2);
    return std::sqrt(sum / static_cast<double>(residuals.size()));
}

} // namespace hattsheet::geodesy
