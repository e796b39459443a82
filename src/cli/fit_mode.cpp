#include "cli/fit_mode.h"

#include "base/platform.h"
#include "base/safe_file.h"
#include "cli/cli_texts.h"
#include "cli/exit_codes.h"
#include "cli/list_mode.h"
#include "geodesy/plane_fit.h"
#include "operations/plane_fit_file.h"
#include "operations/point_list.h"
#include "text/number_format.h"
#include "text/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <type_traits>

namespace hattsheet::cli {

namespace {

namespace ops = hattsheet::operations;
namespace geo = hattsheet::geodesy;
using Word = ops::MessageBook::FitWord;
using Problem = ops::UsageError::Problem;

// A list or fit file is read whole, up to this (bytes): common points are few.
constexpr std::uintmax_t kLongestFitInput = std::uintmax_t(64) << 20;
// Parameters are shown to this many significant digits (the file keeps 17).
constexpr int kShownDigits = 12;
// The residuals' decimals: tenths of a millimetre hidden, as the lists show metres.
constexpr int kResidualDecimals = 3;

struct FitArguments {
    std::optional<std::string> model, applyFit, check, saveFit, point, output, input;
    std::optional<std::pair<std::string, std::string>> common;
};

int usageFault(const std::string& text)
{
    say(text);
    say(book().seeHelp());
    return kExitUsage;
}

// The options of the fit mode; the message of a usage error or none.
std::optional<std::string> parse(const std::vector<std::string>& args, FitArguments& out)
{
    const std::pair<const char*, std::optional<std::string>*> valued[] = {
        {"--fit", &out.model},         {"--apply-fit", &out.applyFit}, {"--check", &out.check},
        {"--save-fit", &out.saveFit},  {"--point", &out.point},        {"--output", &out.output},
        {"-o", &out.output}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--common") {
            if (out.common) return book().usageError({Problem::GivenTwice, arg, {}, {}, {}});
            if (i + 2 >= args.size()) return book().usageError({Problem::MissingValue, {}, arg, {}, {}});
            out.common = std::pair{args[i + 1], args[i + 2]};
            i += 2;
            continue;
        }
        const auto* o = std::find_if(std::begin(valued), std::end(valued), [&](const auto& v) { return arg == v.first; });
        if (o != std::end(valued)) {
            if (o->second->has_value()) return book().usageError({Problem::GivenTwice, arg, {}, {}, {}});
            if (i + 1 >= args.size()) return book().usageError({Problem::MissingValue, {}, arg, {}, {}});
            *o->second = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return book().usageError({Problem::UnknownOption, {}, arg, {}, {}});
        } else if (out.input) {
            return book().usageError({Problem::SecondInput, {}, arg, {}, {}});
        } else {
            out.input = arg;
        }
    }
    const bool fit = out.model.has_value(), apply = out.applyFit.has_value();
    const bool fitSound = fit && !apply && (out.input.has_value() != out.common.has_value()) && !out.point && !out.output;
    const bool applySound = apply && !fit && !out.common && !out.check && !out.saveFit && !(out.point && (out.input || out.output));
    if (!fitSound && !applySound) return book().fitUsage();
    return std::nullopt;
}

std::optional<std::string> readFile(const std::string& name)
{
    auto text = files::readWholeFile(platform::pathFromUtf8(name), kLongestFitInput);
    if (!text) {
        say(book().cannotRead(name, text.error().code));
        return std::nullopt;
    }
    return std::move(*text);
}

// The list of file name read by reader, or none after saying why not.
template <typename Reader>
auto readListFile(const std::string& name, Reader reader) -> std::optional<std::decay_t<decltype(*reader(""))>>
{
    const auto text = readFile(name);
    if (!text) return std::nullopt;
    auto points = reader(*text);
    if (!points) {
        say(book().fitListStopped(name, points.error().stop));
        return std::nullopt;
    }
    return std::move(*points);
}

std::optional<std::vector<geo::CommonPoint>> commonPoints(const std::string& name)
{
    auto points = readListFile(name, ops::readCommonList);
    if (!points) return std::nullopt;
    if (const std::string twice = ops::duplicateCode(*points); !twice.empty()) {
        say(book().fitCodes({}, {}, twice));
        return std::nullopt;
    }
    return points;
}

std::optional<std::vector<geo::CommonPoint>> pairedPoints(const std::pair<std::string, std::string>& names)
{
    std::vector<ops::CodedPoint> sides[2];
    for (int k = 0; k < 2; ++k) {
        auto side = readListFile(k == 0 ? names.first : names.second, ops::readSideList);
        if (!side) return std::nullopt;
        sides[k] = std::move(*side);
    }
    auto paired = ops::pairByCode(sides[0], sides[1]);
    if (!paired) {
        say(book().fitCodes(paired.error().onlyFrom, paired.error().onlyTo, paired.error().duplicate));
        return std::nullopt;
    }
    return std::move(*paired);
}

std::string shown(double value, int digits = kShownDigits)
{
    char buffer[64];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits).ptr);
}

