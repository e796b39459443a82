#include "operations/point_list.h"

#include "operations/messages.h"
#include "operations/panel_operations.h"
#include "text/number_format.h"

#include <string_view>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

bool appendConvertedLine(const geodesy::FramePair& sheets, const pf::PointRecord& record, std::string& out)
{
    const auto x = pf::fieldNumber(record.x);
    const auto y = pf::fieldNumber(record.y);
    return x && y && appendConvertedPoint(sheets, record, *x, *y, out);
}

bool appendConvertedPoint(const geodesy::FramePair& sheets, const pf::PointRecord& record, double x, double y,
                          std::string& out)
{
    const auto target = sheets.convert({x, y});
    if (!target) return false;
    appendTargetLine(record, target->x, target->y, out);
    return true;
}

void appendTargetLine(const pf::PointRecord& record, double x, double y, std::string& out)
{
    // A height already as it would be written, or one that is text, is
    // copied as it stands; any other number is written in "0.000".
    const auto h = text::isWrittenFixed(record.h.text, text::kCoordinateDecimals) ? std::nullopt
                                                                                 : pf::fieldNumber(record.h);
    if (h) {
        pf::appendPointLine(out, record.code.text, x, y, *h);
    } else {
        pf::appendPointLine(out, record.code.text, x, y, record.h.text);
    }
}

unsigned long long convertPointList(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, Direction direction)
{
    std::string list = fields.text(FieldId::File1);
    if (list.find_first_not_of(' ') == std::string::npos) {
        showWarning(dialogs, msg::kNoList);
        return 0;
    }
    const bool forward = direction == Direction::OldToNew;
    const FieldId fromPhi = forward ? FieldId::PhiOld : FieldId::PhiNew;
    const FieldId fromLambda = forward ? FieldId::LambdaOld : FieldId::LambdaNew;
    const FieldId toPhi = forward ? FieldId::PhiNew : FieldId::PhiOld;
    const FieldId toLambda = forward ? FieldId::LambdaNew : FieldId::LambdaOld;
    const auto sheets = readFramePair(fields.text(fromPhi), fields.text(fromLambda), fields.text(toPhi),
                                      fields.text(toLambda));
    if (!sheets) {
        showWarning(dialogs, messageFor(sheets.error()));
        return 0;
    }
    return runBatch(fields, dialogs, temp, std::move(list),
                    [&](const pf::PointRecord& record, std::string& out) { return appendConvertedLine(*sheets, record, out); },
                    nullptr);
}

unsigned long long runBatch(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, std::string list,
                            const RecordConverter& convert, const RefusalText& refusal)
{
    // The records are read from the list just encoded, in memory: reading
    // them back from TempFeed.Dat by name would read whatever another window
    // started from the same folder wrote there in between. The by-products
    // are written for the user to look at, as before. Each form of the list
    // goes as soon as the next is made: beside a panel of a million points,
    // each is some 40 MB.
    std::string feed = pf::dropBlankLines(list);
    std::string().swap(list);
    operations::writeByProducts(dialogs, temp, {operations::kFeedFileName, operations::kTempFileName}, text::encodeForFile(feed).bytes);

    // The converted lines reach panel 2 a MiB at a time, and at the end of
    // the run or at the failing record: what the user sees afterwards is the
    // same as with one append per record, a long list takes seconds, not
    // hours, and it is never held whole beside the panel. A panel whose last
    // line has no line end gets one first, so that the first converted line
    // is not glued onto it.
    constexpr std::size_t kAppendBytes = std::size_t{1} << 20;
    std::string lines(fields.endsInsideLine(FieldId::File2) ? "\r\n" : "");
    std::size_t prefix = lines.size();  // that line end, while not yet appended
    lines.reserve(kAppendBytes + kAppendBytes / 4);
    std::size_t pos = 0;
    pf::PointRecord record;
    bool failed = false, unreadable = false;
    unsigned long long converted = 0;
    while (pos < feed.size()) {
        unreadable = pf::readRecord(feed, pos, true, record) != pf::ReadStatus::Ok;
        if (unreadable || !convert(record, lines)) {
            failed = true;
            break;
        }
        ++converted;
        if (lines.size() >= kAppendBytes) {
            fields.appendText(FieldId::File2, lines);
            lines.clear();
            prefix = 0;
        }
    }
    if (lines.size() > prefix) fields.appendText(FieldId::File2, lines);
    if (failed) {
        const std::string why = refusal && !unreadable ? refusal(record) : std::string();
        showWarning(dialogs, why.empty() ? std::string(msg::kBatchFailed) : msg::kBatchFailed + ("\n" + why));
    } else {
        dialogs.showMessage(msg::withPointCount(msg::kBatchDone, converted), msg::kTitleInfo,
                            MessageIcon::Information);
    }
    return converted;
}

} // namespace hattsheet::operations
