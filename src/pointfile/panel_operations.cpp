#include "panel_operations.h"

#include "field_reader.h"
#include "messages.h"

#include <system_error>

namespace hattsheet::pointfile {

namespace fs = std::filesystem;
namespace msg = conversion::msg;
using conversion::MessageIcon;

fs::path tempFolder(const conversion::TempPlaces& places)
{
    return firstWritableFolder({places.programDir, places.cacheDir});
}

Expected<Encoding, FileError> writePanelToFile(std::string_view panelText, const fs::path& target,
                                               const fs::path& tempFile)
{
    // The temporary copy first: when it cannot be written the target is
    // left as it was.
    EncodedText encoded = encodeForFile(dropBlankLines(panelText));
    if (auto w = writeFileSafely(tempFile, encoded.bytes); !w) return unexpected(w.error());
    if (auto w = writeFileSafely(target, encoded.bytes); !w) return unexpected(w.error());
    return encoded.encoding;
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

void critical(conversion::Dialogs& dialogs, const std::string& text)
{
    dialogs.showMessage(text, msg::kTitleWarning, MessageIcon::Critical);
}

// The point lines of a valid coordinate file: code as read, X, Y and H in
// "0.000", an empty field shown as 0.
std::string pointLinesOf(std::string_view text)
{
    std::string lines;
    std::size_t pos = 0;
    PointRecord r;
    while (pos < text.size() && readRecord(text, pos, true, r) == ReadStatus::Ok) {
        appendPointLine(lines, r.code.text, fieldNumber(r.x).value_or(0), fieldNumber(r.y).value_or(0),
                        fieldNumber(r.h).value_or(0));
    }
    return lines;
}

} // namespace

void openIntoPanel(conversion::Fields& fields, conversion::Dialogs& dialogs, conversion::Panel panel)
{
    const auto chosen = dialogs.chooseOpenFile(msg::kOpenTitle, {{msg::kFilterTxt, "*.txt"},
                                                                 {msg::kFilterSeq, "*.seq"},
                                                                 {msg::kFilterXyh, "*.xyh"}});
    if (!chosen || chosen->empty()) return;
    const auto bytes = readWholeFile(fs::path(*chosen));
    if (!bytes) {
        critical(dialogs, msg::cannotRead(*chosen));
        return;
    }
    const DecodedText text = decodeFileBytes(*bytes);
    if (!testCoordinateFile(text.utf8)) {
        dialogs.showMessage(msg::kInvalidFile, msg::kTitleWarningPlain, MessageIcon::Critical);
        return;
    }
    const std::string lines = pointLinesOf(text.utf8);
    if (!lines.empty()) fields.appendText(conversion::panelField(panel), lines);
}

void savePanel(conversion::Fields& fields, conversion::Dialogs& dialogs, const conversion::TempPlaces& temp,
               conversion::Panel panel)
{
    const auto chosen = dialogs.chooseSaveFile(msg::kSaveTitle, {{msg::kFilterTxt, "*.txt"}});
    if (!chosen || chosen->empty()) return;
    const std::string path = forceTxtExtension(*chosen);
    // The dialog cannot ask: it knows the name chosen, not the one with
    // ".txt" forced. Anything at that path (a dangling link too, or an entry
    // that cannot even be looked at) is asked about; No writes nothing.
    std::error_code statusError;
    if (fs::symlink_status(fs::path(path), statusError).type() != fs::file_type::not_found &&
        !dialogs.askYesNo(msg::replaceExisting(path), msg::kSaveTitle, conversion::DefaultAnswer::No)) {
        return;
    }
    const fs::path folder = tempFolder(temp);
    if (folder.empty()) {
        critical(dialogs, msg::cannotWrite((temp.programDir / kTempFileName).string()));
        return;
    }
    const auto written = writePanelToFile(fields.text(conversion::panelField(panel)), path, folder / kTempFileName);
    if (!written) {
        critical(dialogs, msg::cannotWrite(written.error().path));
        return;
    }
    dialogs.showMessage(msg::kSaved, msg::kTitleInfoPlain, MessageIcon::Information);
}

void clearPanel(conversion::Fields& fields, conversion::Panel panel)
{
    fields.setText(conversion::panelField(panel), "");
}

} // namespace hattsheet::pointfile
