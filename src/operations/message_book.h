#pragma once
// Every text a user reads, behind one interface: one member per message,
// taking the message's data (numbers, names, which field, which errno) and
// giving its words. One implementation per language (greek_book.cpp,
// english_book.cpp): a new language is one more book, a new message one more
// member. Nothing outside the books chooses between languages.
//
// Every text is UTF-8. Names and arguments a message quotes pass through
// shownExcerpt or shownName first, so that a terminal or a window draws them
// harmlessly and a huge field makes a message of a line.

#include "geodesy/sheet_catalogue.h"
#include "geodesy/centre.h"
#include "geodesy/hepos_grid.h"
#include "operations/list_engine.h"
#include "operations/system_kind.h"
#include "pointfile/layout_reader.h"
#include "pointfile/point_layout.h"
#include "text/language.h"
#include "text/shown_text.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

using Language = text::Language;


// What was wrong with hattsheet-convert's arguments: which option, which
// text, and what about it. The books give it its words.
struct UsageError {
    enum class Problem {
        NotAPair,          // option's text has no single comma; part is the form ("PHI,DL")
        NotANumber,        // part of option's text is no number
        SecondInput,       // text is a second INPUT
        UnknownOption,     // text
        GivenTwice,        // option
        MissingValue,      // after text
        SheetsTakesText,   // --sheets with other options
        CentresNeeded,     // --from or --to missing
        PointTakesNoList,  // --point with INPUT or -o
        EmptyInput,
        EmptyOutput,
        UnknownSheet,      // option's text names no sheet; candidates contain it
        AmbiguousSheet,    // option's text names the candidates
        Egsa87BothWays,      // --from and --to both egsa87
        // Lists and names:
        NotUtf8,           // option's text (a name) is not valid UTF-8
        CloseSheets,       // option's text names no sheet and no name contains it; candidates are the closest
        SystemsAlone,        // --systems with other options (systems)
    };
    Problem problem = Problem::UnknownOption;
    std::string option;
    std::string text;
    std::string part;
    std::vector<const geodesy::Sheet*> candidates;
};

// A name or argument as a message shows it (text/shown_text.h): escaped, and
// cut to a bounded excerpt (a field, an argument) or to its start and end
// (a file name).
using text::shownExcerpt;
using text::shownName;
using text::shownNotUtf8;
using text::shownText;

// An angle in degrees as the range messages give it: "34°", "-4°30'".
std::string degreesText(double degrees);
// How far outside a named sheet's outline a point draws a warning: "1 km"
// (kFarOutsideMetres).
std::string farOutsideDistance();

class MessageBook {
public:
    virtual ~MessageBook() = default;

    // A text quoted in a message, shown (shownExcerpt): «text» or "text".
    virtual std::string quoted(std::string_view text) const = 0;

    // Bounded excerpts: a file or folder name quoted in a message, shown by
    // its start and end when long (shownName).
    virtual std::string quotedName(std::string_view path) const = 0;

    // "warning: " before text (the command line's and the window's warnings).
    virtual std::string warned(std::string_view text) const = 0;

    // Lists: how many points, the layout read, where and why a record failed.
    virtual std::string pointCount(unsigned long long points) const = 0;
    virtual std::string layoutRecognised(unsigned long long points, const pointfile::PointLayout& layout) const = 0;
    virtual std::string recordPlace(unsigned long long record, unsigned long long line) const = 0;
    virtual std::string linePlace(unsigned long long line) const = 0;
    virtual std::string faultReason(const pointfile::RecordFault& fault) const = 0;
    virtual std::string recordsShifted(unsigned long long count, unsigned long long firstLine) const = 0;
    // The first words of a failing record's message (the record's place follows).
    virtual std::string listFailed() const = 0;
    // The command line's hints after a failing record: an off-line record
    // (--records-across-lines), and a layout decided from the first block.
    virtual std::string acrossLinesHint() const = 0;
    virtual std::string firstBlockHint() const = 0;
    // Where a list stopped at a record and why, as the window's open and
    // batch and the command line all say it: "εγγραφή 5, γραμμή 7: " and the
    // converter's refusal when it gave one, else the fault's reason.
    std::string recordStopped(const ListStop& stop) const;
    // The command line's message of a list stopped at a record: "error in
    // the list: " and recordStopped, with the hint of --records-across-lines
    // for a record off its line and, for a line that does not fit a line
    // layout in a block after the one that decided it, where the layout
    // came from.
    std::string listStopped(const ListStop& stop) const;

