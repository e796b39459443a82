// hattsheet-convert: the window's conversions for scripts.
//
//   hattsheet-convert --from CENTRE --to CENTRE --point X,Y
//   hattsheet-convert --from CENTRE --to CENTRE [INPUT|-] [-o OUTPUT]
//   hattsheet-convert --sheets [TEXT]
//
// CENTRE is PHI,DL, a sheet's name or agency number, or egsa87 (the Greek
// Grid) on one side.
//
// Exit status: 0 done; 1 a failing record or an unreadable or unwritable
// file; 2 a refused centre or coordinate; 64 a usage error.

#include "base/platform.h"
#include "base/version.h"
#include "cli/cli_texts.h"
#include "cli/exit_codes.h"
#include "cli/list_mode.h"
#include "geodesy/sheet_centre.h"
#include "operations/grid_operations.h"
#include "operations/list_messages.h"
#include "operations/messages.h"
#include "operations/sheet_messages.h"
#include "operations/sheet_names.h"
#include "text/name_key.h"
#include "text/number_text.h"
#include "text/system_reason.h"
#include "operations/single_point.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <new>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using hattsheet::cli::kExitDone;
using hattsheet::cli::kExitFailed;
using hattsheet::cli::kExitRefused;
using hattsheet::cli::kExitUsage;
using hattsheet::cli::Language;
using hattsheet::cli::quote;
using hattsheet::cli::say;

// The language of every message of this run.
Language language()
{
    static const Language chosen = hattsheet::cli::messageLanguage();
    return chosen;
}
bool greek() { return language() == Language::Greek; }

// Flushes stdout and reports a failed write ("/dev/full", a closed pipe) on
// stderr; the exit status for what was printed.
int finishStdout()
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) {
        return kExitDone;
    }
    say(hattsheet::cli::cannotWrite("-", errno, language()));
    return kExitFailed;
}

// A usage error: one line, and where the help is.
int usageError(const std::string& why)
{
    say(why);
    say(hattsheet::cli::seeHelp(language()));
    return kExitUsage;
}

std::string inQuotes(std::string_view text) { return quote(text, language()); }

// "A,B" of --from, --to or --point: exactly one comma, and on each side a
// text the window would let the user leave its field with (the window's
// numeric field test: spaces around, a sign, digits with at most one point,
// an exponent). The window never converts any other text, so neither does
// the command line: "40,5,-0.51" (a decimal comma) and "abc,2000" are usage
// errors, not Δλ0 = 5° or X = 0. Empty optional after the message.
std::optional<std::pair<std::string, std::string>> numberPair(std::string_view option, std::string_view text,
                                                              const char* form)
{
    const auto comma = text.find(',');
    if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos) {
        usageError(std::string(option) + " " + inQuotes(text) + (greek() ? ": γράψτε " : ": write ") + form +
                   (greek() ? ", δύο αριθμούς και ένα κόμμα" : ", two numbers and one comma"));
        return std::nullopt;
    }
    std::pair<std::string, std::string> parts{text.substr(0, comma), text.substr(comma + 1)};
    for (const std::string& part : {parts.first, parts.second}) {
        if (!hattsheet::text::parseWholeNumber(part)) {
            usageError(std::string(option) + " " + inQuotes(text) + ": " + inQuotes(part) +
                       (greek() ? " δεν είναι αριθμός" : " is not a number"));
            return std::nullopt;
        }
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
};

// Empty optional (after a message) on a usage error. An option given twice
// is one: the later value would silently win over the earlier one. After
// "--" every argument is INPUT, also one that begins with "-".
std::optional<Arguments> parseArguments(int argc, char** argv)
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
                              {"--records-across-lines", {}, nullptr, &args.list.recordsAcrossLines}};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (args.list.input) {
                usageError(greek() ? "μόνο ένα INPUT επιτρέπεται· το " + inQuotes(arg) + " είναι δεύτερο"
                                   : "only one INPUT may be given, " + inQuotes(arg) + " is a second one");
                return std::nullopt;
            }
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
            usageError((greek() ? "άγνωστη επιλογή " : "unknown option ") + inQuotes(arg));
            return std::nullopt;
        }
        if (o->flag ? *o->flag : o->value->has_value()) {
            usageError(greek() ? "το " + std::string(name) + " δόθηκε δύο φορές" : std::string(name) + " given twice");
            return std::nullopt;
        }
        if (o->flag) {
            *o->flag = true;
        } else if (name.size() < arg.size()) {
            *o->value = std::string(arg.substr(name.size() + 1));
        } else if (i + 1 < argc) {
            *o->value = argv[++i];
        } else {
            usageError((greek() ? "λείπει η τιμή μετά το " : "missing value after ") + inQuotes(arg));
            return std::nullopt;
        }
    }
    return args;
}

