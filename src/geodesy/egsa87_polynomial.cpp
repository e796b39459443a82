#include "geodesy/egsa87_polynomial.h"

#include <cmath>

namespace hattsheet::geodesy {

using std::pow;

Egsa87Polynomial::Egsa87Polynomial(const Sheet& sheet) : m_a(sheet.a), m_b(sheet.b), m_c(sheet.c), m_d(sheet.d)
{
}

namespace {

// One of the two polynomials, summed left to right as published.
double evaluate(const std::array<double, 6>& k, double x, double y)
{
    double v = k[0] + (k[1] * x);
    v = v + (k[2] * y);
    v = v + (k[3] * pow(x, 2));
    v = v + (k[4] * pow(y, 2));
    v = v + ((k[5] * x) * y);
    return v;
}

// The reverse set: c applied to e, n as the CSV's README writes it.
double evaluateReverse(const std::array<double, 5>& k, double e, double n)
{
    double v = k[0] * e;
    v = v + (k[1] * n);
    v = v + (k[2] * pow(e, 2));
    v = v + (k[3] * pow(n, 2));
    v = v + ((k[4] * e) * n);
    return v;
}

} // namespace

Egsa87Point Egsa87Polynomial::forward(PlanePoint p) const
{
    return Egsa87Point{evaluate(m_a, p.x, p.y), evaluate(m_b, p.x, p.y)};
}

std::optional<PlanePoint> Egsa87Polynomial::inverse(Egsa87Point g) const
{
    if (!std::isfinite(g.e) || !std::isfinite(g.n)) return std::nullopt;
    const double e = g.e - m_a[0];
    const double n = g.n - m_b[0];
    double x = evaluateReverse(m_c, e, n);
    double y = evaluateReverse(m_d, e, n);
    for (int step = 0; step < kMaxNewtonSteps; ++step) {
        const Egsa87Point at = forward({x, y});
        const double re = at.e - g.e;
        const double rn = at.n - g.n;
        // The Jacobian of (E, N) in (x, y).
        const double ex = m_a[1] + ((2.0 * m_a[3]) * x) + (m_a[5] * y);
        const double ey = m_a[2] + ((2.0 * m_a[4]) * y) + (m_a[5] * x);
        const double nx = m_b[1] + ((2.0 * m_b[3]) * x) + (m_b[5] * y);
        const double ny = m_b[2] + ((2.0 * m_b[4]) * y) + (m_b[5] * x);
        const double det = (ex * ny) - (ey * nx);
        if (!std::isfinite(det) || det == 0.0) return std::nullopt;
        const double dx = ((re * ny) - (rn * ey)) / det;
        const double dy = ((rn * ex) - (re * nx)) / det;
        x = x - dx;
        y = y - dy;
        if (!std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
        if (std::abs(dx) < kInverseTolerance && std::abs(dy) < kInverseTolerance) return PlanePoint{x, y};
    }
    return std::nullopt;
}

} // namespace hattsheet::geodesy