    // Centres and points.
    virtual std::string centreRefused(geodesy::CentreError error) const = 0;
    // The same with the option, its text and the accepted range.
    virtual std::string centreOutOfRange(geodesy::CentreError error, std::string_view option,
                                         std::string_view text) const = 0;
    virtual std::string coordinatesRefused() const = 0;
    // A centre typed with 60 minutes or more: typed, and the angle as read.
    virtual std::string minutesRead(std::string_view typed, std::string_view angle) const = 0;

    // Sheets and the Greek Grid (ΕΓΣΑ87).
    virtual std::string sheetNamed(const geodesy::Sheet& sheet) const = 0;
    virtual std::string defectiveSheet(const geodesy::Sheet& sheet) const = 0;
    virtual std::string offSheets(std::string_view phiText, std::string_view lambdaText) const = 0;
    virtual std::string noSheetOnCentre(std::string_view phiText, std::string_view lambdaText) const = 0;
    virtual std::string farOutside(unsigned long long count, const geodesy::Sheet& sheet) const = 0;
    // --sheets: the last column, whether the sheet's polynomial is used.
    virtual std::string sheetUsable(bool usable) const = 0;

    // Files: the system's reason (errno or platform's own codes; 0 gives
    // none) in brackets after the message.
    virtual std::string systemReason(int err) const = 0;
    virtual std::string cannotRead(std::string_view path, int err) const = 0;
    virtual std::string cannotWrite(std::string_view path, int err) const = 0;
    virtual std::string outOfMemory() const = 0;

    // The command line: --help, the line after a usage error, usage errors.
    virtual std::string helpText() const = 0;
    virtual std::string seeHelp() const = 0;
    virtual std::string usageError(const UsageError& error) const = 0;

    // Lists and names: a number written with a thousands separator (the
    // reason of RecordProblem::Thousands); the layout a list was written in
    // (--keep-layout, the window's save in the list's layout); --sheets
    // TEXT that names no sheet, with the closest names when there are any.
    virtual std::string thousandsReason(const pointfile::RecordFault& fault) const = 0;
    virtual std::string layoutWritten(const pointfile::PointLayout& layout) const = 0;
    virtual std::string noSheetMatched(std::string_view text, const std::vector<const geodesy::Sheet*>& closest) const = 0;
    // Systems: conversions between any two systems (operations/systems.h).
    // A system's name and its coordinates ("E, N (m)"), and the accuracy of
    // its route to ΕΓΣΑ87, as --systems lists them.
    virtual std::string systemName(SystemKind kind) const = 0;
    virtual std::string coordinateNames(SystemKind kind) const = 0;
    virtual std::string accuracyToEgsa87(SystemKind kind) const = 0;
    // The HEPOS grid: not in folder (where the agency publishes it and where
    // to put it), a file refused (its name, line and reason), installed.
    virtual std::string gridNotFound(std::string_view folder) const = 0;
    virtual std::string gridRefused(const geodesy::GridFault& fault) const = 0;
    virtual std::string gridInstalled(std::string_view folder) const = 0;
    // A point outside the grid; a TM3 point on no sheet of the catalogue.
    virtual std::string outsideGrid() const = 0;
    virtual std::string offEverySheet() const = 0;
    // Said once for a run through WGS84.
    virtual std::string wgs84Accuracy() const = 0;
    // The window's refused centre: the range its φ or Δλ is accepted in,
    // the message's second line below centreRefused.
    virtual std::string centreRange(geodesy::CentreError error) const = 0;

