#include "hatt_projection.h"

#include <cmath>

namespace hattsheet::geodesy {

using std::pow;

double pi()
{
    static const double value = 4.0 * std::atan(1.0);
    return value;
}

double degreesToRadians(double degrees) { return (degrees * pi()) / 180.0; }

double radiansToDegrees(double radians) { return (radians * 180.0) / pi(); }

double athensMeridian()
{
    // 23°42'58.815": 2578.815 seconds past 23°, divided first, then added.
    static const double value = degreesToRadians((2578.815 / 3600.0) + 23.0);
    return value;
}

Radii radiiOfCurvature(double phi0Rad)
{
    const double s2 = pow(std::sin(phi0Rad), 2);
    const double w = 1.0 / std::sqrt(1.0 - (kBesselE2 * s2));
    return Radii{(kBesselA * (1.0 - kBesselE2)) * pow(w, 3), kBesselA * w};
}

HattSheet::HattSheet(CentreRad centre)
    : m_centre(centre), m_lambdaA(athensMeridian())
{
    const double phi0 = centre.phi0;
    const double s = std::sin(phi0);
    const double c = std::cos(phi0);
    const double t = std::tan(phi0);
    const double s2 = pow(s, 2);
    const double t2 = pow(t, 2);
    const Radii r = radiiOfCurvature(phi0);
    const double M = r.m;
    const double N = r.n;
    const double ep2 = kBesselEp2;

    // Recurring factors, formed as the series write them.
    const double t2x3p1 = (t2 * 3.0) + 1.0;        // 3t² + 1
    const double t2x3p2 = (t2 * 3.0) + 2.0;        // 3t² + 2
    const double oneMinus10s2 = 1.0 - (s2 * 10.0); // 1 − 10s²
    const double oneMinus4s2 = 1.0 - (s2 * 4.0);   // 1 − 4s²
    const double cos2phi = 1.0 - (s2 + s2);        // 1 − 2s², always as 1 − (s² + s²)
    const double sin2phi = std::sin(phi0 + phi0);  // sin 2φ0

    m_m = M;
    m_nc = N * c;
    m_centreLambdaGreenwich = centre.lambda0 + m_lambdaA;

    // Latitude rows of the inverse; each multiplies the power of X and Y
    // shown beside it.
    m_invPhi[0] = t / ((2.0 * M) * N);                                              // X²
    m_invPhi[1] = ((3.0 * ep2) * sin2phi) / ((4.0 * M) * N);                        // Y²
    m_invPhi[2] = (t2x3p1 - (ep2 * oneMinus10s2)) / ((6.0 * M) * pow(N, 2));        // X² then Y
    m_invPhi[3] = (cos2phi * ep2) / ((2.0 * pow(M, 2)) * N);                        // Y³
    m_invPhi[4] = t * (t2x3p1 / ((24.0 * pow(M, 2)) * pow(N, 2)));                  // X⁴
    m_invPhi[5] = t * (t2x3p2 / ((6.0 * pow(M, 2)) * pow(N, 2)));                   // X² then Y²

    // Longitude rows of the inverse.
    m_invLambda[0] = t / (pow(N, 2) * c);                                           // X then Y
    m_invLambda[1] = t2 / ((3.0 * pow(N, 3)) * c);                                  // X³
    m_invLambda[2] = (t2x3p1 + (ep2 * pow(c, 2))) / ((3.0 * pow(N, 3)) * c);        // X then Y²
    m_invLambda[3] = (t * t2x3p2) / ((3.0 * pow(N, 4)) * c);                        // X then Y³
    m_invLambda[4] = (t * t2x3p1) / ((3.0 * pow(N, 4)) * c);                        // X³ then Y

    // Easting rows of the forward series.
    m_fwdX[0] = M * s;                                          // Δλ then Δφ
    m_fwdX[1] = (M * c) * (2.0 + ((9.0 * ep2) * s2));           // Δλ then Δφ², / 6
    m_fwdX[2] = (N * c) * s2;                                   // Δλ³, / 6
    m_fwdX[3] = (N * s) * cos2phi;                              // Δλ³ then Δφ, / 6

    // Northing rows of the forward series.
    m_fwdY[0] = ((N * c) * s) / 2.0;                            // Δλ²
    m_fwdY[1] = (((3.0 * ep2) * pow(M, 2)) * s) * c;            // Δφ², / (2·N)
    m_fwdY[2] = M * (oneMinus4s2 + (ep2 * pow(c, 4)));          // Δφ then Δλ², / 6
    m_fwdY[3] = (ep2 * M) * cos2phi;                            // Δφ³, / 2
    m_fwdY[4] = ((N * s) * c) * cos2phi;                        // Δλ⁴, / 24
    m_fwdY[5] = (N * s) * c;                                    // Δφ² then Δλ², / 3
    m_twoN = 2.0 * N;
}

std::optional<GeodeticPosition> HattSheet::inverse(PlanePoint p) const
{
    const double X = p.x;
    const double Y = p.y;
    // Each power the rows write, raised once by the same std::pow call and
    // used wherever it recurs: the same doubles as a call at every use, half
    // the calls. (X * X can differ from pow(X, 2) in the last bit.)
    const double X2 = pow(X, 2);
    const double X3 = pow(X, 3);
    const double X4 = pow(X, 4);
    const double Y2 = pow(Y, 2);
    const double Y3 = pow(Y, 3);

    const double* k = m_invPhi;
    double phi = m_centre.phi0 + (Y / m_m);
    phi = phi - (k[0] * X2);
    phi = phi - (k[1] * Y2);
    phi = phi - ((k[2] * X2) * Y);
    phi = phi - (k[3] * Y3);
    phi = phi + (k[4] * X4);
    phi = phi - ((k[5] * X2) * Y2);

    const double* l = m_invLambda;
    double lambdaR = m_centre.lambda0 + (X / m_nc);
    lambdaR = lambdaR + ((l[0] * X) * Y);
    lambdaR = lambdaR - (l[1] * X3);
    lambdaR = lambdaR + ((l[2] * X) * Y2);
    lambdaR = lambdaR + ((l[3] * X) * Y3);
    lambdaR = lambdaR - ((l[4] * X3) * Y);

    const double lambda = lambdaR + m_lambdaA;
    if (!std::isfinite(phi) || !std::isfinite(lambda)) {
        return std::nullopt;
    }
    return GeodeticPosition{phi, lambda};
}

double HattSheet::longitudeDifference(double lambdaGreenwich) const
{
    return lambdaGreenwich - m_centreLambdaGreenwich;
}

std::optional<PlanePoint> HattSheet::forward(GeodeticPosition g) const
{
    const double dPhi = g.phi - m_centre.phi0;
    const double dLambda = longitudeDifference(g.lambda);
    // Each power once, as in inverse().
    const double dPhi2 = pow(dPhi, 2);
    const double dPhi3 = pow(dPhi, 3);
    const double dLambda2 = pow(dLambda, 2);
    const double dLambda3 = pow(dLambda, 3);
    const double dLambda4 = pow(dLambda, 4);

    const double* f = m_fwdX;
    double x = m_nc * dLambda;
    x = x - ((f[0] * dLambda) * dPhi);
    x = x - (((f[1] * dLambda) * dPhi2) / 6.0);
    x = x - ((f[2] * dLambda3) / 6.0);
    x = x - (((f[3] * dLambda3) * dPhi) / 6.0);

    const double* h = m_fwdY;
    double y = m_m * dPhi;
    y = y + (h[0] * dLambda2);
    y = y + ((h[1] * dPhi2) / m_twoN);
    y = y + (((h[2] * dPhi) * dLambda2) / 6.0);
    y = y + ((h[3] * dPhi3) / 2.0);
    y = y + ((h[4] * dLambda4) / 24.0);
    y = y - (((h[5] * dPhi2) * dLambda2) / 3.0);

    if (!std::isfinite(x) || !std::isfinite(y)) {
        return std::nullopt;
    }
    return PlanePoint{x, y};
}

std::optional<GeodeticPosition> hattInverse(CentreRad c, PlanePoint p) { return HattSheet(c).inverse(p); }

std::optional<PlanePoint> hattForward(CentreRad c, GeodeticPosition g) { return HattSheet(c).forward(g); }

} // namespace hattsheet::geodesy
