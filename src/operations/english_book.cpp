// The English book: the command line's language outside Greek locales. The
// errno texts are the C library's own, so that they read the same on every
// machine.

#include "operations/message_book.h"
#include "operations/list_engine.h"

#include "base/platform.h"
#include "operations/proj_pipeline.h"
#include "operations/sheet_names.h"

#include <cerrno>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

namespace {

constexpr char kHelpBeforeMargin[] =
    "usage: hattsheet-convert --from CENTRE --to CENTRE --point X,Y\n"
    "       hattsheet-convert --from CENTRE --to CENTRE [--records-across-lines] [--keep-layout]\n"
    "                         [--format FORMAT] [INPUT|-] [-o OUTPUT]\n"
    "       hattsheet-convert --sheets [TEXT]\n"
    "       hattsheet-convert --from SYSTEM --to SYSTEM [--hepos-grid FOLDER] --point A,B[,H]\n"
    "       hattsheet-convert --from SYSTEM --to SYSTEM [--hepos-grid FOLDER] [INPUT|-] [-o OUTPUT]\n"
    "       hattsheet-convert --from SYSTEM --to SYSTEM --proj-pipeline [--approximate]\n"
    "       hattsheet-convert --systems\n"
    "       hattsheet-convert --fit similarity|affine|poly2 COMMON_LIST|--common FROM_LIST TO_LIST\n"
    "                         [--check LIST] [--save-fit FILE]\n"
    "       hattsheet-convert --apply-fit FILE (--point X,Y | [INPUT|-] [-o OUTPUT])\n"
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
    "  --keep-layout  write the list in the layout it was read in (separator,\n"
    "           decimal mark, header line), and say so; else with commas\n"
    "  --format csv|kml|geojson|dxf|gpx  comma lines (csv, the default) or a map\n"
    "           file: KML 2.2, GeoJSON or GPX 1.1 (WGS84, H as the height, the --to\n"
    "           coordinates beside each point) or DXF (a POINT at E, N, H of a plane\n"
    "           --to and a TEXT with its code); without it, -o OUTPUT ending .kml,\n"
    "           .geojson, .dxf or .gpx chooses the format\n"
    "  --       ends the options: what follows is INPUT, also when it begins with '-'\n"
    "  --sheets [TEXT]  lists the sheets whose names contain TEXT (all without it):\n"
    "           name, agency number, centre as PHI,DL, and whether its EGSA87\n"
    "           polynomial is used\n"
    "  SYSTEM   a CENTRE, or egsa87 (tm87), egsa87-geo, tm07, htrs07, wgs84, tm3-west,\n"
    "           tm3-central, tm3-east (tm3:-3, tm3:0, tm3:3): any two of them; A,B in\n"
    "           the --from system's order (E,N, X,Y or PHI,LAMBDA in degrees), H its\n"
    "           height; geographic results and lists in degrees with 9 decimals\n"
    "  --systems  lists the systems, their coordinates and the accuracy to EGSA87\n"
    "  --hepos-grid FOLDER  the HEPOS grid (east.grd, north.grd) for tm07 and\n"
    "           htrs07; else HATTSHEET_HEPOS_GRID, else the per-user data folder\n"
    "  --proj-pipeline  prints the PROJ pipeline of the route instead of converting\n"
    "           (for ogr2ogr -ct, QGIS, PostGIS ST_TransformPipeline; geographic ends\n"
    "           in degrees, longitude first); notes on stderr. Hatt to Hatt or TM3 is\n"
    "           aeqd, up to 13 mm from the series; to or from EGSA87 and beyond needs a\n"
    "           named sheet (its polynomial for every point); TM3 to the new datum and\n"
    "           the HEPOS grid are refused\n"
    "  --approximate  with --proj-pipeline, TM07 and HTRS07 through the Helmert step\n"
    "           without the grid: about 0.7 m off, up to 2.7 m\n"
    "  --fit MODEL  fits a similarity (4 parameters), affine (6) or second-order\n"
    "           (poly2, 12) transformation by least squares to common points\n"
    "           (code, x, y, X, Y per line, or two lists matched by code with --common);\n"
    "           prints each point's residual, the RMS and the parameters; --check LIST\n"
    "           points are not used in the fit; --save-fit FILE keeps it in a text file\n"
    "  --apply-fit FILE  converts a point or a list (code, x, y[, H]) through a saved fit\n"
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
    "Heights (H, h) pass through unchanged: no geoid model is used. The HEPOS\n"
    "model (TM07 <-> TM87) reads the height as the ellipsoidal height (0 when a\n"
    "point has none); WGS84 is reached through EPSG:1272, good to about 1 m.\n"
    "\n"
    "Messages are in Greek when LC_ALL, LC_MESSAGES or LANG names a Greek locale.\n"
    "\n"
    "Exit status:\n"
    "  0   done\n"
    "  1   a failing record, or a file that cannot be read or written\n"
    "  2   a refused sheet centre or coordinate, or for EGSA87 a refused sheet or a\n"
    "      point on no usable sheet; nothing is written; or a route with no PROJ\n"
    "      pipeline\n"
    "  64  usage error (also an unknown or ambiguous sheet name)\n";

struct Reason {
    int err;
    const char* text;
};
constexpr Reason kReasons[] = {
    {platform::kReservedName, "a name Windows keeps for a device"},
    {platform::kNotRegularFile, "not a regular file (a pipe, a device or a socket)"},
    // file safety: the program's own refusals of files that could hang it or
    // that another user planted.
    {platform::kWouldWait, "a read would wait for data that may never come"},
    {platform::kOthersFile, "another user's file in a shared folder (sticky, writable by all)"},
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
    std::string quoted(std::string_view text) const override { return "\"" + shownExcerpt(text) + "\""; }
    // Bounded excerpts.
    std::string quotedName(std::string_view path) const override { return "\"" + shownName(path) + "\""; }
    std::string warned(std::string_view text) const override { return "warning: " + std::string(text); }

    std::string pointCount(unsigned long long points) const override
    {
        return std::to_string(points).append(points == 1 ? " point" : " points");
    }
    std::string layoutRecognised(unsigned long long points, const pf::PointLayout& layout) const override
    {
        return "Read " + pointCount(points) + ": " + layoutText(layout);
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
        case pf::RecordProblem::Thousands: return thousandsReason(fault);
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
        return centreRefused(error) + " (" + std::string(option) + " " + shownExcerpt(text) + ": " + range + ")";
    }
    std::string coordinatesRefused() const override { return "the coordinates cannot be converted."; }
    std::string minutesRead(std::string_view typed, std::string_view angle) const override
    {
        return shownExcerpt(typed) + " was read as " + std::string(angle) + " (degrees.minutes, with 60 minutes or more)";
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
        return "the point lies on no 1:50,000 sheet of the centre " + shownExcerpt(phiText) + "," +
               shownExcerpt(lambdaText) + ".";
    }
    std::string noSheetOnCentre(std::string_view phiText, std::string_view lambdaText) const override
    {
        return "no 1:50,000 sheet has the centre " + shownExcerpt(phiText) + "," + shownExcerpt(lambdaText) +
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
        return withReason("cannot read " + quotedName(path) + ".", err);
    }
    std::string cannotWrite(std::string_view path, int err) const override
    {
        return withReason("cannot write " + quotedName(path) + ".", err);
    }
    std::string outOfMemory() const override { return withReason("out of memory", ENOMEM); }

    std::string helpText() const override { return kHelpBeforeMargin + farOutsideDistance() + kHelpAfterMargin; }
    std::string seeHelp() const override { return "see hattsheet-convert --help"; }
    std::string usageError(const UsageError& e) const override;

    // Systems: conversions between any two systems.
    std::string systemName(SystemKind kind) const override
    {
        switch (kind) {
        case SystemKind::Hatt: return "Hatt on a sheet centre, old datum (Bessel 1841)";
        case SystemKind::Egsa87: return "EGSA87 / TM87 (EPSG:2100)";
        case SystemKind::Egsa87Geographic: return "EGSA87 geographic, GRS80 (EPSG:4121)";
        case SystemKind::Tm07: return "HTRS07 / TM07";
        case SystemKind::Htrs07: return "HTRS07 geographic, GRS80";
        case SystemKind::Wgs84: return "WGS84 geographic (EPSG:4326)";
        case SystemKind::Tm3West: return "TM3 west zone (Athens -3°), old datum";
        case SystemKind::Tm3Central: return "TM3 central zone (Athens meridian), old datum";
        case SystemKind::Tm3East: return "TM3 east zone (Athens +3°), old datum";
        }
        return {};
    }
    std::string coordinateNames(SystemKind kind) const override
    {
        if (kind == SystemKind::Htrs07) return "phi, lambda (degrees), h (m, ellipsoidal)";
        if (isGeographic(kind)) return "phi, lambda (degrees)";
        return kind == SystemKind::Hatt ? "X, Y (m)" : "E, N (m)";
    }
    std::string accuracyToEgsa87(SystemKind kind) const override
    {
        switch (kind) {
        case SystemKind::Hatt: return "the sheet's polynomial (the agency's own)";
        case SystemKind::Egsa87: return "-";
        case SystemKind::Egsa87Geographic: return "exact (TM87 to 0.1 mm)";
        case SystemKind::Tm07:
        case SystemKind::Htrs07: return "the HEPOS model with its grid (check points to 1 mm)";
        case SystemKind::Wgs84: return "about 1 m (EPSG:1272)";
        default: return "exact to Bessel, then the sheet's polynomial";
        }
    }
    std::string gridNotFound(std::string_view folder) const override
    {
        return "the HEPOS grid (east.grd and north.grd) is not in " + quotedName(folder.empty() ? "?" : folder) +
               ": the Hellenic Cadastre publishes the two files on its HEPOS site (www.hepos.gr); put them in "
               "that folder, or name theirs with --hepos-grid FOLDER or HATTSHEET_HEPOS_GRID.";
    }
    std::string gridRefused(const geodesy::GridFault& fault) const override
    {
        using G = geodesy::GridProblem;
        std::string reason;
        switch (fault.problem) {
        case G::Unreadable: return cannotRead(fault.file, fault.error);
        case G::Unwritable: return cannotWrite(fault.file, fault.error);
        case G::HeaderNumber: reason = "a header line that is not one number"; break;
        case G::RowCount: reason = "not 408 rows"; break;
        case G::ColumnCount: reason = "not 422 columns"; break;
        case G::Spacing: reason = "a spacing other than 2000 m"; break;
        case G::Origin: reason = "not the model's first row and column (N 1845619, E 41600)"; break;
        case G::NotANumber: reason = "a shift that is no number of centimetres up to 1000"; break;
        case G::ShortRow: reason = "fewer than 422 numbers"; break;
        case G::LongRow: reason = "more than 422 numbers"; break;
        case G::MissingRows: reason = "the file ends before its 408 rows"; break;
        case G::TextAfterRows: reason = "text after the last row"; break;
        }
        return "not a HEPOS grid file: " + quotedName(fault.file) + ", line " + std::to_string(fault.line) + ": " + reason + ".";
    }
    std::string gridInstalled(std::string_view folder) const override
    {
        return "the HEPOS grid was installed in " + quotedName(folder) + ".";
    }
    std::string outsideGrid() const override { return "the point lies outside the HEPOS grid."; }
    std::string offEverySheet() const override { return "the point lies on no usable 1:50,000 sheet."; }
    std::string wgs84Accuracy() const override
    {
        return "note: EGSA87 <-> WGS84 goes through EPSG:1272 (a geocentric translation), good to about 1 m.";
    }

    // Lists and names.
    std::string thousandsReason(const pf::RecordFault& fault) const override
    {
        return std::string(1, fault.field) + " = " + quoted(fault.text) + " has a thousands separator " +
               quoted(std::string(1, fault.text[fault.text.find_first_of(".,")])) + "; write the number without it";
    }
    std::string layoutWritten(const pf::PointLayout& layout) const override
    {
        return "written in the list's layout: " + layoutText(layout);
    }
    std::string noSheetMatched(std::string_view text, const std::vector<const geodesy::Sheet*>& closest) const override
    {
        return "no sheet's name contains " + quoted(text) + ", nor is it an agency number" +
               (closest.empty() ? "" : "; the closest names: " + candidateList(closest));
    }

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

    // Map formats: --format and the -o file's extension.
    std::string unknownFormat(std::string_view text) const override
    {
        return "--format " + quoted(text) + ": no such format; write csv, kml, geojson, dxf or gpx";
    }
    std::string dxfNeedsPlane(SystemKind kind) const override
    {
        return "DXF draws in metres of a plane system, and " + systemName(kind) +
               " is geographic: choose a plane --to, or another --format";
    }
    std::string notWithMapFormat(std::string_view option) const override
    {
        return std::string(option) + " cannot go with a map format (--format, or -o ending .kml, .geojson, .dxf or .gpx)";
    }

    // fit
    static std::string codeList(const std::vector<std::string>& codes)
    {
        std::string out;
        for (const std::string& c : codes) out.append(out.empty() ? "" : ", ").append(shownExcerpt(c));
        return out;
    }
    std::string fitWord(FitWord word) const override
    {
        constexpr const char* words[] = {"scale", "rotation", "largest residual", "check points", "model"};
        return words[static_cast<int>(word)];
    }
    std::string fitUsage() const override
    {
        return "--fit MODEL takes COMMON_LIST or --common FROM_LIST TO_LIST; --apply-fit FILE takes INPUT or --point X,Y";
    }
    std::string fitUnknownModel(std::string_view text) const override
    {
        return "--fit \"" + shownExcerpt(text) + "\": the models are similarity, affine, poly2";
    }
    std::string fitListLine(std::string_view path, unsigned long long line, std::size_t fields) const override
    {
        const std::string where = shownName(path) + ", line " + std::to_string(line) + ": ";
        if (fields == 0) return where + "a coordinate is not a number";
        return where + std::to_string(fields) + " fields, not a code and its coordinates";
    }
    std::string fitCodes(const std::vector<std::string>& onlyFrom, const std::vector<std::string>& onlyTo,
                         std::string_view duplicate) const override
    {
        if (!duplicate.empty()) return "code " + shownExcerpt(duplicate) + " is given twice in one list";
        std::string out;
        if (!onlyFrom.empty()) out = "only in FROM_LIST: " + codeList(onlyFrom);
        if (!onlyTo.empty()) out.append(out.empty() ? "" : "; ").append("only in TO_LIST: " + codeList(onlyTo));
        return out;
    }
    std::string fitRefused(int error, std::string_view model, std::size_t fewest) const override
    {
        const std::string m(model);
        if (error == 0) return m + " needs at least " + std::to_string(fewest) + " common points";
        if (error == 1) return "the common points cannot fix a " + m + " transformation (collinear or coincident)";
        return "a common point's coordinate is not a finite number";
    }
    std::string fitFileRefused(std::string_view path, unsigned long long line) const override
    {
        return shownName(path) + (line == 0 ? ": not a fit file (a line is missing or wrong)"
                                            : ": not a fit file (line " + std::to_string(line) + ")");
    }

    // fit lists
    std::string fitAboutOrigin() const override
    {
        return "about x = y = 0, as the sheets' polynomials: X = A0 + A1·x + A2·y + A3·x² + A4·y² + A5·x·y, Y with B0..B5";
    }
    // PROJ pipelines: --proj-pipeline and --approximate.
    std::string pipelineNeedsSheet(std::string_view option,
                                   const std::vector<const geodesy::Sheet*>& sheets) const override
    {
        return std::string(option) +
               ": the program takes each point's polynomial from the sheet of this centre it lies on, which a PROJ "
               "pipeline cannot choose; name the sheet instead (" + std::string(option) + " NAME" +
               (sheets.empty() ? std::string(")") : "): " + candidateList(sheets));
    }
    std::string pipelineTm3PerPoint(std::string_view option) const override
    {
        return std::string(option) +
               ": between TM3 and the new datum the program takes the polynomial of the sheet each point lies on, "
               "which a PROJ pipeline cannot choose; convert TM3 to a named Hatt sheet and that sheet onwards";
    }
    std::string pipelineNeedsGrid() const override
    {
        return "the HEPOS grid is read at TM07 plane coordinates, which PROJ before 9.4 cannot do in a pipeline; "
               "--approximate prints the Helmert step alone (about " + projNumber(kWithoutGridMedianMetres) +
               " m off, up to " + projNumber(kWithoutGridMetres) + " m)";
    }
    std::string pipelineAeqdNote() const override
    {
        return "note: the pipeline has PROJ's exact azimuthal equidistant projection (aeqd) where the program has "
               "its Hatt series: up to " + projNumber(kAeqdAgainstSeriesMm) +
               " mm apart on the sheets' outlines, under 3 mm within 30 km of the centre.";
    }
    std::string pipelineSheetNote(const geodesy::Sheet& sheet) const override
    {
        return "note: the pipeline applies the polynomial of the sheet " + sheetNamed(sheet) +
               " to every point; the program warns for points more than " + farOutsideDistance() +
               " outside its outline.";
    }
    std::string pipelineWithoutGridNote() const override
    {
        return "note: --approximate: the Helmert step without the HEPOS grid, about " +
               projNumber(kWithoutGridMedianMetres) + " m (up to " + projNumber(kWithoutGridMetres) +
               " m) from the program's conversion with the grid.";
    }
    std::string pipelineTakesNo(std::string_view option) const override
    {
        return "--proj-pipeline prints the pipeline of --from and --to and converts nothing: it takes no " +
               std::string(option);
    }
    std::string approximateNeedsPipeline() const override { return "--approximate goes with --proj-pipeline only"; }

private:
    // "separator \";\", decimal mark \",\", header line"
    std::string layoutText(const pf::PointLayout& layout) const
    {
        std::string separator;
        switch (layout.separator) {
        case pf::Separator::Comma: separator = quoted(","); break;
        case pf::Separator::Semicolon: separator = quoted(";"); break;
        case pf::Separator::Tab: separator = "tab"; break;
        case pf::Separator::Spaces: separator = "spaces"; break;
        }
        std::string text = "separator " + separator + ", decimal mark " +
                           quoted(layout.decimal == pf::DecimalMark::Comma ? "," : ".");
        if (!layout.height) text += ", no height";
        if (layout.header) text += ", header line";
        return text;
    }
};

std::string EnglishBook::usageError(const UsageError& e) const
{
    using P = UsageError::Problem;
    const std::string named = e.option + " " + quoted(e.text);
    switch (e.problem) {
    case P::NotAPair: return named + ": write " + e.part + ", two numbers and one comma";
    case P::NotANumber: return named + ": " + quoted(e.part) + " is not a number";
    case P::SecondInput: return "only one INPUT may be given, " + quotedName(e.text) + " is a second one";
    case P::UnknownOption: return "unknown option " + quoted(e.text);
    case P::GivenTwice: return e.option + " given twice";
    case P::MissingValue: return "missing value after " + quoted(e.text);
    case P::SheetsTakesText: return "--sheets takes only a TEXT";
    case P::SystemsAlone: return "--systems takes no other option";
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
    case P::NotUtf8: return e.option + " \"" + shownNotUtf8(e.text) + "\": not valid UTF-8 text";
    case P::CloseSheets: return named + ": no sheet has this name; the closest names: " + candidateList(e.candidates);
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