    // Map formats: --format, or the -o file's extension (.kml, .geojson,
    // .dxf, .gpx). A text --format does not name; DXF asked for a
    // geographic target (kind); an option a map file cannot go with.
    virtual std::string unknownFormat(std::string_view text) const = 0;
    virtual std::string dxfNeedsPlane(SystemKind kind) const = 0;
    virtual std::string notWithMapFormat(std::string_view option) const = 0;

    // fit: hattsheet-convert --fit and --apply-fit (operations/plane_fit_file.h).
    enum class FitWord { Scale, Rotation, Largest, CheckPoints, Model };
    virtual std::string fitWord(FitWord word) const = 0;
    // The arguments of --fit or --apply-fit do not go together.
    virtual std::string fitUsage() const = 0;
    virtual std::string fitUnknownModel(std::string_view text) const = 0;
    // A list line that is not code and the numbers (fields 0: a number is not one).
    virtual std::string fitListLine(std::string_view path, unsigned long long line, std::size_t fields) const = 0;
    // Codes found in one list only, or a code given twice.
    virtual std::string fitCodes(const std::vector<std::string>& onlyFrom, const std::vector<std::string>& onlyTo,
                                 std::string_view duplicate) const = 0;
    // The fit refused: too few points (fewest), or points that cannot fix it, or not numbers.
    virtual std::string fitRefused(int error, std::string_view model, std::size_t fewest) const = 0;
    // A fit file that is not one (line 0: a line missing).
    virtual std::string fitFileRefused(std::string_view path, unsigned long long line) const = 0;

    // fit lists: a list of --fit stopped at a record, named by its file and
    // as a conversion list names it: "error in the list: "a.csv", record 2,
    // line 3: Y = "x" is not a number".
    std::string fitListStopped(std::string_view path, const ListStop& stop) const;
    // The line before a second-order fit's parameters about x = y = 0 in
    // the form of the sheets' polynomials (A0..A5, B0..B5).
    virtual std::string fitAboutOrigin() const = 0;
    // PROJ pipelines: hattsheet-convert --proj-pipeline (operations/proj_pipeline.h).
    // A route a pipeline cannot express: a Hatt centre across the datums
    // (the option, and the centre's usable sheets to name instead), TM3
    // across the datums (the option), the HEPOS grid.
    virtual std::string pipelineNeedsSheet(std::string_view option,
                                           const std::vector<const geodesy::Sheet*>& sheets) const = 0;
    virtual std::string pipelineTm3PerPoint(std::string_view option) const = 0;
    virtual std::string pipelineNeedsGrid() const = 0;
    // The notes beside a pipeline (WGS84's is wgs84Accuracy): aeqd for the
    // series, the named sheet's polynomial everywhere, the Helmert step
    // without the grid (--approximate).
    virtual std::string pipelineAeqdNote() const = 0;
    virtual std::string pipelineSheetNote(const geodesy::Sheet& sheet) const = 0;
    virtual std::string pipelineWithoutGridNote() const = 0;
    // --proj-pipeline with an option of a conversion (option: --point,
    // INPUT, -o, ...); --approximate without --proj-pipeline.
    virtual std::string pipelineTakesNo(std::string_view option) const = 0;
    virtual std::string approximateNeedsPipeline() const = 0;

protected:
    // text, and the system's reason in brackets when err is not 0.
    std::string withReason(std::string text, int err) const;
};

// The book of a language.
const MessageBook& messageBook(Language language);
// The language the user reads: Greek when the locale is Greek
// (platform::userReadsGreek), English otherwise.
Language userLanguage();

// The window's own texts (window_texts.h): it speaks Greek only.
struct WindowTexts;
const WindowTexts& windowTexts();

} // namespace hattsheet::operations
