// The least-squares fit of plane transformations to common points.
// - Digits: seven made-up common points with ΕΓΣΑ87-sized targets, fitted
//   by each model; the expected residuals, RMS and one applied point come
//   from an independent solution in exact rational arithmetic (python3's
//   fractions: normal equations of the raw, unreduced coordinates, solved
//   by Gauss-Jordan), rounded to 1e-7 m; compared to 0.1 mm.
// - Points related by an exact similarity or second-order polynomial give
//   its parameters back; too few, collinear and conic points are refused.
// - Points carried by a sheet's own ΕΓΣΑ87 polynomial give its A0..A5,
//   B0..B5 back through aboutOrigin, each to 1e-6 m of effect over the sheet.

#include "geodesy/egsa87_polynomial.h"
#include "geodesy/hatt_projection.h"
#include "geodesy/plane_fit.h"
#include "geodesy/sheet_catalogue.h"

#include <QTest>

#include <cmath>

using namespace hattsheet::geodesy;

Q_DECLARE_METATYPE(FitModel)
Q_DECLARE_METATYPE(FitError)
Q_DECLARE_METATYPE(CommonPoint)

namespace {

// Against the independent solution (metres).
constexpr double kOracleTolerance = 1e-4;
// Recovering an exact transformation: relative to the parameter.
constexpr double kRecoveryRelative = 1e-9;
// A sheet's polynomial recovered by a second-order fit of points it carried:
// each coefficient's error times its term's largest value over the sheet
// (metres). The points' E, N are rounded to half an ulp of 4.6e6 m (5e-10 m)
// in each of six terms, so the fit's surface lies within a few 1e-9 m of
// the polynomial's at its own points, the outline's edges among them; the
// bound leaves a hundredfold for the solution's rounding.
constexpr double kRecoveryAtEdge = 1e-6;
// The grid of points over a sheet's outline, a side.
constexpr int kGridSide = 5;

const std::vector<CommonPoint> kCommon = {
    {"P1", 1000.000, 2000.000, 480512.345, 4201003.210}, {"P2", 5321.120, 1850.440, 484850.101, 4200950.876},
    {"P3", 4900.870, 7010.330, 484337.882, 4206090.414}, {"P4", 820.450, 6540.990, 480251.950, 4205540.002},
    {"P5", 3050.600, 4410.250, 482517.318, 4203453.777}, {"P6", 2210.000, 9020.100, 481587.640, 4208041.020},
    {"P7", 6800.300, 4300.700, 486378.905, 4203443.118},
};

} // namespace

class tst_PlaneFit : public QObject {
    Q_OBJECT
private slots:
    void matchesIndependentSolution_data();
    void matchesIndependentSolution();
    void similarityDeviations();
    void recoversExactSimilarity();
    void recoversSecondOrder();
    void recoversSheetPolynomial_data();
    void recoversSheetPolynomial();
    void refuses_data();
    void refuses();
};

void tst_PlaneFit::matchesIndependentSolution_data()
{
    QTest::addColumn<FitModel>("model");
    QTest::addColumn<std::vector<double>>("residuals");  // dx, dy of P1..P7 (metres)
    QTest::addColumn<double>("rms");                     // metres
    QTest::addColumn<double>("appliedX");                // (3333.333, 5555.555) through the fit
    QTest::addColumn<double>("appliedY");
    QTest::newRow("similarity") << FitModel::Similarity
        << std::vector<double>{-19.2931942, 14.4946044, -24.9725803, 17.5041744, -1.7993643, -16.3465974,
                               0.3552416, -5.7611738, -21.0319063, -0.8271972, -5.1930900, -25.2811471,
                               71.9348935, 16.2173366}
        << 34.5643786 << 482797.1816711 << 4204611.1612217;
    QTest::newRow("affine") << FitModel::Affine
        << std::vector<double>{11.5520603, -0.2365725, -31.3392301, -2.9676822, -20.8012354, -6.4558505,
                               18.4212560, 6.0137712, -15.6839121, -3.9101944, -7.0768675, -0.7134676,
                               44.9279288, 8.2699960}
        << 24.9946151 << 482797.9174282 << 4204607.9289967;
    QTest::newRow("second order") << FitModel::Poly2
        << std::vector<double>{1.2857015, 0.1770566, -6.6999296, -0.9226612, -10.9019936, -1.5013361,
                               -7.6801502, -1.0576494, 10.0763655, 1.3876371, 6.8194497, 0.9391205,
                               7.1005568, 0.9778324}
        << 7.8454275 << 482773.6280544 << 4204602.6221501;
}

