#include "operations/panel_operations.h"

#include "operations/message_book.h"
#include "operations/window_texts.h"
#include "pointfile/blank_line_filter.h"
#include "operations/list_engine.h"
#include "pointfile/layout_reader.h"
#include "pointfile/layout_writer.h"
#include "pointfile/point_line_writer.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <system_error>
#include <vector>

namespace hattsheet::operations {

namespace fs = std::filesystem;
namespace pf = hattsheet::pointfile;

void writeByProducts(Dialogs& dialogs, const TempPlaces& places,
                     std::initializer_list<const char*> names, std::string_view bytes)
{
    auto folder = files::privateFolder(places.programDir, places.cacheDir);
    if (!folder) {
        showWarning(dialogs, cannotWriteByProducts(folder.error().path, {names.begin(), names.end()},
                                                        folder.error().code));
        return;
    }
    std::vector<std::string> failed;
    int code = 0;
    for (const char* name : names) {
        if (auto w = files::replaceFixedName(*folder, name, bytes); !w) {
            failed.emplace_back(name);
            code = w.error().code;
        }
    }
    if (!failed.empty()) showWarning(dialogs, cannotWriteByProducts(platform::pathToUtf8(folder->folderPath), failed, code));
}

Expected<text::EncodedText, SystemError> writePanelToFile(std::string panelText, files::SafeWriter& file)
{
    // Each form of the text goes as soon as the next is made: beside a panel
    // of a million points, each is some 40 MB.
    std::string kept = pf::dropBlankLines(panelText);
    std::string().swap(panelText);
    text::EncodedText encoded = text::encodeForFile(kept);
    file.write(encoded.bytes);
    if (auto committed = file.commit(); !committed) return unexpected(committed.error());
    return encoded;
}

std::string forceTxtExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot >= nameStart;
    // A list saved as CSV (the save offers it) keeps its name.
    std::string extension = hasExtension ? path.substr(dot) : std::string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (extension == ".csv") return path;
    return (hasExtension ? path.substr(0, dot) : path) + ".txt";
}

namespace {

// A record of a coordinate file as the panel shows it: code as read, X, Y
// and H in "0.000" (an empty H shown as 0, a list without heights written
// without them); an H that is no number is the record's fault.
class PanelLines final : public PointConverter {
public:
    bool appendPoint(const pf::RecordPoint& point, const pf::PointLayout& layout, std::string& out) const override
    {
        const pf::PointRecord& r = point.record;
        const std::string code = layout.commaStream ? std::string(r.code.text) : pf::codeForCommaLine(r.code.text);
        if (!r.hasHeight) {
            pf::appendPlanePointLine(out, code, point.x, point.y);
            return true;
        }
        const auto h = height(r, layout);
        if (h) pf::appendPointLine(out, code, point.x, point.y, *h);
        return h.has_value();
    }
    pf::RecordFault faultOf(const pf::RecordPoint& point, const pf::PointLayout&) const override
    {
        return pf::RecordFault{pf::RecordProblem::NotANumber, 'H', std::string(point.record.h.text), 0, 0};
    }

private:
    static std::optional<double> height(const pf::PointRecord& r, const pf::PointLayout& layout)
    {
        if (layout.decimal == pf::DecimalMark::Point) return pf::fieldNumber(r.h);
        return pf::isBlank(r.h) ? std::optional<double>(0.0) : pf::layoutNumber(r.h, layout.decimal);
    }
};

// The point lines of a coordinate file in whatever layout it is in, with
// the layout recognised and the number of points, the message of its
// records across lines (read as the field stream gives them, as the open
// always has); or the reason, with the file's line, why it is not a
// coordinate file.
struct OpenedList {
    std::string lines;
    KeptLayout layout;
    unsigned long long points = 0;
    std::string refusal;  // empty when read
    std::string shifted;  // records across lines: how many, and where the first starts
};

OpenedList pointLinesOf(std::string text)
{
    OpenedList opened;
    opened.lines.reserve(text.size() + text.size() / 8);
    TextSource source(std::move(text));
    ListOptions options = panelListOptions();
    options.flushBytes = SIZE_MAX;
    // The header line is kept for a save in the list's layout.
    options.onLayout = [&opened](const pf::PointLayout& layout, std::string_view whole) {
        if (layout.header) opened.layout.header = pf::lineAt(whole, 0);
    };
    const auto run = convertList(source, PanelLines(), options, opened.lines, [](std::string&) { return true; });
    if (!run) {
        opened.refusal = windowBook().recordStopped(run.error());
        return opened;
    }
    opened.layout.layout = run->layout;
    opened.points = run->records;
    if (run->offLine != 0) opened.shifted = windowBook().recordsShifted(run->offLine, run->firstOffLine);
    return opened;
}

} // namespace

