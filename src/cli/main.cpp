// hattsheet-convert: the window's conversions for scripts.
//
//   hattsheet-convert --from CENTRE --to CENTRE --point X,Y
//   hattsheet-convert --from CENTRE --to CENTRE [INPUT|-] [-o OUTPUT]
//   hattsheet-convert --sheets [TEXT]
//   hattsheet-convert --systems
//   hattsheet-convert --from SYSTEM --to SYSTEM --proj-pipeline [--approximate]
//
// CENTRE is PHI,DL, a sheet's name or agency number, or egsa87 (the Greek
// Grid) on one side, or any system of operations/system_kind.h (then
// --point takes an optional height, A,B,H, and TM07 and HTRS07 need the
// HEPOS grid: --hepos-grid FOLDER).
//
// Exit status: 0 done; 1 a failing record or an unreadable or unwritable
// file; 2 a refused centre or coordinate, or a route with no PROJ pipeline;
// 64 a usage error.

#include "base/platform.h"
#include "base/version.h"
#include "cli/cli_texts.h"
#include "cli/exit_codes.h"
#include "cli/fit_mode.h"
#include "cli/list_mode.h"
#include "cli/pipeline_mode.h"
#include "cli/system_mode.h"
#include "geodesy/centre.h"
#include "operations/egsa87_operations.h"
#include "operations/message_book.h"
#include "operations/sheet_names.h"
#include "operations/single_point.h"
#include "operations/systems.h"
#include "pointfile/map_formats.h"
#include "text/name_key.h"
#include "text/number_text.h"
#include "text/text_codec.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

namespace ops = hattsheet::operations;
using hattsheet::Expected;
using hattsheet::unexpected;
using hattsheet::cli::kExitDone;
using hattsheet::cli::kExitFailed;
using hattsheet::cli::kExitRefused;
using hattsheet::cli::kExitUsage;
using hattsheet::cli::finishStdout;
using hattsheet::cli::say;
using ops::UsageError;
using Problem = ops::UsageError::Problem;
using NumberPair = std::pair<std::string, std::string>;

// The language of every message of this run, and its book.
ops::Language language()
{
    static const ops::Language chosen = hattsheet::cli::messageLanguage();
    return chosen;
}
const ops::MessageBook& book() { return ops::messageBook(language()); }

UsageError usage(Problem problem, std::string_view option = {}, std::string_view text = {},
                 std::string_view part = {})
{
    return UsageError{problem, std::string(option), std::string(text), std::string(part), {}};
}

// The one place a usage error is said: its line, and where the help is.
int usageError(const UsageError& error)
{
    say(book().usageError(error));
    say(book().seeHelp());
    return kExitUsage;
}

// "A,B" of --from, --to or --point: exactly one comma, and on each side a
// text the window would let the user leave its field with (the window's
// numeric field test: spaces around, a sign, digits with at most one point,
// an exponent). The window never converts any other text, so neither does
// the command line: "40,5,-0.51" (a decimal comma) and "abc,2000" are usage
// errors, not Δλ0 = 5° or X = 0.
Expected<NumberPair, UsageError> numberPair(std::string_view option, std::string_view text, const char* form)
{
    const auto comma = text.find(',');
    if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos) {
        return unexpected(usage(Problem::NotAPair, option, text, form));
    }
    NumberPair parts{text.substr(0, comma), text.substr(comma + 1)};
    for (const std::string& part : {parts.first, parts.second}) {
        if (!hattsheet::text::parseWholeNumber(part)) return unexpected(usage(Problem::NotANumber, option, text, part));
    }
    return parts;
}

struct Arguments {
    std::optional<std::string> from, to, point;
    hattsheet::cli::ListRequest list;
    bool help = false;
    bool version = false;
    bool sheets = false;                   // --sheets; its TEXT is INPUT's place or --sheets=TEXT
    std::optional<std::string> sheetsText;
    bool systems = false;                  // --systems
    std::optional<std::string> heposGrid;  // --hepos-grid FOLDER
    std::optional<std::string> format;     // --format NAME
    bool projPipeline = false;             // --proj-pipeline: print the route's PROJ pipeline
    bool approximate = false;              // --approximate: the HEPOS routes without the grid
};

