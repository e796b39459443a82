#include "operations/panel_operations.h"

#include "pointfile/field_reader.h"
#include "operations/messages.h"

#include <cerrno>
#include <optional>
#include <vector>
#include <system_error>

namespace hattsheet::operations {

namespace fs = std::filesystem;
namespace pf = hattsheet::pointfile;

void writeByProducts(Dialogs& dialogs, const TempPlaces& places,
                     std::initializer_list<const char*> names, std::string_view bytes)
{
    const auto folder = files::privateFolder(places.programDir, places.cacheDir);
    if (!folder) {
        showWarning(dialogs, msg::cannotWriteByProducts(folder.error().path, {names.begin(), names.end()},
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
    if (!failed.empty()) showWarning(dialogs, msg::cannotWriteByProducts(platform::pathToUtf8(*folder), failed, code));
}

Expected<text::EncodedText, int> writePanelToFile(std::string panelText, files::SafeWriter& file)
{
    // Each form of the text goes as soon as the next is made: beside a panel
    // of a million points, each is some 40 MB.
    std::string kept = pf::dropBlankLines(panelText);
    std::string().swap(panelText);
    text::EncodedText encoded = text::encodeForFile(kept);
    file.write(encoded.bytes);
    if (const int err = file.commit(); err != 0) return unexpected(err);
    return encoded;
}

std::string forceTxtExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of('.');
    std::string out = (dot != std::string::npos && dot >= nameStart) ? path.substr(0, dot) : path;
    return out + ".txt";
}

namespace {

// The point lines of a coordinate file: code as read, X, Y and H in
// "0.000", an empty field shown as 0, and how many there are; nothing when
// the file is not a valid coordinate file (pf::testCoordinateFile, in the
// same pass).
struct PointLines {
    std::string lines;
    unsigned long long count = 0;
};
std::optional<PointLines> pointLinesOf(std::string_view text)
{
    PointLines out;
    out.lines.reserve(text.size() + text.size() / 8);
    std::size_t pos = 0;
    pf::PointRecord r;
    while (pos < text.size()) {
        if (pf::readRecord(text, pos, true, r) != pf::ReadStatus::Ok) return std::nullopt;
        const auto x = pf::fieldNumber(r.x);
        const auto y = pf::fieldNumber(r.y);
        const auto h = pf::fieldNumber(r.h);
        if (!x || !y || !h) return std::nullopt;
        pf::appendPointLine(out.lines, r.code.text, *x, *y, *h);
        ++out.count;
    }
    return out;
}

// Whether a panel text has a line that a save would write.
bool hasNonBlankLine(std::string_view text)
{
    return text.find_first_not_of(" \r\n") != std::string_view::npos;
}

} // namespace

std::optional<std::string> openIntoPanel(Fields& fields, Dialogs& dialogs, Panel panel)
{
    const auto chosen = dialogs.chooseOpenFile(msg::kOpenTitle, {{msg::kFilterTxt, "*.txt"},
                                                                 {msg::kFilterSeq, "*.seq"},
                                                                 {msg::kFilterXyh, "*.xyh"}});
    if (!chosen || chosen->empty()) return std::nullopt;
    if (!openFileIntoPanel(fields, dialogs, panel, *chosen)) return std::nullopt;
    return chosen;
}

bool openFileIntoPanel(Fields& fields, Dialogs& dialogs, Panel panel, const std::string& chosen)
{
    const fs::path path = platform::pathFromUtf8(chosen);
    std::error_code error;
    if (const auto size = fs::file_size(path, error); !error && size > kOpenLimitBytes) {
        showWarning(dialogs, msg::tooLargeToOpen(chosen, kOpenLimitBytes >> 20));
        return false;
    }
    std::optional<PointLines> points;
    {
        const auto bytes = files::readWholeFile(path, kOpenLimitBytes);
        if (!bytes && bytes.error().code == EFBIG) {
            showWarning(dialogs, msg::tooLargeToOpen(chosen, kOpenLimitBytes >> 20));
            return false;
        }
        if (!bytes) {
            showWarning(dialogs, msg::cannotRead(chosen));
            return false;
        }
        points = pointLinesOf(text::decodeFileBytes(*bytes).utf8);
    }
    if (!points) {
        dialogs.showMessage(msg::kInvalidFile, msg::kTitleWarningPlain, MessageIcon::Critical);
        return false;
    }
    if (!points->lines.empty()) fields.appendText(panelField(panel), points->lines);
    dialogs.showMessage(msg::withPointCount(msg::kOpened, points->count), msg::kTitleInfoPlain,
                        MessageIcon::Information);
    return true;
}

std::optional<std::string> savePanel(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, Panel panel,
                                     const std::string& suggested)
{
    std::string panelText = fields.text(panelField(panel));
    if (!hasNonBlankLine(panelText)) {
        dialogs.showMessage(msg::kNothingToSave, msg::kTitleInfoPlain, MessageIcon::Information);
        return std::nullopt;
    }
    std::string offered = suggested;
    std::string chosenTxt;
    std::optional<files::SafeWriter> file;
    while (!file) {
        const auto chosen = dialogs.chooseSaveFile(msg::kSaveTitle, {{msg::kFilterTxt, "*.txt"}}, offered);
        if (!chosen || chosen->empty()) return std::nullopt;
        chosenTxt = forceTxtExtension(*chosen);
        const fs::path path = platform::pathFromUtf8(chosenTxt);
        // The dialog cannot ask: it knows the name chosen, not the one with
        // ".txt" forced. Anything at that path (a dangling link too, or an
        // entry that cannot even be looked at) is asked about; No goes back
        // to the dialog with that name, to be changed. The answer is about
        // what the name led to when it was asked: the file is opened after
        // it, and when the name leads elsewhere by then, the user is asked
        // again.
        for (;;) {
            const files::TargetId asked = files::identify(path);
            std::error_code statusError;
            if (fs::symlink_status(path, statusError).type() != fs::file_type::not_found &&
                !dialogs.askYesNo(msg::replaceExisting(chosenTxt), msg::kSaveTitle, DefaultAnswer::No)) {
                offered = chosenTxt;
                break;
            }
            file.emplace(path);
            if (file->id() == asked) break;
            file.reset();
        }
    }
    const auto written = writePanelToFile(std::move(panelText), *file);
    file.reset();
    if (!written) {
        showWarning(dialogs, msg::cannotWrite(chosenTxt));
        return std::nullopt;
    }
    writeByProducts(dialogs, temp, {kTempFileName}, written->bytes);
    dialogs.showMessage(msg::kSaved, msg::kTitleInfoPlain, MessageIcon::Information);
    return chosenTxt;
}

void clearPanel(Fields& fields, Panel panel)
{
    fields.setText(panelField(panel), "");
}

} // namespace hattsheet::operations
