// hattsheet-convert: the window's conversions for scripts.
//
//   hattsheet-convert --from PHI,DL --to PHI,DL --point X,Y
//   hattsheet-convert --from PHI,DL --to PHI,DL [INPUT|-] [-o OUTPUT]
//
// Exit status: 0 done; 1 a failing record or an unreadable or unwritable
// file; 2 a refused centre or coordinate; 64 a usage error.

#include "base/platform.h"
#include "list_mode.h"
#include "messages.h"
#include "single_point.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int kExitRefused = 2;
constexpr int kExitUsage = 64;

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
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) {
        return 0;
    }
    std::fprintf(stderr, "hattsheet-convert: %s\n", hattsheet::conversion::msg::cannotWrite("-").c_str());
    return 1;
}

int usageError(const char* why)
{
    std::fprintf(stderr, "hattsheet-convert: %s\n%s", why, kUsage);
    return kExitUsage;
}

// "A,B" split at the first comma; empty optional without one.
std::optional<std::pair<std::string, std::string>> splitPair(std::string_view text)
{
    const auto comma = text.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    return std::pair{std::string(text.substr(0, comma)), std::string(text.substr(comma + 1))};
}

struct Arguments {
    std::optional<std::string> from, to, point;
    hattsheet::cli::ListRequest list;
    bool help = false;
    bool version = false;
};

// Empty optional (after a message) on a usage error.
std::optional<Arguments> parseArguments(int argc, char** argv)
{
    Arguments args;
    bool inputSeen = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        auto takeValue = [&](std::string_view name, std::optional<std::string>& slot) -> int {
            // --name VALUE or --name=VALUE; the value may begin with "-".
            if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
                slot = std::string(arg.substr(name.size() + 1));
                return 1;
            }
            if (arg != name) return 0;
            if (i + 1 >= argc) return -1;
            slot = argv[++i];
            return 1;
        };
        int taken = 0;
        for (auto [name, slot] : {std::pair<std::string_view, std::optional<std::string>*>{"--from", &args.from},
                                  {"--to", &args.to},
                                  {"--point", &args.point},
                                  {"-o", &args.list.output},
                                  {"--output", &args.list.output}}) {
            if ((taken = takeValue(name, *slot)) != 0) break;
        }
        if (taken < 0) {
            usageError(("missing value after " + std::string(arg)).c_str());
            return std::nullopt;
        }
        if (taken > 0) continue;
        if (arg == "--help" || arg == "-h") {
            args.help = true;
        } else if (arg == "--version") {
            args.version = true;
        } else if (arg == "-" || arg.empty() || arg[0] != '-') {
            if (inputSeen) {
                usageError("only one INPUT may be given");
                return std::nullopt;
            }
            inputSeen = true;
            args.list.input = std::string(arg);
        } else {
            usageError(("unknown option " + std::string(arg)).c_str());
            return std::nullopt;
        }
    }
    return args;
}

int runPoint(const hattsheet::conversion::CentreTexts& from, const hattsheet::conversion::CentreTexts& to,
             const std::pair<std::string, std::string>& point)
{
    using namespace hattsheet::conversion;
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
    hattsheet::platform::useBinaryStdio();
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
    const auto from = splitPair(*args->from);
    const auto to = splitPair(*args->to);
    if (!from || !to) {
        return usageError("a sheet centre is written PHI,DL");
    }
    const hattsheet::conversion::CentreTexts fromTexts{from->first, from->second};
    const hattsheet::conversion::CentreTexts toTexts{to->first, to->second};
    if (args->point) {
        if (args->list.input || args->list.output) {
            return usageError("--point takes no INPUT or -o");
        }
        const auto point = splitPair(*args->point);
        if (!point) {
            return usageError("a point is written X,Y");
        }
        return runPoint(fromTexts, toTexts, *point);
    }
    const auto sheets = hattsheet::conversion::readSheetPair(from->first, from->second, to->first, to->second);
    if (!sheets) {
        std::fprintf(stderr, "%s\n", hattsheet::conversion::messageFor(sheets.error()));
        return kExitRefused;
    }
    return hattsheet::cli::runListConversion(*sheets, args->list);
}