// An option given twice is a usage error: the later value would silently
// win over the earlier one. After "--" every argument is INPUT, also one that
// begins with "-".
Expected<Arguments, UsageError> parseArguments(int argc, char** argv)
{
    Arguments args;
    struct Option {
        std::string_view name, alias;
        std::optional<std::string>* value;  // an option that takes a value
        bool* flag;                         // or one that does not
    };
    const Option options[] = {{"--from", {}, &args.from, nullptr},       {"--to", {}, &args.to, nullptr},
                              {"--point", {}, &args.point, nullptr},     {"--output", "-o", &args.list.output, nullptr},
                              {"--help", "-h", nullptr, &args.help},     {"--version", {}, nullptr, &args.version},
                              {"--sheets", {}, nullptr, &args.sheets},
                              {"--systems", {}, nullptr, &args.systems},
                              {"--hepos-grid", {}, &args.heposGrid, nullptr},
                              {"--records-across-lines", {}, nullptr, &args.list.recordsAcrossLines},
                              {"--keep-layout", {}, nullptr, &args.list.keepLayout},
                              {"--format", {}, &args.format, nullptr},
                              {"--proj-pipeline", {}, nullptr, &args.projPipeline},
                              {"--approximate", {}, nullptr, &args.approximate}};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (args.list.input) return unexpected(usage(Problem::SecondInput, {}, arg));
            args.list.input = std::string(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // --name VALUE or --name=VALUE; the value may begin with "-".
        const std::string_view name = arg.substr(0, arg.find('='));
        const Option* o = std::find_if(std::begin(options), std::end(options), [&](const Option& candidate) {
            return name == candidate.name || (!candidate.alias.empty() && name == candidate.alias);
        });
        if (name == "--sheets" && name.size() < arg.size() && !args.sheets) {
            args.sheets = true;
            args.sheetsText = std::string(arg.substr(name.size() + 1));
            continue;
        }
        if (o == std::end(options) || (o->flag && name.size() < arg.size())) {
            return unexpected(usage(Problem::UnknownOption, {}, arg));
        }
        if (o->flag ? *o->flag : o->value->has_value()) return unexpected(usage(Problem::GivenTwice, name));
        if (o->flag) {
            *o->flag = true;
        } else if (name.size() < arg.size()) {
            *o->value = std::string(arg.substr(name.size() + 1));
        } else if (i + 1 < argc) {
            *o->value = argv[++i];
        } else {
            return unexpected(usage(Problem::MissingValue, {}, arg));
        }
    }
    return args;
}

// What the arguments ask for that no single option decides: the
// combinations that are usage errors.
std::optional<UsageError> misused(const Arguments& args)
{
    if (args.sheets) {
        const bool more = args.from || args.to || args.point || args.list.output || args.format ||
                          (args.sheetsText && args.list.input);
        return more ? std::optional(usage(Problem::SheetsTakesText)) : std::nullopt;
    }
    if (args.systems) {
        const bool more = args.from || args.to || args.point || args.list.input || args.list.output || args.format;
        return more ? std::optional(usage(Problem::SystemsAlone)) : std::nullopt;
    }
    if (!args.from || !args.to) return usage(Problem::CentresNeeded);
    if (args.point && (args.list.input || args.list.output)) return usage(Problem::PointTakesNoList);
    // An empty name (IN='' in a script) is a mistake, not a wish for stdin
    // or stdout: taken as one, it would turn an OUTPUT file into nothing.
    if (args.list.input && args.list.input->empty()) return usage(Problem::EmptyInput);
    if (args.list.output && args.list.output->empty()) return usage(Problem::EmptyOutput);
    return std::nullopt;
}

// --proj-pipeline prints and converts nothing: an option of a conversion
// or of a listing beside it is a usage error, and so is --approximate
// without it. The message, or none.
std::optional<std::string> pipelineMisused(const Arguments& args)
{
    if (!args.projPipeline) {
        return args.approximate ? std::optional(book().approximateNeedsPipeline()) : std::nullopt;
    }
    const std::pair<bool, const char*> conversionOptions[] = {
        {args.point.has_value(), "--point"},      {args.list.input.has_value(), "INPUT"},
        {args.list.output.has_value(), "-o"},     {args.format.has_value(), "--format"},
        {args.list.keepLayout, "--keep-layout"},  {args.list.recordsAcrossLines, "--records-across-lines"},
        {args.sheets, "--sheets"},                {args.systems, "--systems"}};
    for (const auto& [given, option] : conversionOptions) {
        if (given) return book().pipelineTakesNo(option);
    }
    return std::nullopt;
}

// --point's five lines: the target's two coordinates and the geodetic display.
void printPoint(const std::string& x, const std::string& y, const ops::GeodeticTexts& geodetic)
{
    std::printf("Χ = %s\nΥ = %s\nφ = %s\nΔλ = %s\nλ = %s\n", x.c_str(), y.c_str(), geodetic.lat.c_str(),
                geodetic.lonAthens.c_str(), geodetic.lonGreenwich.c_str());
}