void tst_PlaneFit::matchesIndependentSolution()
{
    QFETCH(FitModel, model);
    QFETCH(std::vector<double>, residuals);
    QFETCH(double, rms);
    QFETCH(double, appliedX);
    QFETCH(double, appliedY);
    const auto result = fitPlane(model, kCommon);
    QVERIFY(result);
    std::vector<Residual> found;
    for (std::size_t i = 0; i < kCommon.size(); ++i) {
        found.push_back(residualOf(result->fit, kCommon[i]));
        QVERIFY2(std::abs(found.back().dx - residuals[2 * i]) < kOracleTolerance, kCommon[i].code.c_str());
        QVERIFY2(std::abs(found.back().dy - residuals[2 * i + 1]) < kOracleTolerance, kCommon[i].code.c_str());
    }
    QVERIFY(std::abs(rmsOf(found) - rms) < kOracleTolerance);
    const PlaneXY applied = applyFit(result->fit, 3333.333, 5555.555);
    QVERIFY(std::abs(applied.x - appliedX) < kOracleTolerance);
    QVERIFY(std::abs(applied.y - appliedY) < kOracleTolerance);
}

// The same solution's scale, rotation and σ of a: σ0 = sqrt(vᵀv / (2n - 4))
// times sqrt of N⁻¹'s diagonal entry of a (a does not change with the origin).
void tst_PlaneFit::similarityDeviations()
{
    const auto result = fitPlane(FitModel::Similarity, kCommon);
    QVERIFY(result && result->sigmas);
    const ScaleRotation sr = scaleRotation(*result);
    QVERIFY(std::abs(sr.scalePpm - 4644.277427) < 1e-5);
    QVERIFY(std::abs(sr.rotationRad * 200.0 / M_PI - 1.391420808) < 1e-8);
    QVERIFY(std::abs((*result->sigmas)[2] / 3.366827497012e-03 - 1.0) < 1e-8);
    QVERIFY(std::abs((*result->sigmas)[3] / 3.366827497012e-03 - 1.0) < 1e-8);
    // σ of the scale and rotation: both σa for a similarity whose cov(a, b) is 0.
    QVERIFY(std::abs(*sr.scaleSigmaPpm / 3366.827497012 - 1.0) < 1e-6);
    QVERIFY(std::abs(*sr.rotationSigmaRad * std::hypot((*result).fit.parameters[2], result->fit.parameters[3]) /
                     3.366827497012e-03 - 1.0) < 1e-6);
}

// Points carried by X = 4.5e5 + m·(cos θ·x - sin θ·y), Y = 4.2e6 + m·(sin θ·x + cos θ·y):
// the fit gives m and θ back, and the residuals vanish.
void tst_PlaneFit::recoversExactSimilarity()
{
    const double m = 1.0 + 37.5e-6, theta = 0.0123456789;
    std::vector<CommonPoint> points;
    for (const auto& p : kCommon) {
        points.push_back({p.code, p.x, p.y, 4.5e5 + m * (std::cos(theta) * p.x - std::sin(theta) * p.y),
                          4.2e6 + m * (std::sin(theta) * p.x + std::cos(theta) * p.y)});
    }
    const auto result = fitPlane(FitModel::Similarity, points);
    QVERIFY(result);
    const double a = result->fit.parameters[2], b = result->fit.parameters[3];
    QVERIFY(std::abs(std::hypot(a, b) / m - 1.0) < kRecoveryRelative);
    QVERIFY(std::abs(std::atan2(b, a) / theta - 1.0) < kRecoveryRelative);
    const PlaneXY far = applyFit(result->fit, 20000.0, -15000.0);
    QVERIFY(std::abs(far.x - (4.5e5 + m * (std::cos(theta) * 20000.0 + std::sin(theta) * 15000.0))) < 1e-6);
    for (const auto& p : points) QVERIFY(residualOf(result->fit, p).length < 1e-6);
}

