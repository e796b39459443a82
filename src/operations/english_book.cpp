// The English book: the command line's language outside Greek locales. The
// errno texts are the C library's own, so that they read the same on every
// machine.

#include "operations/message_book.h"
#include "operations/list_engine.h"

#include "base/platform.h"
#include "operations/sheet_names.h"

#include <cerrno>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

namespace {

constexpr char kHelpBeforeMargin[] =
    "usage: hattsheet-convert --from CENTRE --to CENTRE --point X,Y\n"
    "       hattsheet-convert --from CENTRE --to CENTRE [--records-across-lines] [INPUT|-] [-o OUTPUT]\n"
    "       hattsheet-convert --sheets [TEXT]\n"
    "\n"
    "Carries plane coordinates of the Greek Hatt projection (Bessel 1841) from the\n"
    "sheet centre --from to the sheet centre --to, or to and from the Greek Grid\n"
    "(EGSA87 / TM87, EPSG:2100) with the agency's polynomial of each 1:50,000 sheet.\n"
    "  CENTRE   PHI,DL: a sheet centre as degrees.minutes, e.g. 40.51,-0.51 (40°51',\n"
    "           0°51' west of the Athens meridian);\n"
    "           or a sheet's name (case and accents do not count, either spelling,\n"
    "           a unique beginning is enough) or the agency's number of one sheet:\n"
    "           its centre, and for EGSA87 its polynomial;\n"
    "           or egsa87 (also ΕΓΣΑ87), for --to or for --from\n"
    "  X,Y      one point in metres on the --from sheet (E,N from egsa87); prints\n"
    "           X, Y on the --to sheet (E, N for egsa87) and the point's latitude and\n"
    "           longitudes, and \"Φύλλο = NAME\" for a conversion with EGSA87\n"
    "  INPUT    a point list (code, X, Y, H or code, X, Y per line; fields between\n"
    "           commas, \";\", tabs or spaces; decimal point, or decimal comma where\n"
    "           commas do not separate the fields; a header line is skipped;\n"
    "           Windows-1253 or UTF-8), '-' or nothing for stdin; the converted list\n"
    "           goes to stdout or to -o OUTPUT\n"
    "  -o OUTPUT all or nothing: OUTPUT is replaced only when every record was\n"
    "           converted and written, else an existing OUTPUT stays as it was\n"
    "           (stdout, /dev/stdout and devices get the lines before a failing record)\n"
    "  --records-across-lines  read comma records that do not sit one per line as\n"
    "           the window does (else such a record is a failing record)\n"
    "  --       ends the options: what follows is INPUT, also when it begins with '-'\n"
    "  --sheets [TEXT]  lists the sheets whose names contain TEXT (all without it):\n"
    "           name, agency number, centre as PHI,DL, and whether its EGSA87\n"
    "           polynomial is used\n"
    "  --help, --version\n"
    "\n"
    "To EGSA87 a point takes the polynomial of the sheet on the --from centre whose\n"
    "outline holds it (south and west edges inside); with --from NAME that sheet's,\n"
    "with a warning for points more than ";
constexpr char kHelpAfterMargin[] =
    " outside its outline. From EGSA87 the\n"
    "polynomial is inverted exactly (to 0.001 mm), on the sheet of the --to centre\n"
    "whose outline holds the result. A point on no sheet of that centre, or on one of\n"
    "the six sheets whose polynomial is inconsistent, is refused.\n"
    "\n"
    "Messages are in Greek when LC_ALL, LC_MESSAGES or LANG names a Greek locale.\n"
    "\n"
    "Exit status:\n"
    "  0   done\n"
    "  1   a failing record, or a file that cannot be read or written\n"
    "  2   a refused sheet centre or coordinate, or for EGSA87 a refused sheet or a\n"
    "      point on no usable sheet; nothing is written\n"
    "  64  usage error (also an unknown or ambiguous sheet name)\n";

struct Reason {
    int err;
    const char* text;
};
constexpr Reason kReasons[] = {
    {platform::kReservedName, "a name Windows keeps for a device"},
    {platform::kNotRegularFile, "not a regular file (a pipe, a device or a socket)"},
    {ENOENT, "No such file or directory"},
    {EACCES, "Permission denied"},
    {EPERM, "Operation not permitted"},
    {EISDIR, "Is a directory"},
    {ENOTDIR, "Not a directory"},
    {ENOSPC, "No space left on device"},
    {EROFS, "Read-only file system"},
    {EEXIST, "File exists"},
    {EBADF, "Bad file descriptor"},
    {EIO, "Input/output error"},
    {EFBIG, "File too large"},
    {ENAMETOOLONG, "File name too long"},
    {EINVAL, "Invalid argument"},
    {ENXIO, "No such device or address"},
    {ENODEV, "No such device"},
    {EBUSY, "Device or resource busy"},
    {EMFILE, "Too many open files"},
    {ENFILE, "Too many open files in system"},
    {ENOMEM, "Cannot allocate memory"},
    {EPIPE, "Broken pipe"},
    {EXDEV, "Invalid cross-device link"},
    {EMLINK, "Too many links"},
    {EAGAIN, "Resource temporarily unavailable"},
    {EINTR, "Interrupted system call"},
    {ESPIPE, "Illegal seek"},
#ifdef ELOOP
    {ELOOP, "Too many levels of symbolic links"},
#endif
#ifdef EDQUOT
    {EDQUOT, "Disk quota exceeded"},
#endif
#ifdef ETXTBSY
    {ETXTBSY, "Text file busy"},
#endif
#ifdef EOPNOTSUPP
    {EOPNOTSUPP, "Operation not supported"},
#endif
#ifdef ESTALE
    {ESTALE, "Stale file handle"},
#endif
#ifdef ETIMEDOUT
    {ETIMEDOUT, "Connection timed out"},
#endif
#ifdef EOVERFLOW
    {EOVERFLOW, "Value too large for defined data type"},
#endif
};

// Why one of the six sheets is refused, as measured (data/README.md).
const char* defectText(geodesy::SheetDefect defect)
{
    switch (defect) {
    case geodesy::SheetDefect::OriginOffEgsa87:
        return "its constant terms A0, B0 lie 270 km and 11 km from where its centre falls in EGSA87, and its centre (5°45' from Athens) is outside the accepted centres";
    case geodesy::SheetDefect::CoefficientSlip:
        return "its coefficient A2 differs from those of the sheets on the same centre (errors up to 150-253 m)";
    case geodesy::SheetDefect::ImpossibleScale:
        return "its coefficients give a scale off by -520 or +3079 ppm (jumps of 27-53 m at its edges)";
    case geodesy::SheetDefect::NorthingScaleSlip:
        return "its coefficient B2 differs by -487 ppm from its neighbours' (a jump of 5.4 m at its edges)";
    case geodesy::SheetDefect::None: break;
    }
    return "";
}

class EnglishBook final : public MessageBook {
public:
    std::string quoted(std::string_view text) const override { return "\"" + shownText(text) + "\""; }
    std::string warned(std::string_view text) const override { return "warning: " + std::string(text); }

