// hattsheet-convert: the window's conversions for scripts.
//
//   hattsheet-convert --from PHI,DL --to PHI,DL --point X,Y
//   hattsheet-convert --from PHI,DL --to PHI,DL [INPUT|-] [-o OUTPUT]
//
// Exit status: 0 done; 1 a failing record or an unreadable or unwritable
// file; 2 a refused centre or coordinate; 64 a usage error.

#include "base/platform.h"
#include "cli/exit_codes.h"
#include "cli/list_mode.h"
#include "operations/messages.h"
#include "text/number_text.h"
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

constexpr char kUsage[] =
    "usage: hattsheet-convert --from PHI,DL --to PHI,DL --point X,Y\n"
    "       hattsheet-convert --from PHI,DL --to PHI,DL [INPUT|-] [-o OUTPUT]\n"
    "\n"
    "Carries plane coordinates of the Greek Hatt projection (Bessel 1841) from the\n"
    "sheet centre --from to the sheet centre --to.\n"
    "  PHI,DL   sheet centre as degrees.minutes, e.g. 40.51,-0.51 (40°51', 0°51' west\n"
    "           of the Athens meridian)\n"
    "  X,Y      one point in metres on the --from sheet; prints X, Y on the --to sheet\n"
    "           and the point's latitude and longitudes\n"
    "  INPUT    a point list (code, X, Y, H per line; Windows-1253 or UTF-8), '-' or\n"
    "           nothing for stdin; the converted list goes to stdout or to -o OUTPUT\n"
    "  -o OUTPUT all or nothing: OUTPUT is replaced only when every record was\n"
    "           converted and written, else an existing OUTPUT stays as it was\n"
    "           (stdout, /dev/stdout and devices get the lines before a failing record)\n"
    "  --       ends the options: what follows is INPUT, also when it begins with '-'\n"
    "  --help, --version\n"
    "\n"
    "Exit status:\n"
    "  0   done\n"
    "  1   a failing record, or a file that cannot be read or written\n"
    "  2   a refused sheet centre or coordinate; nothing is written\n"
    "  64  usage error\n";

// Flushes stdout and reports a failed write ("/dev/full", a closed pipe) on
// stderr; the exit status for what was printed.
int finishStdout()
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) {
        return kExitDone;
    }
    namespace msg = hattsheet::operations::msg;
    std::fprintf(stderr, "hattsheet-convert: %s\n", msg::withReason(msg::cannotWrite("-"), errno != 0 ? errno : EIO).c_str());
    return kExitFailed;
}

int usageError(const std::string& why)
{
    std::fprintf(stderr, "hattsheet-convert: %s\n%s", why.c_str(), kUsage);
    return kExitUsage;
}

std::string inQuotes(std::string_view text)
{
    return "\"" + hattsheet::operations::msg::shownText(text) + "\"";
}

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
        usageError(std::string(option) + " " + inQuotes(text) + ": write " + form + ", two numbers and one comma");
        return std::nullopt;
    }
    std::pair<std::string, std::string> parts{text.substr(0, comma), text.substr(comma + 1)};
    for (const std::string& part : {parts.first, parts.second}) {
        if (!hattsheet::text::parseWholeNumber(part)) {
            usageError(std::string(option) + " " + inQuotes(text) + ": " + inQuotes(part) + " is not a number");
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
                              {"--help", "-h", nullptr, &args.help},     {"--version", {}, nullptr, &args.version}};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (args.list.input) {
                usageError("only one INPUT may be given, " + inQuotes(arg) + " is a second one");
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
        if (o == std::end(options) || (o->flag && name.size() < arg.size())) {
            usageError("unknown option " + inQuotes(arg));
            return std::nullopt;
        }
        if (o->flag ? *o->flag : o->value->has_value()) {
            usageError(std::string(name) + " given twice");
            return std::nullopt;
        }
        if (o->flag) {
            *o->flag = true;
        } else if (name.size() < arg.size()) {
            *o->value = std::string(arg.substr(name.size() + 1));
        } else if (i + 1 < argc) {
            *o->value = argv[++i];
        } else {
            usageError("missing value after " + inQuotes(arg));
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
        std::fprintf(stderr, "%s\n", messageFor(result.error()));
        return kExitRefused;
    }
    std::printf("Χ = %s\nΥ = %s\nφ = %s\nΔλ = %s\nλ = %s\n", result->x2.c_str(), result->y2.c_str(),
                result->lat.c_str(), result->lonAthens.c_str(), result->lonGreenwich.c_str());
    return finishStdout();
}

} // namespace

int main(int argc, char** argv)
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
        std::fputs(kUsage, stdout);
        return finishStdout();
    }
    if (args->version) {
        std::puts("hattsheet-convert " HATTSHEET_VERSION);
        return finishStdout();
    }
    if (!args->from || !args->to) {
        return usageError("--from and --to are both needed");
    }
    if (args->point && (args->list.input || args->list.output)) {
        return usageError("--point takes no INPUT or -o");
    }
    // An empty name (IN='' in a script) is a mistake, not a wish for stdin
    // or stdout: taken as one, it would turn an OUTPUT file into nothing.
    if (args->list.input && args->list.input->empty()) {
        return usageError("INPUT is an empty name; write - for stdin");
    }
    if (args->list.output && args->list.output->empty()) {
        return usageError("OUTPUT is an empty name; write - for stdout");
    }
    const auto from = numberPair("--from", *args->from, "PHI,DL");
    const auto to = from ? numberPair("--to", *args->to, "PHI,DL") : std::nullopt;
    const auto point = to && args->point ? numberPair("--point", *args->point, "X,Y") : std::nullopt;
    if (!from || !to || (args->point && !point)) {
        return kExitUsage;
    }
    const hattsheet::operations::CentreTexts fromTexts{from->first, from->second};
    const hattsheet::operations::CentreTexts toTexts{to->first, to->second};
    if (point) {
        return runPoint(fromTexts, toTexts, *point);
    }
    const auto sheets = hattsheet::operations::readSheetPair(from->first, from->second, to->first, to->second);
    if (!sheets) {
        std::fprintf(stderr, "%s\n", hattsheet::operations::messageFor(sheets.error()));
        return kExitRefused;
    }
    // A record of tens of MiB under a memory limit: reported, not a crash
    // (the temporary file of -o has gone with the unwinding).
    try {
        return hattsheet::cli::runListConversion(*sheets, args->list);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s\n",
                     hattsheet::operations::msg::withReason(hattsheet::operations::msg::kOutOfMemory, ENOMEM).c_str());
        return kExitFailed;
    }
}
