#pragma once
// What a plane fit (geodesy/plane_fit.h) tells a user, in one place for
// hattsheet-convert --fit and the window's "Προσαρμογή" dialog, so both show
// the same digits: each point's residual (metres, "0.000"), the RMS, the
// largest residual, and the parameters with their standard deviations
// (12 significant digits; a similarity's scale in ppm and rotation in grads
// and degrees). And the list converter of --apply-fit and the dialog's
// apply: a list's records carried through a fit.

#include "geodesy/plane_fit.h"
#include "operations/list_engine.h"
#include "operations/message_book.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace hattsheet::operations {

// The residuals' decimals: tenths of a millimetre hidden, as the lists show metres.
inline constexpr int kResidualDecimals = 3;

// One point's residual as shown: the given target minus the fitted one.
struct ResidualRow {
    std::string code;
    std::string dx, dy, length;  // metres, "0.000"
    double lengthMetres = 0.0;
};

// The residuals of points against a fit, in their order.
struct ResidualTable {
    std::vector<ResidualRow> rows;
    std::string rms;                     // metres, "0.000"; of no point "0.000"
    std::optional<std::size_t> largest;  // the row of the longest (the first of equals); none without rows
};
ResidualTable residualTable(const geodesy::PlaneFit& fit, const std::vector<geodesy::CommonPoint>& points);

// A parameter as --fit prints it: "name = text".
struct ParameterLine {
    std::string name;  // "tx", "a1" ...; the book's words for scale and rotation
    std::string text;  // "value ± sigma[ unit]", "-" for a sigma the fit has none of
};
// The fit's parameters in the order of plane_fit.h, then for a similarity
// its scale (ppm) and its rotation (grad, then degrees, on one line).
std::vector<ParameterLine> parameterLines(const geodesy::FitResult& result, const MessageBook& book);

// "model = similarity" and the parameter lines, one a line, as --fit prints
// them after the residuals.
std::string parameterText(const geodesy::FitResult& result, const MessageBook& book);

// The date line's value of a fit file written now: "2026-12-08T14:05:00Z" (UTC).
std::string fitFileDate();

// A list's records carried through a fit: code as read, X and Y in "0.000",
// H as read (appendTargetLine); a point whose result is not finite is refused.
class FitLineConverter final : public PointConverter {
public:
    explicit FitLineConverter(geodesy::PlaneFit fit) : m_fit(std::move(fit)) {}
    bool appendPoint(const pointfile::RecordPoint& point, const pointfile::PointLayout& layout,
                     std::string& out) const override;

private:
    geodesy::PlaneFit m_fit;
};

} // namespace hattsheet::operations
