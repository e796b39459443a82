#include "point_list.h"

#include "messages.h"
#include "panel_operations.h"

#include <string_view>

namespace hattsheet::conversion {

namespace pf = hattsheet::pointfile;

bool appendConvertedLine(const SheetPair& sheets, const pf::PointRecord& record, std::string& out)
{
    const auto x = pf::fieldNumber(record.x);
    const auto y = pf::fieldNumber(record.y);
    if (!x || !y) return false;
    const auto position = sheets.from.inverse({*x, *y});
    const auto target = position ? sheets.to.forward(*position) : std::nullopt;
    if (!target) return false;
    if (const auto h = pf::fieldNumber(record.h)) {
        pf::appendPointLine(out, record.code.text, target->x, target->y, *h);
    } else {
        pf::appendPointLine(out, record.code.text, target->x, target->y, record.h.text);
    }
    return true;
}

namespace {

void critical(Dialogs& dialogs, const std::string& text)
{
    dialogs.showMessage(text, msg::kTitleWarning, MessageIcon::Critical);
}

} // namespace

void convertPointList(Fields& fields, Dialogs& dialogs, const TempPlaces& temp)
{
    std::string list = fields.text(FieldId::File1);
    if (list.find_first_not_of(' ') == std::string::npos) {
        critical(dialogs, msg::kNoList);
        return;
    }
    const auto sheets = readSheetPair(fields.text(FieldId::PhiOld), fields.text(FieldId::LamdaOld),
                                      fields.text(FieldId::PhiNew), fields.text(FieldId::LamdaNew));
    if (!sheets) {
        critical(dialogs, messageFor(sheets.error()));
        return;
    }

    // The list goes through the feed file, as every list the program
    // converts; a place for it must be found before anything is converted.
    const std::filesystem::path folder = pf::tempFolder(temp);
    if (folder.empty()) {
        critical(dialogs, msg::cannotWrite((temp.programDir / pf::kFeedFileName).string()));
        return;
    }
    const std::filesystem::path feedPath = folder / pf::kFeedFileName;
    const auto encoding = pf::writePanelToFile(list, feedPath, folder / pf::kTempFileName);
    if (!encoding) {
        critical(dialogs, msg::cannotWrite(encoding.error().path));
        return;
    }
    // Each form of the list goes as soon as the next is made: beside a panel
    // of a million points, each is some 40 MB.
    std::string().swap(list);
    std::string feed;
    if (const auto feedBytes = pf::readWholeFile(feedPath)) {
        feed = pf::decodeAs(*feedBytes, *encoding);
    } else {
        critical(dialogs, msg::cannotRead(feedBytes.error().path));
        return;
    }

    // The converted lines reach panel 2 a MiB at a time, and at the end of
    // the run or at the failing record: what the user sees afterwards is the
    // same as with one append per record, a long list takes seconds, not
    // hours, and it is never held whole beside the panel.
    constexpr std::size_t kAppendBytes = std::size_t{1} << 20;
    std::string lines;
    lines.reserve(kAppendBytes + kAppendBytes / 4);
    std::size_t pos = 0;
    pf::PointRecord record;
    bool failed = false;
    while (pos < feed.size()) {
        if (pf::readRecord(feed, pos, true, record) != pf::ReadStatus::Ok ||
            !appendConvertedLine(*sheets, record, lines)) {
            failed = true;
            break;
        }
        if (lines.size() >= kAppendBytes) {
            fields.appendText(FieldId::File2, lines);
            lines.clear();
        }
    }
    if (!lines.empty()) fields.appendText(FieldId::File2, lines);
    if (failed) {
        critical(dialogs, msg::kBatchFailed);
    } else {
        dialogs.showMessage(msg::kBatchDone, msg::kTitleInfo, MessageIcon::Information);
    }
}

} // namespace hattsheet::conversion