int runPoint(const ops::CentreTexts& from, const ops::CentreTexts& to, const NumberPair& point)
{
    const auto result = ops::computeOldToNew(from, to, point.first, point.second);
    if (!result) {
        say(book().coordinatesRefused());
        return kExitRefused;
    }
    printPoint(result->x2, result->y2, result->geodetic);
    return finishStdout();
}

// What --from or --to names: a centre (typed, or a sheet's), or ΕΓΣΑ87.
struct CentreArgument {
    bool egsa87 = false;
    std::optional<ops::SystemKind> system;         // a system beside Hatt and ΕΓΣΑ87
    std::string phi, lambda;                         // degrees-minutes texts of the centre
    const hattsheet::geodesy::Sheet* sheet = nullptr;  // when a sheet was named
};

// A name that names no single sheet: the sheets it may mean, or the closest
// names when no name contains it.
UsageError sheetNotFound(std::string_view option, std::string_view text, const ops::SheetNotFound& notFound)
{
    Problem problem = Problem::UnknownSheet;
    if (notFound.ambiguous) {
        problem = Problem::AmbiguousSheet;
    } else if (notFound.nearest && !notFound.candidates.empty()) {
        problem = Problem::CloseSheets;
    }
    UsageError error = usage(problem, option, text);
    error.candidates = notFound.candidates;
    return error;
}

// PHI,DL as today (a text with a comma is never a name); egsa87; else a
// sheet's name or agency number, which must be valid UTF-8 (a lone byte of
// a cut Greek letter would match whatever sheet shares its first byte).
Expected<CentreArgument, UsageError> centreArgument(std::string_view option, std::string_view text)
{
    if (text.find(',') != std::string_view::npos) {
        const auto pair = numberPair(option, text, "PHI,DL");
        if (!pair) return unexpected(pair.error());
        return CentreArgument{false, {}, pair->first, pair->second, nullptr};
    }
    if (!hattsheet::text::isValidUtf8(text)) return unexpected(usage(Problem::NotUtf8, option, text));
    if (hattsheet::text::isGreekEgsa87Name(text)) return CentreArgument{true, {}, {}, {}, nullptr};
    if (const auto system = ops::systemNamed(text)) {
        if (*system == ops::SystemKind::Egsa87) return CentreArgument{true, {}, {}, {}, nullptr};
        return CentreArgument{false, system, {}, {}, nullptr};
    }
    const auto sheet = ops::findSheet(text);
    if (!sheet) return unexpected(sheetNotFound(option, text, sheet.error()));
    return CentreArgument{false, {}, std::string((*sheet)->phi0DegMin), std::string((*sheet)->lambda0DegMin), *sheet};
}

// --sheets [TEXT]: name, agency number, PHI,DL, and whether the polynomial
// is used. A TEXT that matches nothing is said (with the closest names), not
// an empty list: a script would take that for a list of no sheets.
int listSheets(std::string_view text)
{
    if (!hattsheet::text::isValidUtf8(text)) return usageError(usage(Problem::NotUtf8, "--sheets", text));
    const ops::SheetList sheets = ops::sheetsMatching(text);
    if (sheets.empty()) {
        say(book().noSheetMatched(text, ops::closestSheets(text)));
        return kExitFailed;
    }
    std::string out;
    for (const auto* sheet : sheets) {
        out.append(sheet->name).append("\t").append(std::to_string(sheet->agencyNumber)).append("\t");
        out.append(ops::centreText(*sheet)).append("\t");
        out.append(book().sheetUsable(hattsheet::geodesy::isUsable(*sheet))).append("\n");
    }
    std::fputs(out.c_str(), stdout);
    return finishStdout();
}

// The refusal of ΕΓΣΑ87 conversion's Hatt side: a refused centre is named
// with its option and the accepted range, unless it is one of the
// inconsistent sheets' (the message names it).
std::string choiceRefusal(ops::ChoiceError error, const CentreArgument& hattSide, const char* option)
{
    const bool latitude = error == ops::ChoiceError::Latitude;
    if ((latitude || error == ops::ChoiceError::Longitude) && hattSide.sheet == nullptr &&
        ops::defectiveSheetOnCentre(hattSide.phi, hattSide.lambda) == nullptr) {
        return book().centreOutOfRange(latitude ? hattsheet::geodesy::CentreError::Latitude
                                                : hattsheet::geodesy::CentreError::Longitude,
                                       option, latitude ? hattSide.phi : hattSide.lambda);
    }
    return ops::choiceMessage(error, hattSide.phi, hattSide.lambda, hattSide.sheet, language());
}