std::string withSigma(double value, const std::optional<double>& sigma, std::string_view unit = {})
{
    return shown(value) + " ± " + (sigma ? shown(*sigma, 3) : std::string("-")) + std::string(unit);
}

// One line per point (code dx dy length), RMS, the largest named.
void appendResiduals(std::string& out, const geo::PlaneFit& fit, const std::vector<geo::CommonPoint>& points)
{
    std::vector<geo::Residual> residuals;
    std::size_t largest = 0;
    for (const geo::CommonPoint& p : points) {
        residuals.push_back(geo::residualOf(fit, p));
        if (residuals.back().length > residuals[largest].length) largest = residuals.size() - 1;
        out.append(p.code).append(" ").append(text::formatFixed(residuals.back().dx, kResidualDecimals));
        out.append(" ").append(text::formatFixed(residuals.back().dy, kResidualDecimals)).append(" ");
        out.append(text::formatFixed(residuals.back().length, kResidualDecimals)).append("\n");
    }
    out.append("RMS = ").append(text::formatFixed(geo::rmsOf(residuals), kResidualDecimals)).append("\n");
    if (!points.empty()) {
        out.append(book().fitWord(Word::Largest)).append(" = ").append(points[largest].code).append(" ");
        out.append(text::formatFixed(residuals[largest].length, kResidualDecimals)).append("\n");
    }
}

// A second-order fit as the sheets' polynomials are tabled, so that it can
// be compared with a sheet's A0..A5, B0..B5.
void appendAboutOrigin(std::string& out, const geo::PlaneFit& fit)
{
    const geo::OriginPolynomial raw = geo::aboutOrigin(fit);
    out.append(book().fitAboutOrigin()).append(":\n");
    for (const auto& [letter, terms] : {std::pair{'A', &raw.a}, std::pair{'B', &raw.b}}) {
        for (std::size_t k = 0; k < terms->size(); ++k) {
            out.append(1, letter).append(std::to_string(k)).append(" = ").append(shown((*terms)[k])).append("\n");
        }
    }
}

void appendParameters(std::string& out, const geo::FitResult& result)
{
    const geo::PlaneFit& fit = result.fit;
    out.append(book().fitWord(Word::Model)).append(" = ").append(geo::fitModelName(fit.model)).append("\n");
    const auto names = ops::parameterNames(fit.model);
    for (std::size_t k = 0; k < names.size(); ++k) {
        const auto sigma = result.sigmas ? std::optional((*result.sigmas)[k]) : std::nullopt;
        out.append(names[k]).append(" = ").append(withSigma(fit.parameters[k], sigma)).append("\n");
    }
    if (fit.model == geo::FitModel::Poly2) appendAboutOrigin(out, fit);
    if (fit.model != geo::FitModel::Similarity) return;
    const geo::ScaleRotation sr = geo::scaleRotation(result);
    out.append(book().fitWord(Word::Scale)).append(" = ").append(withSigma(sr.scalePpm, sr.scaleSigmaPpm, " ppm\n"));
    const double pi = 4.0 * std::atan(1.0);
    const auto in = [&](double full) {  // radians to a unit with `full` to a half turn
        return [=](double r) { return (r * full) / pi; };
    };
    const auto grad = in(200.0), deg = in(180.0);
    const auto sg = sr.rotationSigmaRad;
    out.append(book().fitWord(Word::Rotation)).append(" = ");
    out.append(withSigma(grad(sr.rotationRad), sg ? std::optional(grad(*sg)) : std::nullopt, " grad = "));
    out.append(withSigma(deg(sr.rotationRad), sg ? std::optional(deg(*sg)) : std::nullopt, " °\n"));
}

