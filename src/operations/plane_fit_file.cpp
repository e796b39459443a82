#include "operations/plane_fit_file.h"

#include "operations/list_source.h"
#include "pointfile/number_rows.h"
#include "pointfile/point_layout.h"
#include "text/text_codec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace hattsheet::operations {

namespace {

using geodesy::CommonPoint;
using geodesy::FitModel;
namespace pf = hattsheet::pointfile;

// Enough significant digits that every double reads back as itself.
constexpr int kFullDigits = 17;

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The text of a fit's list as the list engine reads it: decoded to UTF-8
// (a Windows-1253 list's Greek codes then pair with a UTF-8 list's, a
// byte-order mark dropped), and the lines that begin with "#" emptied, so
// that the blank-line filter drops these comments and every other line keeps
// its number.
std::string listText(std::string_view bytes)
{
    std::string text = text::decodeFileBytes(bytes).utf8;
    for (std::size_t p = 0; p < text.size();) {
        const std::size_t lf = std::min(text.find('\n', p), text.size());
        const std::size_t first = text.find_first_not_of(" \t", p);
        if (first < lf && text[first] == '#') {
            text.erase(p, lf - p);
            ++p;
        } else {
            p = lf + 1;
        }
    }
    return text;
}

ListLineError lineErrorOf(ListStop stop)
{
    const bool fieldCount = stop.fault.problem == pf::RecordProblem::FieldCount || stop.fault.problem == pf::RecordProblem::OffLine;
    return ListLineError{stop.line, fieldCount ? stop.fault.count : 0, std::move(stop)};
}

// A side list's records collected as they are read (one thread: the
// engine's second one is not asked for).
class SideCollector final : public PointConverter {
public:
    explicit SideCollector(std::vector<CodedPoint>& points) : m_points(points) {}
    bool appendPoint(const pf::RecordPoint& point, const pf::PointLayout&, std::string&) const override
    {
        m_points.push_back({std::string(point.record.code.text), point.x, point.y});
        return true;
    }

private:
    std::vector<CodedPoint>& m_points;
};

// The names of a common row's numbers, as a fault names them.
constexpr std::string_view kCommonFields = "xyXY";

void appendNumber(std::string& out, double value)
{
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, kFullDigits).ptr;
    out.append(buffer, end);
}

std::optional<double> readNumber(std::string_view text)
{
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// "x y" as two numbers.
std::optional<geodesy::PlaneXY> readPair(std::string_view text)
{
    const auto space = text.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    const auto x = readNumber(text.substr(0, space)), y = readNumber(trimmed(text.substr(space + 1)));
    if (!x || !y) return std::nullopt;
    return geodesy::PlaneXY{*x, *y};
}

} // namespace

Expected<std::vector<CommonPoint>, ListLineError> readCommonList(std::string_view bytes)
{
    TextSource source(listText(bytes));
    RecordText text(source, SIZE_MAX, false);
    static_cast<void>(text.readOn(0));  // a text in memory is read whole and never fails
    const std::string_view lines = text.text();
    const pf::PointLayout layout = pf::recogniseRowLayout(lines, kCommonFields);
    std::vector<CommonPoint> points;
    for (std::size_t pos = layout.header ? lines.find('\n') + 1 : 0; pos < lines.size();) {
        const auto row = pf::readNumberRow(pf::lineAt(lines, pos), layout, kCommonFields);
        if (!row) {
            ListStop stop;
            stop.tally.layout = layout;
            stop.tally.records = points.size();
            stop.fault = row.error();
            stop.record = points.size() + 1;
            stop.line = text.lineOf(pos);
            return unexpected(lineErrorOf(std::move(stop)));
        }
        const std::vector<double>& v = row->numbers;
        points.push_back({std::string(row->code.text), v[0], v[1], v[2], v[3]});
        pos = std::min(lines.find('\n', pos), lines.size()) + 1;
    }
    return points;
}

Expected<std::vector<CodedPoint>, ListLineError> readSideList(std::string_view bytes)
{
    TextSource source(listText(bytes));
    std::vector<CodedPoint> points;
    ListOptions options;
    options.blockBytes = SIZE_MAX;  // one block: the layout is recognised from the whole list
    options.dropByteOrderMark = false;
    options.longestRecord = kLongestRecordBytes;
    std::string out;
    const auto run = convertList(source, SideCollector(points), options, out, [](std::string&) { return true; });
    if (!run) return unexpected(lineErrorOf(run.error()));
    return points;
}