std::string shownPath(const std::string& utf8)
{
    return platform::pathToUtf8(platform::pathFromUtf8(utf8).make_preferred());
}

bool hasNonBlankLine(std::string_view text)
{
    return text.find_first_not_of(" \r\n") != std::string_view::npos;
}

std::optional<OpenedFile> openIntoPanel(Fields& fields, Dialogs& dialogs, Panel panel)
{
    // Every type the reader takes first (the first filter is the one shown),
    // then each on its own, then all files.
    const auto chosen = dialogs.chooseOpenFile(windowTexts().openTitle, {{windowTexts().filterLists, "*.txt *.csv *.seq *.xyh"},
                                                                 {windowTexts().filterTxt, "*.txt"},
                                                                 {windowTexts().filterCsv, "*.csv"},
                                                                 {windowTexts().filterSeq, "*.seq"},
                                                                 {windowTexts().filterXyh, "*.xyh"},
                                                                 {windowTexts().filterAll, "*"}});
    if (!chosen || chosen->empty()) return std::nullopt;
    auto layout = openFileIntoPanel(fields, dialogs, panel, *chosen);
    if (!layout) return std::nullopt;
    return OpenedFile{*chosen, std::move(*layout)};
}

std::optional<KeptLayout> openFileIntoPanel(Fields& fields, Dialogs& dialogs, Panel panel, const std::string& chosen)
{
    const fs::path path = platform::pathFromUtf8(chosen);
    std::error_code error;
    if (const auto size = fs::file_size(path, error); !error && size > kOpenLimitBytes) {
        showWarning(dialogs, tooLargeToOpen(shownPath(chosen), kOpenLimitBytes >> 20));
        return std::nullopt;
    }
    OpenedList opened;
    {
        const auto bytes = files::readWholeFile(path, kOpenLimitBytes);
        if (!bytes && bytes.error().code == EFBIG) {
            showWarning(dialogs, tooLargeToOpen(shownPath(chosen), kOpenLimitBytes >> 20));
            return std::nullopt;
        }
        if (!bytes) {
            showWarning(dialogs, windowBook().cannotRead(shownPath(chosen), bytes.error().code));
            return std::nullopt;
        }
        opened = pointLinesOf(text::decodeFileBytes(*bytes).utf8);
    }
    if (!opened.refusal.empty()) {
        dialogs.showMessage(std::string(windowTexts().invalidFile) + "\n" + opened.refusal, windowTexts().titleWarningPlain,
                            MessageIcon::Critical);
        return std::nullopt;
    }
    if (!opened.lines.empty()) fields.appendText(panelField(panel), opened.lines);
    // How many, and what was recognised when the list is not in today's layout.
    std::string said = withPointsRead(windowTexts().opened, opened.points, opened.layout.layout);
    if (!opened.shifted.empty()) said += std::string("\n") + opened.shifted;
    dialogs.showMessage(said, windowTexts().titleInfoPlain, MessageIcon::Information);
    return std::move(opened.layout);
}

