#include "cli/fit_mode.h"

#include "base/platform.h"
#include "base/safe_file.h"
#include "cli/cli_texts.h"
#include "cli/exit_codes.h"
#include "cli/list_mode.h"
#include "geodesy/plane_fit.h"
#include "operations/fit_report.h"
#include "operations/plane_fit_file.h"
#include "text/number_format.h"
#include "text/number_text.h"

#include <cmath>
#include <cstdio>
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

// One line per point (code dx dy length), RMS, the largest named.
void appendResiduals(std::string& out, const geo::PlaneFit& fit, const std::vector<geo::CommonPoint>& points)
{
    const ops::ResidualTable table = ops::residualTable(fit, points);
    for (const ops::ResidualRow& r : table.rows) {
        out.append(r.code).append(" ").append(r.dx).append(" ").append(r.dy).append(" ").append(r.length).append("\n");
    }
    out.append("RMS = ").append(table.rms).append("\n");
    if (table.largest) {
        const ops::ResidualRow& r = table.rows[*table.largest];
        out.append(book().fitWord(Word::Largest)).append(" = ").append(r.code).append(" ").append(r.length).append("\n");
    }
}

int saveFit(const std::string& name, const geo::PlaneFit& fit, const std::vector<geo::CommonPoint>& points)
{
    files::SafeWriter file(platform::pathFromUtf8(name));
    file.write(ops::writeFitFile(fit, points, ops::fitFileDate()));
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
    out.append(ops::parameterText(*result, book()));
    if (args.saveFit && saveFit(*args.saveFit, result->fit, *points) != kExitDone) return kExitFailed;
    std::fputs(out.c_str(), stdout);
    return finishStdout();
}

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
        return runListConversion(ops::FitLineConverter(*fit), list, messageLanguage());
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