std::string duplicateCode(const std::vector<CommonPoint>& points)
{
    std::set<std::string_view> seen;
    for (const CommonPoint& p : points) {
        if (!seen.insert(p.code).second) return p.code;
    }
    return {};
}

Expected<std::vector<CommonPoint>, PairingError> pairByCode(const std::vector<CodedPoint>& from,
                                                            const std::vector<CodedPoint>& to)
{
    std::map<std::string_view, const CodedPoint*> targets;
    for (const CodedPoint& p : to) {
        if (!targets.emplace(p.code, &p).second) return unexpected(PairingError{{}, {}, p.code});
    }
    PairingError error;
    std::vector<CommonPoint> points;
    std::set<std::string_view> used;
    for (const CodedPoint& p : from) {
        if (!used.insert(p.code).second) return unexpected(PairingError{{}, {}, p.code});
        const auto found = targets.find(p.code);
        if (found == targets.end()) {
            error.onlyFrom.push_back(p.code);
        } else {
            points.push_back({p.code, p.x, p.y, found->second->x, found->second->y});
        }
    }
    for (const CodedPoint& p : to) {
        if (!used.count(p.code)) error.onlyTo.push_back(p.code);
    }
    if (!error.onlyFrom.empty() || !error.onlyTo.empty()) return unexpected(error);
    return points;
}

std::vector<std::string_view> parameterNames(FitModel model)
{
    switch (model) {
    case FitModel::Similarity: return {"tx", "ty", "a", "b"};
    case FitModel::Affine: return {"a0", "a1", "a2", "b0", "b1", "b2"};
    case FitModel::Poly2: return {"a0", "a1", "a2", "a3", "a4", "a5", "b0", "b1", "b2", "b3", "b4", "b5"};
    }
    return {};
}

std::string writeFitFile(const geodesy::PlaneFit& fit, const std::vector<CommonPoint>& points, std::string_view date)
{
    std::string out = "# hattsheet plane fit: X, Y = target centroid + model(x - xc, y - yc); metres\n";
    out.append("model = ").append(geodesy::fitModelName(fit.model)).append("\n");
    out.append("date = ").append(date).append("\n");
    const auto pair = [&](const char* name, geodesy::PlaneXY c) {
        out.append(name).append(" = ");
        appendNumber(out, c.x);
        out.append(" ");
        appendNumber(out, c.y);
        out.append("\n");
    };
    pair("source_centroid", fit.sourceCentroid);
    pair("target_centroid", fit.targetCentroid);
    const auto names = parameterNames(fit.model);
    for (std::size_t k = 0; k < names.size(); ++k) {
        out.append(names[k]).append(" = ");
        appendNumber(out, fit.parameters[k]);
        out.append("\n");
    }
    for (const CommonPoint& p : points) {
        out.append("point = ").append(p.code);
        for (const double v : {p.x, p.y, p.X, p.Y}) appendNumber(out.append(" "), v);
        out.append("\n");
    }
    return out;
}

Expected<geodesy::PlaneFit, unsigned long long> readFitFile(std::string_view text)
{
    std::map<std::string, std::string, std::less<>> values;
    const auto all = pf::splitLines(text);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string_view line = trimmed(all[i]);
        if (line.empty() || line.front() == '#') continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) return unexpected<unsigned long long>(i + 1);
        const std::string name(trimmed(line.substr(0, equals)));
        if (name == "point" || name == "date") continue;
        if (!values.emplace(name, std::string(trimmed(line.substr(equals + 1)))).second) {
            return unexpected<unsigned long long>(i + 1);
        }
    }
    const auto model = values.count("model") ? geodesy::fitModelNamed(values["model"]) : std::nullopt;
    const auto source = values.count("source_centroid") ? readPair(values["source_centroid"]) : std::nullopt;
    const auto target = values.count("target_centroid") ? readPair(values["target_centroid"]) : std::nullopt;
    if (!model || !source || !target) return unexpected<unsigned long long>(0);
    geodesy::PlaneFit fit;
    fit.model = model.value_or(FitModel::Similarity);
    fit.sourceCentroid = *source;
    fit.targetCentroid = *target;
    for (const std::string_view name : parameterNames(fit.model)) {
        const auto found = values.find(name);
        const auto value = found == values.end() ? std::nullopt : readNumber(found->second);
        if (!value) return unexpected<unsigned long long>(0);
        fit.parameters.push_back(*value);
    }
    return fit;
}

} // namespace hattsheet::operations