// A conversion to or from ΕΓΣΑ87: the sheets of the Hatt side, then one
// point or the list.
int runEgsa87(const CentreArgument& hattSide, ops::Direction direction, const std::optional<NumberPair>& point,
            const hattsheet::cli::ListRequest& list)
{
    const auto choice = hattSide.sheet != nullptr ? ops::SheetChoice::named(*hattSide.sheet)
                                                  : ops::SheetChoice::onCentre(hattSide.phi, hattSide.lambda);
    if (!choice) {
        say(choiceRefusal(choice.error(), hattSide, direction == ops::Direction::Forward ? "--from" : "--to"));
        return kExitRefused;
    }
    if (!point) {
        const ops::Egsa87LineConverter converter(*choice, direction, language());
        return hattsheet::cli::runListConversion(converter, list, language());
    }
    const auto result = ops::computeEgsa87Point(*choice, direction, point->first, point->second);
    if (!result) {
        say(ops::refusalMessage(result.error(), *choice, language()));
        return kExitRefused;
    }
    if (result->farOutside) say(book().farOutside(1, *result->sheet));
    printPoint(result->x, result->y, result->geodetic);
    std::printf("Φύλλο = %s\n", std::string(result->sheet->name).c_str());
    return finishStdout();
}

// The two centres and the point, read after the options.
struct Request {
    CentreArgument from, to;
    std::optional<NumberPair> point;
    std::string height;  // --point's third number between systems ("" for none)
};

bool isSystemRoute(const Request& r) { return r.from.system.has_value() || r.to.system.has_value(); }

// The form --point takes in the --from system's order.
const char* pointForm(const CentreArgument& from)
{
    if (from.egsa87) return "E,N";
    if (!from.system) return "X,Y";
    if (ops::isGeographic(*from.system)) return "PHI,LAMBDA[,H]";
    return "E,N[,H]";
}

Expected<Request, UsageError> readRequest(const Arguments& args)
{
    const auto from = centreArgument("--from", *args.from);
    if (!from) return unexpected(from.error());
    const auto to = centreArgument("--to", *args.to);
    if (!to) return unexpected(to.error());
    Request request{*from, *to, std::nullopt, {}};
    if (args.point) {
        // Between systems a height may follow: A,B,H (the Helmert step uses it).
        std::string_view text = *args.point;
        const auto last = text.rfind(',');
        if (isSystemRoute(request) && last != std::string_view::npos && text.find(',') != last) {
            request.height = std::string(text.substr(last + 1));
            if (!hattsheet::text::parseWholeNumber(request.height)) {
                return unexpected(usage(Problem::NotANumber, "--point", text, request.height));
            }
            text = text.substr(0, last);
        }
        const auto point = numberPair("--point", text, pointForm(*from));
        if (!point) return unexpected(point.error());
        request.point = *point;
    }
    if (from->egsa87 && to->egsa87) return unexpected(usage(Problem::Egsa87BothWays));
    return request;
}

ops::SystemId systemOf(const CentreArgument& c)
{
    if (c.egsa87) return ops::SystemId::of(ops::SystemKind::Egsa87);
    if (c.system) return ops::SystemId::of(*c.system);
    return ops::SystemId::hatt(c.phi, c.lambda, c.sheet);
}

// A refused Hatt end of a route, named with its option as the ΕΓΣΑ87
// conversions name it.
hattsheet::cli::RouteRefusal routeRefusalOf(const Request& request)
{
    return [&request](const ops::RouteError& e) {
        const auto& end = e.side == ops::Side::From ? request.from : request.to;
        const char* option = e.side == ops::Side::From ? "--from" : "--to";
        if (e.cause == ops::RouteError::Cause::Choice) return choiceRefusal(e.choice, end, option);
        const bool latitude = e.centre == hattsheet::geodesy::CentreError::Latitude;
        return book().centreOutOfRange(e.centre, option, latitude ? end.phi : end.lambda);
    };
}

// A conversion where one end is a system beside Hatt and ΕΓΣΑ87.
int runSystems(const Request& request, const Arguments& args)
{
    const hattsheet::cli::SystemRequest systems{systemOf(request.from), systemOf(request.to), request.point,
                                                request.height, args.heposGrid, args.list};
    return hattsheet::cli::runSystemConversion(systems, routeRefusalOf(request));
}

