#include "panel_operations.h"

#include "field_reader.h"
#include "messages.h"

#include <system_error>

namespace hattsheet::pointfile {

namespace fs = std::filesystem;
namespace msg = conversion::msg;
using conversion::MessageIcon;

namespace {

void critical(conversion::Dialogs& dialogs, const std::string& text)
{
    dialogs.showMessage(text, msg::kTitleWarning, MessageIcon::Critical);
}

} // namespace

fs::path tempFolder(const conversion::TempPlaces& places)
{
    return privateFolder(places.programDir, places.cacheDir);
}

void writeByProducts(conversion::Dialogs& dialogs, const conversion::TempPlaces& places,
                     std::initializer_list<const char*> names, std::string_view bytes)
{
    const fs::path folder = tempFolder(places);
    for (const char* name : names) {
        if (folder.empty()) {
            critical(dialogs, msg::cannotWrite((places.programDir / name).string()));
            return;
        }
        if (auto w = replaceFixedName(folder, name, bytes); !w) {
            critical(dialogs, msg::cannotWrite(w.error().path));
            return;
        }
    }
}

EncodedText panelFileBytes(std::string_view panelText)
{
    return encodeForFile(dropBlankLines(panelText));
}

Expected<EncodedText, FileError> writePanelToFile(std::string_view panelText, const fs::path& target)
{
    EncodedText encoded = panelFileBytes(panelText);
    if (auto w = writeFileSafely(target, encoded.bytes); !w) return unexpected(w.error());
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
    const auto bytes = readWholeFile(platform::pathFromUtf8(*chosen));
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
    const std::string chosenTxt = forceTxtExtension(*chosen);
    const fs::path path = platform::pathFromUtf8(chosenTxt);
    // The dialog cannot ask: it knows the name chosen, not the one with
    // ".txt" forced. Anything at that path (a dangling link too, or an entry
    // that cannot even be looked at) is asked about; No writes nothing.
    std::error_code statusError;
    if (fs::symlink_status(path, statusError).type() != fs::file_type::not_found &&
        !dialogs.askYesNo(msg::replaceExisting(chosenTxt), msg::kSaveTitle, conversion::DefaultAnswer::No)) {
        return;
    }
    const auto written = writePanelToFile(fields.text(conversion::panelField(panel)), path);
    if (!written) {
        critical(dialogs, msg::cannotWrite(written.error().path));
        return;
    }
    writeByProducts(dialogs, temp, {kTempFileName}, written->bytes);
    dialogs.showMessage(msg::kSaved, msg::kTitleInfoPlain, MessageIcon::Information);
}

void clearPanel(conversion::Fields& fields, conversion::Panel panel)
{
    fields.setText(conversion::panelField(panel), "");
}

} // namespace hattsheet::pointfile