int runPoint(const hattsheet::operations::CentreTexts& from, const hattsheet::operations::CentreTexts& to,
             const std::pair<std::string, std::string>& point)
{
    using namespace hattsheet::operations;
    const auto result = computeOldToNew(from, to, point.first, point.second);
    if (!result) {
        say(hattsheet::operations::coordinatesRefused(language()));
        return kExitRefused;
    }
    std::printf("Χ = %s\nΥ = %s\nφ = %s\nΔλ = %s\nλ = %s\n", result->x2.c_str(), result->y2.c_str(),
                result->lat.c_str(), result->lonAthens.c_str(), result->lonGreenwich.c_str());
    return finishStdout();
}

// What --from or --to names: a centre (typed, or a sheet's), or the Grid.
struct CentreArgument {
    bool grid = false;
    std::string phi, lambda;                         // degrees-minutes texts of the centre
    const hattsheet::geodesy::SheetRecord* sheet = nullptr;  // when a sheet was named
};

// PHI,DL as today (a text with a comma is never a name); egsa87; else a
// sheet's name or agency number. Empty optional after a usage error.
std::optional<CentreArgument> centreArgument(std::string_view option, std::string_view text)
{
    namespace ops = hattsheet::operations;
    if (text.find(',') != std::string_view::npos) {
        const auto pair = numberPair(option, text, "PHI,DL");
        if (!pair) return std::nullopt;
        return CentreArgument{false, pair->first, pair->second, nullptr};
    }
    if (hattsheet::text::isGreekGridName(text)) return CentreArgument{true, {}, {}, nullptr};
    const auto sheet = ops::findSheet(text);
    if (!sheet) {
        const std::string candidates = ops::candidateList(sheet.error().candidates);
        const std::string shown = ops::msg::shownText(text);
        usageError(sheet.error().ambiguous ? ops::msg::ambiguousSheet(option, shown, candidates, language())
                                           : ops::msg::unknownSheet(option, shown, candidates, language()));
        return std::nullopt;
    }
    return CentreArgument{false, std::string((*sheet)->phi0DegMin), std::string((*sheet)->lambda0DegMin), *sheet};
}

// --sheets [TEXT]: name, agency number, PHI,DL, and whether the polynomial is used.
int listSheets(std::string_view text)
{
    namespace ops = hattsheet::operations;
    std::string out;
    for (const auto* sheet : ops::sheetsMatching(text)) {
        out.append(sheet->name).append("\t").append(std::to_string(sheet->agencyNumber)).append("\t");
        out.append(ops::centreText(*sheet)).append("\t");
        out.append(hattsheet::geodesy::isUsable(*sheet) ? ops::msg::kUsable : ops::msg::kUnusable).append("\n");
    }
    std::fputs(out.c_str(), stdout);
    return finishStdout();
}

// A conversion to or from the Grid: the sheets of the Hatt side, then one
// point or the list.
int runGrid(const CentreArgument& hattSide, hattsheet::operations::GridDirection direction,
            const std::optional<std::pair<std::string, std::string>>& point, const hattsheet::cli::ListRequest& list)
{
    namespace ops = hattsheet::operations;
    const auto choice = hattSide.sheet != nullptr ? ops::SheetChoice::named(*hattSide.sheet)
                                                  : ops::SheetChoice::onCentre(hattSide.phi, hattSide.lambda);
    if (!choice) {
        // A refused centre is named with its option and the accepted range,
        // unless it is one of the inconsistent sheets' (the message names it).
        const bool latitude = choice.error() == ops::ChoiceError::Latitude;
        if ((latitude || choice.error() == ops::ChoiceError::Longitude) && hattSide.sheet == nullptr &&
            ops::defectiveSheetOnCentre(hattSide.phi, hattSide.lambda) == nullptr) {
            say(hattsheet::cli::centreRefused(latitude, direction == ops::GridDirection::ToGrid ? "--from" : "--to",
                                              latitude ? hattSide.phi : hattSide.lambda, language()));
        } else {
            say(ops::choiceMessage(choice.error(), hattSide.phi, hattSide.lambda, hattSide.sheet, language()));
        }
        return kExitRefused;
    }
    if (!point) {
        const ops::GridLineConverter converter(*choice, direction, language());
        return hattsheet::cli::runListConversion(converter, list, language());
    }
    const auto result = ops::computeGridPoint(*choice, direction, point->first, point->second, language());
    if (!result) {
        say(result.error());
        return kExitRefused;
    }
    if (result->farOutside) say(ops::msg::farOutside(1, *result->sheet, language()));
    std::printf("Χ = %s\nΥ = %s\nφ = %s\nΔλ = %s\nλ = %s\n%s%s\n", result->x.c_str(), result->y.c_str(),
                result->lat.c_str(), result->lonAthens.c_str(), result->lonGreenwich.c_str(), ops::msg::kSheetLabel,
                std::string(result->sheet->name).c_str());
    return finishStdout();
}

