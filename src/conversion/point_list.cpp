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
    const std::string list = fields.text(FieldId::File1);
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

    // The records are read from the bytes just encoded, in memory: reading
    // them back from TempFeed.Dat by name would read whatever another window
    // started from the same folder wrote there in between. The by-products
    // are written for the user to look at, as before.
    const pf::EncodedText encoded = pf::panelFileBytes(list);
    pf::writeByProducts(dialogs, temp, {pf::kFeedFileName, pf::kTempFileName}, encoded.bytes);
    const std::string feed = pf::decodeAs(encoded.bytes, encoded.encoding);

    // The converted lines reach panel 2 in one append, at the end of the run
    // or at the failing record: what the user sees afterwards is the same as
    // with one append per record, and a long list takes seconds, not hours.
    // A panel whose last line has no line end gets one first, so that the
    // first converted line is not glued onto it.
    const std::string_view lineBreak = fields.endsInsideLine(FieldId::File2) ? "\r\n" : "";
    std::string lines(lineBreak);
    lines.reserve(feed.size() + feed.size() / 4);
    std::size_t pos = 0;
    pf::PointRecord record;
    bool failed = false;
    while (pos < feed.size()) {
        if (pf::readRecord(feed, pos, true, record) != pf::ReadStatus::Ok ||
            !appendConvertedLine(*sheets, record, lines)) {
            failed = true;
            break;
        }
    }
    if (lines.size() > lineBreak.size()) fields.appendText(FieldId::File2, lines);
    if (failed) {
        critical(dialogs, msg::kBatchFailed);
    } else {
        dialogs.showMessage(msg::kBatchDone, msg::kTitleInfo, MessageIcon::Information);
    }
}

} // namespace hattsheet::conversion
