#include "geodesy/hatt_series.h"

#include <cmath>

namespace hattsheet::geodesy {

using std::pow;

namespace {

// The quantities of the centre latitude that the terms share, formed as the
// series write them.
struct CentreFactors {
    double s, c, t, s2, t2;  // sin, cos, tan φ0; s², t²
    double M, N;             // radii of curvature at φ0 (metres)
    double t2x3p1;           // 3t² + 1
    double t2x3p2;           // 3t² + 2
    double oneMinus10s2;     // 1 − 10s²
    double oneMinus4s2;      // 1 − 4s²
    double cos2phi;          // 1 − 2s², always as 1 − (s² + s²)
    double sin2phi;          // sin 2φ0
};

CentreFactors factorsAt(double phi0)
{
    CentreFactors f{};
    f.s = std::sin(phi0);
    f.c = std::cos(phi0);
    f.t = std::tan(phi0);
    f.s2 = pow(f.s, 2);
    f.t2 = pow(f.t, 2);
    const Radii r = radiiOfCurvature(phi0);
    f.M = r.m;
    f.N = r.n;
    f.t2x3p1 = (f.t2 * 3.0) + 1.0;
    f.t2x3p2 = (f.t2 * 3.0) + 2.0;
    f.oneMinus10s2 = 1.0 - (f.s2 * 10.0);
    f.oneMinus4s2 = 1.0 - (f.s2 * 4.0);
    f.cos2phi = 1.0 - (f.s2 + f.s2);
    f.sin2phi = std::sin(phi0 + phi0);
    return f;
}

constexpr double ep2 = kBesselEp2;

HattSeries::LatitudeTerms latitudeTerms(const CentreFactors& f)
{
    const double t = f.t, M = f.M, N = f.N;
    HattSeries::LatitudeTerms k{};
    k.x2 = t / ((2.0 * M) * N);
    k.y2 = ((3.0 * ep2) * f.sin2phi) / ((4.0 * M) * N);
    k.x2y = (f.t2x3p1 - (ep2 * f.oneMinus10s2)) / ((6.0 * M) * pow(N, 2));
    k.y3 = (f.cos2phi * ep2) / ((2.0 * pow(M, 2)) * N);
    k.x4 = t * (f.t2x3p1 / ((24.0 * pow(M, 2)) * pow(N, 2)));
    k.x2y2 = t * (f.t2x3p2 / ((6.0 * pow(M, 2)) * pow(N, 2)));
    return k;
}

HattSeries::LongitudeTerms longitudeTerms(const CentreFactors& f)
{
    const double t = f.t, c = f.c, N = f.N;
    HattSeries::LongitudeTerms l{};
    l.xy = t / (pow(N, 2) * c);
    l.x3 = f.t2 / ((3.0 * pow(N, 3)) * c);
    l.xy2 = (f.t2x3p1 + (ep2 * pow(c, 2))) / ((3.0 * pow(N, 3)) * c);
    l.xy3 = (t * f.t2x3p2) / ((3.0 * pow(N, 4)) * c);
    l.x3y = (t * f.t2x3p1) / ((3.0 * pow(N, 4)) * c);
    return l;
}

HattSeries::EastingTerms eastingTerms(const CentreFactors& f)
{
    const double s = f.s, c = f.c, M = f.M, N = f.N;
    HattSeries::EastingTerms e{};
    e.dLambdaDPhi = M * s;
    e.dLambdaDPhi2 = (M * c) * (2.0 + ((9.0 * ep2) * f.s2));
    e.dLambda3 = (N * c) * f.s2;
    e.dLambda3DPhi = (N * s) * f.cos2phi;
    return e;
}

HattSeries::NorthingTerms northingTerms(const CentreFactors& f)
{
    const double s = f.s, c = f.c, M = f.M, N = f.N;
    HattSeries::NorthingTerms h{};
    h.dLambda2 = ((N * c) * s) / 2.0;
    h.dPhi2 = (((3.0 * ep2) * pow(M, 2)) * s) * c;
    h.dPhiDLambda2 = M * (f.oneMinus4s2 + (ep2 * pow(c, 4)));
    h.dPhi3 = (ep2 * M) * f.cos2phi;
    h.dLambda4 = ((N * s) * c) * f.cos2phi;
    h.dPhi2DLambda2 = (N * s) * c;
    return h;
}

} // namespace

HattSeries::HattSeries(Centre centre) : m_centre(centre)
{
    const CentreFactors f = factorsAt(centre.phi0Rad);
    m_m = f.M;
    m_nc = f.N * f.c;
    m_twoN = 2.0 * f.N;
    m_latitude = latitudeTerms(f);
    m_longitude = longitudeTerms(f);
    m_easting = eastingTerms(f);
    m_northing = northingTerms(f);
}

SeriesPosition HattSeries::inverse(PlanePoint p) const
{
    const double X = p.x;
    const double Y = p.y;
    // Each power the terms write, raised once by the same std::pow call and
    // used wherever it recurs: the same doubles as a call at every use, half
    // the calls. (X * X can differ from pow(X, 2) in the last bit.)
    const double X2 = pow(X, 2);
    const double X3 = pow(X, 3);
    const double X4 = pow(X, 4);
    const double Y2 = pow(Y, 2);
    const double Y3 = pow(Y, 3);

    const LatitudeTerms& k = m_latitude;
    double phi = m_centre.phi0Rad + (Y / m_m);
    phi = phi - (k.x2 * X2);
    phi = phi - (k.y2 * Y2);
    phi = phi - ((k.x2y * X2) * Y);
    phi = phi - (k.y3 * Y3);
    phi = phi + (k.x4 * X4);
    phi = phi - ((k.x2y2 * X2) * Y2);

    const LongitudeTerms& l = m_longitude;
    double lambda = m_centre.lambda0Rad + (X / m_nc);
    lambda = lambda + ((l.xy * X) * Y);
    lambda = lambda - (l.x3 * X3);
    lambda = lambda + ((l.xy2 * X) * Y2);
    lambda = lambda + ((l.xy3 * X) * Y3);
    lambda = lambda - ((l.x3y * X3) * Y);
    return SeriesPosition{phi, lambda};
}

PlanePoint HattSeries::forward(double phi, double dLambda) const
{
    const double dPhi = phi - m_centre.phi0Rad;
    // Each power once, as in inverse().
    const double dPhi2 = pow(dPhi, 2);
    const double dPhi3 = pow(dPhi, 3);
    const double dLambda2 = pow(dLambda, 2);
    const double dLambda3 = pow(dLambda, 3);
    const double dLambda4 = pow(dLambda, 4);

    const EastingTerms& e = m_easting;
    double x = m_nc * dLambda;
    x = x - ((e.dLambdaDPhi * dLambda) * dPhi);
    x = x - (((e.dLambdaDPhi2 * dLambda) * dPhi2) / 6.0);
    x = x - ((e.dLambda3 * dLambda3) / 6.0);
    x = x - (((e.dLambda3DPhi * dLambda3) * dPhi) / 6.0);

    const NorthingTerms& h = m_northing;
    double y = m_m * dPhi;
    y = y + (h.dLambda2 * dLambda2);
    y = y + ((h.dPhi2 * dPhi2) / m_twoN);
    y = y + (((h.dPhiDLambda2 * dPhi) * dLambda2) / 6.0);
    y = y + ((h.dPhi3 * dPhi3) / 2.0);
    y = y + ((h.dLambda4 * dLambda4) / 24.0);
    y = y - (((h.dPhi2DLambda2 * dPhi2) * dLambda2) / 3.0);
    return PlanePoint{x, y};
}

} // namespace hattsheet::geodesy