// A conversion between two Hatt centres, or to or from ΕΓΣΑ87.
int convert(const Request& request, const Arguments& args)
{
    const hattsheet::cli::ListRequest& list = args.list;
    // A centre typed with 60 minutes or more is said how it was read.
    for (const auto* centre : {&request.from, &request.to}) {
        if (centre->egsa87 || centre->system || centre->sheet != nullptr) continue;
        for (const std::string& part : {centre->phi, centre->lambda}) {
            const std::string note = ops::minutesNote(part, language());
            if (!note.empty()) say(book().warned(note));
        }
    }
    if (args.projPipeline) {
        return hattsheet::cli::printProjPipeline(systemOf(request.from), systemOf(request.to), args.approximate,
                                                 routeRefusalOf(request));
    }
    // A map file goes through the systems' routes, which reach WGS84.
    if (isSystemRoute(request) || list.format != hattsheet::pointfile::MapFormat::Csv) return runSystems(request, args);
    if (request.to.egsa87) return runEgsa87(request.from, ops::Direction::Forward, request.point, list);
    if (request.from.egsa87) return runEgsa87(request.to, ops::Direction::Backward, request.point, list);
    // A refused centre is named with its option and the accepted range.
    for (const auto& [option, centre] : {std::pair{"--from", &request.from}, std::pair{"--to", &request.to}}) {
        const auto read = hattsheet::geodesy::readCentre(centre->phi, centre->lambda);
        if (!read) {
            const bool latitude = read.error() == hattsheet::geodesy::CentreError::Latitude;
            say(book().centreOutOfRange(read.error(), option, latitude ? centre->phi : centre->lambda));
            return kExitRefused;
        }
    }
    const ops::CentreTexts fromTexts{request.from.phi, request.from.lambda};
    const ops::CentreTexts toTexts{request.to.phi, request.to.lambda};
    if (request.point) return runPoint(fromTexts, toTexts, *request.point);
    const auto sheets = ops::readHattConversion(fromTexts.phi, fromTexts.lambda, toTexts.phi, toTexts.lambda);
    if (!sheets) {
        say(book().coordinatesRefused());
        return kExitRefused;
    }
    return hattsheet::cli::runListConversion(*sheets, list, language());
}

// The list's format: --format, else the -o file's extension (.kml,
// .geojson, .dxf, .gpx), else today's comma lines. A map format writes no
// list layout and no single point. The message of a usage error, or none.
std::optional<std::string> chooseFormat(Arguments& args)
{
    namespace pf = hattsheet::pointfile;
    if (args.format) {
        const auto named = pf::mapFormatNamed(*args.format);
        if (!named) return book().unknownFormat(*args.format);
        args.list.format = *named;
    } else if (args.list.output && *args.list.output != "-") {
        args.list.format = pf::mapFormatOfPath(*args.list.output).value_or(pf::MapFormat::Csv);
    }
    if (args.list.format == pf::MapFormat::Csv) return std::nullopt;
    if (args.point) return book().notWithMapFormat("--point");
    if (args.list.keepLayout) return book().notWithMapFormat("--keep-layout");
    return std::nullopt;
}

int run(int argc, char** argv)
{
    // UTF-8 arguments and untranslated CR LF on every system.
    hattsheet::platform::prepareProcess();
    std::vector<std::string> utf8 = hattsheet::platform::utf8Arguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& a : utf8) utf8Argv.push_back(a.data());
    utf8Argv.push_back(nullptr);
    if (const std::vector<std::string> rest(utf8.begin() + 1, utf8.end()); hattsheet::cli::asksForFit(rest)) {
        return hattsheet::cli::runFitMode(rest);
    }
    auto args = parseArguments(static_cast<int>(utf8.size()), utf8Argv.data());
    if (!args) return usageError(args.error());
    if (args->help) {
        std::fputs(book().helpText().c_str(), stdout);
        return finishStdout();
    }
    if (args->version) {
        std::puts("hattsheet-convert " HATTSHEET_VERSION);
        return finishStdout();
    }
    if (const auto error = misused(*args)) return usageError(*error);
    if (const auto refused = pipelineMisused(*args)) {
        say(*refused);
        say(book().seeHelp());
        return kExitUsage;
    }
    if (args->systems) return hattsheet::cli::listSystems();
    if (args->sheets) return listSheets(args->sheetsText ? *args->sheetsText : args->list.input.value_or(""));
    if (const auto refused = chooseFormat(*args)) {
        say(*refused);
        say(book().seeHelp());
        return kExitUsage;
    }
    const auto request = readRequest(*args);
    if (!request) return usageError(request.error());
    return convert(*request, *args);
}

} // namespace

int main(int argc, char** argv)
{
    // A record of tens of MiB under a memory limit: reported, not a crash
    // (the temporary file of -o has gone with the unwinding).
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        say(book().outOfMemory());
        return kExitFailed;
    }
}