int run(int argc, char** argv)
{
    // UTF-8 arguments and untranslated CR LF on every system.
    hattsheet::platform::prepareProcess();
    std::vector<std::string> utf8 = hattsheet::platform::utf8Arguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& a : utf8) utf8Argv.push_back(a.data());
    utf8Argv.push_back(nullptr);
    argc = static_cast<int>(utf8.size());
    argv = utf8Argv.data();
    const auto args = parseArguments(argc, argv);
    if (!args) {
        return kExitUsage;
    }
    if (args->help) {
        std::fputs(hattsheet::cli::helpText(language()), stdout);
        return finishStdout();
    }
    if (args->version) {
        std::puts("hattsheet-convert " HATTSHEET_VERSION);
        return finishStdout();
    }
    if (args->sheets) {
        if (args->from || args->to || args->point || args->list.output || (args->sheetsText && args->list.input)) {
            return usageError(greek() ? "το --sheets παίρνει μόνο ένα TEXT" : "--sheets takes only a TEXT");
        }
        return listSheets(args->sheetsText ? *args->sheetsText : args->list.input.value_or(""));
    }
    if (!args->from || !args->to) {
        return usageError(greek() ? "χρειάζονται και το --from και το --to" : "--from and --to are both needed");
    }
    if (args->point && (args->list.input || args->list.output)) {
        return usageError(greek() ? "το --point δεν παίρνει INPUT ή -o" : "--point takes no INPUT or -o");
    }
    // An empty name (IN='' in a script) is a mistake, not a wish for stdin
    // or stdout: taken as one, it would turn an OUTPUT file into nothing.
    if (args->list.input && args->list.input->empty()) {
        return usageError(greek() ? "το INPUT είναι κενό όνομα· γράψτε - για την τυπική είσοδο"
                                  : "INPUT is an empty name; write - for stdin");
    }
    if (args->list.output && args->list.output->empty()) {
        return usageError(greek() ? "το OUTPUT είναι κενό όνομα· γράψτε - για την τυπική έξοδο"
                                  : "OUTPUT is an empty name; write - for stdout");
    }
    const auto from = centreArgument("--from", *args->from);
    const auto to = from ? centreArgument("--to", *args->to) : std::nullopt;
    const auto point = to && args->point ? numberPair("--point", *args->point, from->grid ? "E,N" : "X,Y") : std::nullopt;
    if (!from || !to || (args->point && !point)) {
        return kExitUsage;
    }
    if (from->grid && to->grid) {
        return usageError(hattsheet::operations::msg::gridBothWays(language()));
    }
    // A centre typed with 60 minutes or more is said how it was read.
    for (const auto* centre : {&*from, &*to}) {
        if (centre->grid || centre->sheet != nullptr) continue;
        for (const std::string& part : {centre->phi, centre->lambda}) {
            const std::string note = hattsheet::operations::minutesNote(part, language());
            if (!note.empty()) say((greek() ? "προειδοποίηση: " : "warning: ") + note);
        }
    }
    if (to->grid) return runGrid(*from, hattsheet::operations::GridDirection::ToGrid, point, args->list);
    if (from->grid) return runGrid(*to, hattsheet::operations::GridDirection::FromGrid, point, args->list);
    // A refused centre is named with its option and the accepted range.
    for (const auto& [option, centre] : {std::pair{"--from", &*from}, std::pair{"--to", &*to}}) {
        const auto read = hattsheet::geodesy::readSheetCentre(centre->phi, centre->lambda);
        if (!read) {
            const bool latitude = read.error() == hattsheet::geodesy::CentreError::Latitude;
            say(hattsheet::cli::centreRefused(latitude, option, latitude ? centre->phi : centre->lambda, language()));
            return kExitRefused;
        }
    }
    const hattsheet::operations::CentreTexts fromTexts{from->phi, from->lambda};
    const hattsheet::operations::CentreTexts toTexts{to->phi, to->lambda};
    if (point) {
        return runPoint(fromTexts, toTexts, *point);
    }
    const auto sheets = hattsheet::operations::readFramePair(from->phi, from->lambda, to->phi, to->lambda);
    if (!sheets) {
        say(hattsheet::operations::coordinatesRefused(language()));
        return kExitRefused;
    }
    return hattsheet::cli::runListConversion(*sheets, args->list, language());
}

} // namespace

int main(int argc, char** argv)
{
    // A record of tens of MiB under a memory limit: reported, not a crash
    // (the temporary file of -o has gone with the unwinding).
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        say(std::string(greek() ? hattsheet::operations::msg::kOutOfMemory : "out of memory") + " (" +
            hattsheet::text::systemReason(ENOMEM, language()) + ")");
        return kExitFailed;
    }
}