    std::string pointCount(unsigned long long points) const override
    {
        return std::to_string(points).append(points == 1 ? " point" : " points");
    }
    std::string layoutRecognised(unsigned long long points, const pf::PointLayout& layout) const override
    {
        std::string separator;
        switch (layout.separator) {
        case pf::Separator::Comma: separator = quoted(","); break;
        case pf::Separator::Semicolon: separator = quoted(";"); break;
        case pf::Separator::Tab: separator = "tab"; break;
        case pf::Separator::Spaces: separator = "spaces"; break;
        }
        std::string text = "Read " + pointCount(points) + ": separator " + separator + ", decimal mark " +
                           quoted(layout.decimal == pf::DecimalMark::Comma ? "," : ".");
        if (!layout.height) text += ", no height";
        if (layout.header) text += ", header line";
        return text;
    }
    std::string recordPlace(unsigned long long record, unsigned long long line) const override
    {
        return "record " + std::to_string(record) + ", " + linePlace(line);
    }
    std::string linePlace(unsigned long long line) const override { return "line " + std::to_string(line); }
    std::string faultReason(const pf::RecordFault& fault) const override
    {
        const std::string name(1, fault.field), count = std::to_string(fault.count);
        switch (fault.problem) {
        case pf::RecordProblem::FieldCount: return count + " fields instead of " + std::to_string(fault.expected);
        case pf::RecordProblem::EmptyField: return name + " is empty";
        case pf::RecordProblem::NotANumber: return name + " = " + quoted(fault.text) + " is not a number";
        case pf::RecordProblem::CutShort: return "the text ends inside the record";
        case pf::RecordProblem::OffLine:
            return "the record does not sit on a line of its own (a line of " + count +
                   " fields; every line needs 4, or 3 on all of them)";
        case pf::RecordProblem::Ambiguous:
            return count + " fields between commas; if the comma is a decimal mark, separate the fields with "
                           "\";\" or write the numbers with a decimal point";
        case pf::RecordProblem::NotConvertible: return "the coordinates cannot be converted";
        case pf::RecordProblem::TooLong:
            return "the record is longer than " + std::to_string(kLongestRecordBytes >> 20) + " MiB";
        }
        return {};
    }
    std::string recordsShifted(unsigned long long count, unsigned long long firstLine) const override
    {
        const std::string line = std::to_string(firstLine);
        const char* hint = " (decimal commas, or a line without four fields?).";
        if (count == 1) return warned("1 record does not sit on a line of its own; it starts on line " + line + hint);
        return warned(std::to_string(count) + " records do not sit one per line; the first starts on line " + line +
                      hint);
    }
    std::string listFailed() const override { return "error in the list:"; }
    std::string acrossLinesHint() const override { return " (--records-across-lines reads it as the window does)"; }
    std::string firstBlockHint() const override { return " (the layout was recognised from the first MiB of the list)"; }