// A known second-order polynomial about (3000, 5000): its twelve
// coefficients come back, each to 1e-9 of itself.
void tst_PlaneFit::recoversSecondOrder()
{
    const double a[6] = {482000.0, 1.0002, -0.0031, 2.0e-7, -1.5e-7, 3.0e-8};
    const double b[6] = {4203000.0, 0.0029, 0.9997, -4.0e-8, 1.1e-7, -2.5e-7};
    std::vector<CommonPoint> points;
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 4; ++j) {
            const double x = 1000.0 + 1200.0 * i + 37.0 * j, y = 2000.0 + 2100.0 * j - 23.0 * i;
            const double u = x - 3000.0, v = y - 5000.0;
            const double t[6] = {1.0, u, v, u * u, u * v, v * v};
            double X = 0.0, Y = 0.0;
            for (int k = 0; k < 6; ++k) X += a[k] * t[k], Y += b[k] * t[k];
            points.push_back({"Q", x, y, X, Y});
        }
    }
    const auto result = fitPlane(FitModel::Poly2, points);
    QVERIFY(result);
    // Re-expand the fit about (3000, 5000) by applying it: compare values and
    // the differences that isolate each coefficient.
    for (const auto& p : points) QVERIFY(residualOf(result->fit, p).length < 1e-6);
    const PlaneFit& f = result->fit;
    const double du = f.sourceCentroid.x - 3000.0, dv = f.sourceCentroid.y - 5000.0;
    // The quadratic terms do not depend on the origin.
    const double quadA[3] = {f.parameters[3], f.parameters[4], f.parameters[5]};
    const double quadB[3] = {f.parameters[9], f.parameters[10], f.parameters[11]};
    for (int k = 0; k < 3; ++k) {
        QVERIFY(std::abs(quadA[k] / a[3 + k] - 1.0) < kRecoveryRelative);
        QVERIFY(std::abs(quadB[k] / b[3 + k] - 1.0) < kRecoveryRelative);
    }
    // Linear terms at the old origin: a1 = a1' - 2·a3·du - a4·dv, a2 = a2' - a4·du - 2·a5·dv.
    QVERIFY(std::abs((f.parameters[1] - 2.0 * quadA[0] * du - quadA[1] * dv) / a[1] - 1.0) < kRecoveryRelative);
    QVERIFY(std::abs((f.parameters[8] - quadB[1] * du - 2.0 * quadB[2] * dv) / b[2] - 1.0) < kRecoveryRelative);
}

// Sheets of the agency's table (geodesy/sheet_catalogue.h): ordinary ones,
// outlines far from their centres, and the odd ones, whose coefficients are
// wrong for the ground but are a polynomial all the same.
void tst_PlaneFit::recoversSheetPolynomial_data()
{
    QTest::addColumn<int>("id");
    const std::pair<int, const char*> sheets[] = {
        {1, "ordinary"}, {4, "ordinary"}, {145, "outline 0.6° from its centre"},
        {81, "outline 0.5° from its centre"}, {7, "outline 0.5° from its centre"},
        {40, "outline not a rectangle"}, {8, "one of two sheets of one number"}, {313, "one of two sheets of one number"},
        {26, "second-order terms 25 times the usual"}, {78, "second-order terms 25 times the usual"},
        {390, "A0 270 km off, centre out of range"}, {237, "a slipped A2"}, {88, "a slipped A2"}, {60, "a slipped B2"},
    };
    for (const auto& [id, what] : sheets) QTest::addRow("%d %s: %s", id, std::string(sheetById(id)->name).c_str(), what) << id;
}

