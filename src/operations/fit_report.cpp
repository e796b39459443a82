#include "operations/fit_report.h"

#include "operations/plane_fit_file.h"
#include "operations/point_list.h"
#include "text/number_format.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <utility>

namespace hattsheet::operations {

namespace {

namespace geo = hattsheet::geodesy;
using Word = MessageBook::FitWord;

// Parameters are shown to this many significant digits (the file keeps 17).
constexpr int kShownDigits = 12;
// A standard deviation is shown to this many: its own accuracy is no better.
constexpr int kSigmaDigits = 3;

std::string shown(double value, int digits = kShownDigits)
{
    char buffer[64];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits).ptr);
}

std::string withSigma(double value, const std::optional<double>& sigma, std::string_view unit = {})
{
    return shown(value) + " ± " + (sigma ? shown(*sigma, kSigmaDigits) : std::string("-")) + std::string(unit);
}

} // namespace

ResidualTable residualTable(const geo::PlaneFit& fit, const std::vector<geo::CommonPoint>& points)
{
    ResidualTable table;
    std::vector<geo::Residual> residuals;
    for (const geo::CommonPoint& p : points) {
        const geo::Residual r = geo::residualOf(fit, p);
        residuals.push_back(r);
        table.rows.push_back({p.code, text::formatFixed(r.dx, kResidualDecimals), text::formatFixed(r.dy, kResidualDecimals),
                              text::formatFixed(r.length, kResidualDecimals), r.length});
        if (!table.largest || r.length > residuals[*table.largest].length) table.largest = residuals.size() - 1;
    }
    table.rms = text::formatFixed(geo::rmsOf(residuals), kResidualDecimals);
    return table;
}

std::vector<ParameterLine> parameterLines(const geo::FitResult& result, const MessageBook& book)
{
    std::vector<ParameterLine> lines;
    const geo::PlaneFit& fit = result.fit;
    const auto names = parameterNames(fit.model);
    for (std::size_t k = 0; k < names.size(); ++k) {
        const auto sigma = result.sigmas ? std::optional((*result.sigmas)[k]) : std::nullopt;
        lines.push_back({std::string(names[k]), withSigma(fit.parameters[k], sigma)});
    }
    if (fit.model != geo::FitModel::Similarity) return lines;
    const geo::ScaleRotation sr = geo::scaleRotation(result);
    lines.push_back({book.fitWord(Word::Scale), withSigma(sr.scalePpm, sr.scaleSigmaPpm, " ppm")});
    const double pi = 4.0 * std::atan(1.0);
    const auto in = [&](double full) {  // radians to a unit with `full` to a half turn: (r * full) / pi
        return [=](double r) { return (r * full) / pi; };
    };
    const auto grad = in(200.0), deg = in(180.0);
    const auto sg = sr.rotationSigmaRad;
    lines.push_back({book.fitWord(Word::Rotation),
                     withSigma(grad(sr.rotationRad), sg ? std::optional(grad(*sg)) : std::nullopt, " grad = ") +
                         withSigma(deg(sr.rotationRad), sg ? std::optional(deg(*sg)) : std::nullopt, " °")});
    return lines;
}

std::string parameterText(const geo::FitResult& result, const MessageBook& book)
{
    std::string out = book.fitWord(Word::Model) + " = " + std::string(geo::fitModelName(result.fit.model)) + "\n";
    for (const ParameterLine& line : parameterLines(result, book)) out.append(line.name).append(" = ").append(line.text).append("\n");
    if (result.fit.model != geo::FitModel::Poly2) return out;
    // A second-order fit also as the sheets' polynomials are tabled, so that
    // it can be compared with a sheet's A0..A5, B0..B5.
    const geo::OriginPolynomial raw = geo::aboutOrigin(result.fit);
    out.append(book.fitAboutOrigin()).append(":\n");
    for (const auto& [letter, terms] : {std::pair{'A', &raw.a}, std::pair{'B', &raw.b}}) {
        for (std::size_t k = 0; k < terms->size(); ++k) {
            out.append(1, letter).append(std::to_string(k)).append(" = ").append(shown((*terms)[k])).append("\n");
        }
    }
    return out;
}

std::string fitFileDate()
{
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    if (const std::tm* t = std::gmtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", t);
    return text;
}

bool FitLineConverter::appendPoint(const pointfile::RecordPoint& point, const pointfile::PointLayout& layout,
                                   std::string& out) const
{
    const geo::PlaneXY p = geo::applyFit(m_fit, point.x, point.y);
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    appendTargetLine(point.record, p.x, p.y, out, layout);
    return true;
}

} // namespace hattsheet::operations