    std::string centreRefused(geodesy::CentreError error) const override
    {
        return error == geodesy::CentreError::Latitude ? "latitude refused" : "longitude refused";
    }
    std::string centreOutOfRange(geodesy::CentreError error, std::string_view option,
                                 std::string_view text) const override
    {
        namespace g = hattsheet::geodesy;
        const std::string range =
            error == g::CentreError::Latitude
                ? "from " + degreesText(g::kMinCentreLatitudeDeg) + " to " + degreesText(g::kMaxCentreLatitudeDeg)
                : "from " + degreesText(g::kMinCentreLongitudeDeg) + " to " + degreesText(g::kMaxCentreLongitudeDeg) +
                      " from Athens";
        return centreRefused(error) + " (" + std::string(option) + " " + shownText(text) + ": " + range + ")";
    }
    std::string coordinatesRefused() const override { return "the coordinates cannot be converted."; }
    std::string minutesRead(std::string_view typed, std::string_view angle) const override
    {
        return shownText(typed) + " was read as " + std::string(angle) + " (degrees.minutes, with 60 minutes or more)";
    }

    std::string sheetNamed(const geodesy::Sheet& sheet) const override
    {
        return "\"" + std::string(sheet.name) + "\" (agency no. " + std::to_string(sheet.agencyNumber) + ")";
    }
    std::string defectiveSheet(const geodesy::Sheet& sheet) const override
    {
        return "the EGSA87 polynomial of the sheet " + sheetNamed(sheet) +
               " is not used: " + defectText(geodesy::sheetDefect(sheet)) + ".";
    }
    std::string offSheets(std::string_view phiText, std::string_view lambdaText) const override
    {
        return "the point lies on no 1:50,000 sheet of the centre " + std::string(phiText) + "," +
               std::string(lambdaText) + ".";
    }
    std::string noSheetOnCentre(std::string_view phiText, std::string_view lambdaText) const override
    {
        return "no 1:50,000 sheet has the centre " + std::string(phiText) + "," + std::string(lambdaText) +
               " (EGSA87 needs a sheet's centre).";
    }
    std::string farOutside(unsigned long long count, const geodesy::Sheet& sheet) const override
    {
        return warned(std::to_string(count) + (count == 1 ? " point lies" : " points lie") + " more than " +
                      farOutsideDistance() + " outside the outline of the sheet " + sheetNamed(sheet) +
                      "; another sheet's polynomial holds there.");
    }
    std::string sheetUsable(bool usable) const override { return usable ? "EGSA87" : "without EGSA87"; }