std::string inListLayout(std::string_view panelText, const KeptLayout& kept)
{
    std::string out;
    if (kept.layout.header) out.append(kept.header).append("\r\n");
    pf::appendInLayout(out, pf::dropBlankLines(panelText), kept.layout);
    return out;
}

std::vector<FileFilter> listSaveFilters()
{
    return {{windowTexts().filterSavedLists, "*.txt *.csv"},
            {windowTexts().filterTxt, "*.txt"},
            {windowTexts().filterCsv, "*.csv"},
            {windowTexts().filterAll, "*"}};
}

std::optional<ChosenTarget> chooseFileToWrite(Dialogs& dialogs, const std::vector<FileFilter>& filters,
                                              std::string offered, const NameOfChoice& nameOf,
                                              std::optional<files::SafeWriter>& file)
{
    ChosenTarget target;
    while (!file) {
        const auto chosen = dialogs.chooseSaveFileOfType(windowTexts().saveTitle, filters, offered);
        if (!chosen || chosen->path.empty()) return std::nullopt;
        target = {nameOf(*chosen), chosen->filter};
        const fs::path path = platform::pathFromUtf8(target.path);
        // The dialog cannot ask: it knows the name chosen, not the one with
        // the extension forced. Anything at that path (a dangling link too,
        // or an entry that cannot even be looked at) is asked about; No goes
        // back to the dialog with that name, to be changed. The answer is
        // about what the name led to when it was asked: the file is opened
        // after it, and when the name leads elsewhere by then, the user is
        // asked again.
        for (;;) {
            // Regular files only: a FIFO that nobody reads, or a device,
            // would hang the window.
            const files::TargetId asked = files::identify(path, platform::WriteKinds::FilesOnly);
            std::error_code statusError;
            if (fs::symlink_status(path, statusError).type() != fs::file_type::not_found &&
                !dialogs.askYesNo(replaceExisting(shownPath(target.path)), windowTexts().saveTitle, DefaultAnswer::No)) {
                offered = target.path;
                break;
            }
            file.emplace(path, platform::WriteKinds::FilesOnly);
            if (file->id() == asked) break;
            file.reset();
        }
    }
    return target;
}

bool writeListFile(Dialogs& dialogs, const TempPlaces& temp, std::string panelText, files::SafeWriter& file,
                   const std::string& path, const KeptLayout* inLayout)
{
    if (inLayout) panelText = inListLayout(panelText, *inLayout);
    const auto written = writePanelToFile(std::move(panelText), file);
    if (!written) {
        showWarning(dialogs, windowBook().cannotWrite(shownPath(path), written.error().code));
        return false;
    }
    writeByProducts(dialogs, temp, {kTempFileName}, written->bytes);
    std::string said = windowTexts().saved;
    if (inLayout) said.append("\n").append(windowBook().layoutWritten(inLayout->layout));
    dialogs.showMessage(said, windowTexts().titleInfoPlain, MessageIcon::Information);
    return true;
}

std::optional<std::string> savePanel(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, Panel panel,
                                     const std::string& suggested, const KeptLayout* inLayout)
{
    std::string panelText = fields.text(panelField(panel));
    if (!hasNonBlankLine(panelText)) {
        dialogs.showMessage(windowTexts().nothingToSave, windowTexts().titleInfoPlain, MessageIcon::Information);
        return std::nullopt;
    }
    std::optional<files::SafeWriter> file;
    const auto chosen = chooseFileToWrite(dialogs, listSaveFilters(), suggested,
                                          [](const Dialogs::ChosenSave& c) { return forceTxtExtension(c.path); }, file);
    if (!chosen) return std::nullopt;
    if (!writeListFile(dialogs, temp, std::move(panelText), *file, chosen->path, inLayout)) return std::nullopt;
    return chosen->path;
}

void clearPanel(Fields& fields, Panel panel)
{
    fields.setText(panelField(panel), "");
}

} // namespace hattsheet::operations