std::string nowUtc()
{
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    if (const std::tm* t = std::gmtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", t);
    return text;
}

int saveFit(const std::string& name, const geo::PlaneFit& fit, const std::vector<geo::CommonPoint>& points)
{
    files::SafeWriter file(platform::pathFromUtf8(name));
    file.write(ops::writeFitFile(fit, points, nowUtc()));
    const auto done = file.commit();
    if (!done) {
        say(book().cannotWrite(name, done.error().code));
        return kExitFailed;
    }
    return kExitDone;
}

int runFit(const FitArguments& args)
{
    const auto model = geo::fitModelNamed(*args.model);
    if (!model) return usageFault(book().fitUnknownModel(*args.model));
    const auto points = args.common ? pairedPoints(*args.common) : commonPoints(*args.input);
    if (!points) return kExitFailed;
    std::optional<std::vector<geo::CommonPoint>> checks;
    if (args.check && !(checks = commonPoints(*args.check))) return kExitFailed;
    const auto result = geo::fitPlane(*model, *points);
    if (!result) {
        say(book().fitRefused(static_cast<int>(result.error()), geo::fitModelName(*model), geo::fewestPoints(*model)));
        return kExitRefused;
    }
    std::string out;
    appendResiduals(out, result->fit, *points);
    if (checks) {
        out.append(book().fitWord(Word::CheckPoints)).append(":\n");
        appendResiduals(out, result->fit, *checks);
    }
    appendParameters(out, *result);
    if (args.saveFit && saveFit(*args.saveFit, result->fit, *points) != kExitDone) return kExitFailed;
    std::fputs(out.c_str(), stdout);
    return finishStdout();
}

// A list's records carried through a saved fit: code as read, X and Y in
// "0.000", H as read (operations/point_list.h).
class FitConverter final : public ops::PointConverter {
public:
    explicit FitConverter(geo::PlaneFit fit) : m_fit(std::move(fit)) {}
    bool appendPoint(const pointfile::RecordPoint& point, const pointfile::PointLayout& layout,
                     std::string& out) const override
    {
        const geo::PlaneXY p = geo::applyFit(m_fit, point.x, point.y);
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
        ops::appendTargetLine(point.record, p.x, p.y, out, layout);
        return true;
    }

private:
    geo::PlaneFit m_fit;
};

int runApply(const FitArguments& args)
{
    const auto text = readFile(*args.applyFit);
    if (!text) return kExitFailed;
    const auto fit = ops::readFitFile(*text);
    if (!fit) {
        say(book().fitFileRefused(*args.applyFit, fit.error()));
        return kExitFailed;
    }
    if (!args.point) {
        ListRequest list;
        list.input = args.input;
        list.output = args.output;
        return runListConversion(FitConverter(*fit), list, messageLanguage());
    }
    const auto comma = args.point->find(',');
    const auto x = text::parseWholeNumber(std::string_view(*args.point).substr(0, comma));
    const auto y = comma == std::string::npos ? std::nullopt : text::parseWholeNumber(args.point->substr(comma + 1));
    if (!x || !y) return usageFault(book().usageError({Problem::NotAPair, "--point", *args.point, "X,Y", {}}));
    const geo::PlaneXY p = geo::applyFit(*fit, *x, *y);
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        say(book().coordinatesRefused());
        return kExitRefused;
    }
    std::printf("Χ = %s\nΥ = %s\n", text::formatCoordinate(p.x).c_str(), text::formatCoordinate(p.y).c_str());
    return finishStdout();
}

} // namespace

bool asksForFit(const std::vector<std::string>& args)
{
    for (const std::string& a : args) {
        if (a == "--") return false;
        if (a == "--fit" || a == "--apply-fit") return true;
    }
    return false;
}

int runFitMode(const std::vector<std::string>& args)
{
    FitArguments parsed;
    if (const auto fault = parse(args, parsed)) return usageFault(*fault);
    return parsed.model ? runFit(parsed) : runApply(parsed);
}

} // namespace hattsheet::cli