// Points of a 5 x 5 grid over the outline (bilinear between its corners in
// degrees) carried by the sheet's polynomial: a second-order fit gives
// A0..A5, B0..B5 back about x = y = 0.
void tst_PlaneFit::recoversSheetPolynomial()
{
    QFETCH(int, id);
    const Sheet& s = *sheetById(id);
    const HattProjection frame(centreOf(s));
    const Egsa87Polynomial polynomial(s);
    const auto& c = s.outline;
    std::vector<CommonPoint> points;
    std::array<double, 6> largestTerm{};  // of 1, x, y, x², y², x·y over the points
    for (int i = 0; i < kGridSide; ++i) {
        for (int j = 0; j < kGridSide; ++j) {
            const double f = double(i) / (kGridSide - 1), g = double(j) / (kGridSide - 1);
            const auto mix = [&](double OutlineCorner::*m) {
                return (1 - f) * (1 - g) * (c[0].*m) + f * (1 - g) * (c[1].*m) + f * g * (c[2].*m) + (1 - f) * g * (c[3].*m);
            };
            const auto p = frame.forward({degreesToRadians(mix(&OutlineCorner::phiDeg)),
                                          degreesToRadians(mix(&OutlineCorner::lambdaDeg)) + athensMeridian()});
            QVERIFY(p);
            const Egsa87Point e = polynomial.forward(*p);
            points.push_back({"G", p->x, p->y, e.e, e.n});
            const double terms[6] = {1.0, p->x, p->y, p->x * p->x, p->y * p->y, p->x * p->y};
            for (int k = 0; k < 6; ++k) largestTerm[k] = std::max(largestTerm[k], std::abs(terms[k]));
        }
    }
    const auto result = fitPlane(FitModel::Poly2, points);
    QVERIFY(result);
    const OriginPolynomial raw = aboutOrigin(result->fit);
    double worst = 0.0;
    for (int k = 0; k < 6; ++k) {
        const double errors[2] = {(raw.a[k] - s.a[k]) * largestTerm[k], (raw.b[k] - s.b[k]) * largestTerm[k]};
        for (int side = 0; side < 2; ++side) {
            worst = std::max(worst, std::abs(errors[side]));
            QVERIFY2(std::abs(errors[side]) < kRecoveryAtEdge,
                     qPrintable(QString("%1%2: %3 m at the edge").arg(side ? 'B' : 'A').arg(k).arg(errors[side])));
        }
    }
    qInfo("largest effect of a coefficient's error: %.3g m", worst);
}

void tst_PlaneFit::refuses_data()
{
    QTest::addColumn<FitModel>("model");
    QTest::addColumn<std::vector<CommonPoint>>("points");
    QTest::addColumn<FitError>("expected");
    const std::vector<CommonPoint> line = {{"A", 0, 0, 1, 1}, {"B", 10, 10, 11, 11}, {"C", 20, 20, 21, 21},
                                           {"D", 35, 35, 36, 36}, {"E", 50, 50, 51, 51}, {"F", 70, 70, 71, 70}};
    std::vector<CommonPoint> circle;  // u² + v² = r²: a conic, which a second order cannot pin down
    for (int k = 0; k < 8; ++k) circle.push_back({"K", 500.0 * std::cos(k * 0.7), 500.0 * std::sin(k * 0.7), 10.0 * k, 3.0 * k});
    QTest::newRow("similarity from one point") << FitModel::Similarity << std::vector<CommonPoint>(1, kCommon[0]) << FitError::TooFewPoints;
    QTest::newRow("affine from two points") << FitModel::Affine << std::vector<CommonPoint>(kCommon.begin(), kCommon.begin() + 2) << FitError::TooFewPoints;
    QTest::newRow("second order from five points") << FitModel::Poly2 << std::vector<CommonPoint>(kCommon.begin(), kCommon.begin() + 5) << FitError::TooFewPoints;
    QTest::newRow("similarity on one spot twice") << FitModel::Similarity << std::vector<CommonPoint>{kCommon[0], kCommon[0]} << FitError::Degenerate;
    QTest::newRow("affine on a line") << FitModel::Affine << line << FitError::Degenerate;
    QTest::newRow("second order on a line") << FitModel::Poly2 << line << FitError::Degenerate;
    QTest::newRow("second order on a circle") << FitModel::Poly2 << circle << FitError::Degenerate;
    std::vector<CommonPoint> nan = kCommon;
    nan[3].Y = std::nan("");
    QTest::newRow("a target that is no number") << FitModel::Affine << nan << FitError::NotFinite;
}

void tst_PlaneFit::refuses()
{
    QFETCH(FitModel, model);
    QFETCH(std::vector<CommonPoint>, points);
    QFETCH(FitError, expected);
    const auto result = fitPlane(model, points);
    QVERIFY(!result);
    QCOMPARE(result.error(), expected);
}

QTEST_APPLESS_MAIN(tst_PlaneFit)
#include "tst_plane_fit.moc"