    std::string systemReason(int err) const override
    {
        for (const Reason& r : kReasons) {
            if (r.err == err) return r.text;
        }
        return platform::reasonText(err);
    }
    std::string cannotRead(std::string_view path, int err) const override
    {
        return withReason("cannot read " + quoted(path) + ".", err);
    }
    std::string cannotWrite(std::string_view path, int err) const override
    {
        return withReason("cannot write " + quoted(path) + ".", err);
    }
    std::string outOfMemory() const override { return withReason("out of memory", ENOMEM); }

    std::string helpText() const override { return kHelpBeforeMargin + farOutsideDistance() + kHelpAfterMargin; }
    std::string seeHelp() const override { return "see hattsheet-convert --help"; }
    std::string usageError(const UsageError& e) const override;

    // The window's refused centre: the accepted range.
    std::string centreRange(geodesy::CentreError error) const override
    {
        namespace g = hattsheet::geodesy;
        return error == g::CentreError::Latitude
                   ? "A centre's latitude is accepted from " + degreesText(g::kMinCentreLatitudeDeg) + " to " +
                         degreesText(g::kMaxCentreLatitudeDeg) + "."
                   : "A centre's longitude is accepted from " + degreesText(g::kMinCentreLongitudeDeg) + " to " +
                         degreesText(g::kMaxCentreLongitudeDeg) + " from the Athens meridian.";
    }
};

std::string EnglishBook::usageError(const UsageError& e) const
{
    using P = UsageError::Problem;
    const std::string named = e.option + " " + quoted(e.text);
    switch (e.problem) {
    case P::NotAPair: return named + ": write " + e.part + ", two numbers and one comma";
    case P::NotANumber: return named + ": " + quoted(e.part) + " is not a number";
    case P::SecondInput: return "only one INPUT may be given, " + quoted(e.text) + " is a second one";
    case P::UnknownOption: return "unknown option " + quoted(e.text);
    case P::GivenTwice: return e.option + " given twice";
    case P::MissingValue: return "missing value after " + quoted(e.text);
    case P::SheetsTakesText: return "--sheets takes only a TEXT";
    case P::CentresNeeded: return "--from and --to are both needed";
    case P::PointTakesNoList: return "--point takes no INPUT or -o";
    case P::EmptyInput: return "INPUT is an empty name; write - for stdin";
    case P::EmptyOutput: return "OUTPUT is an empty name; write - for stdout";
    case P::UnknownSheet:
        return named + ": no sheet has this name or agency number" +
               (e.candidates.empty() ? " (hattsheet-convert --sheets lists them)"
                                     : "; names containing it: " + candidateList(e.candidates));
    case P::AmbiguousSheet: return named + " names several sheets: " + candidateList(e.candidates);
    case P::Egsa87BothWays: return "--from and --to cannot both be egsa87";
    }
    return {};
}

} // namespace

const MessageBook& englishBook()
{
    static const EnglishBook book;
    return book;
}

} // namespace hattsheet::operations
