#include "operations/point_list.h"

#include "operations/message_book.h"
#include "operations/window_texts.h"
#include "operations/panel_operations.h"
#include "operations/list_source.h"
#include "pointfile/layout_reader.h"
#include "pointfile/point_line_writer.h"
#include "text/number_format.h"
#include "text/text_codec.h"

#include <string_view>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

bool appendConvertedPoint(const geodesy::HattConversion& sheets, const pf::PointRecord& record, double x, double y,
                          std::string& out, const pf::PointLayout& layout)
{
    const auto target = sheets.convert({x, y});
    if (!target) return false;
    appendTargetLine(record, target->x, target->y, out, layout);
    return true;
}

void appendTargetLine(const pf::PointRecord& record, double x, double y, std::string& out, const pf::PointLayout& layout,
                      int decimals)
{
    std::string quotedCode;
    std::string_view code = record.code.text;
    if (!layout.commaStream) code = quotedCode = pf::codeForCommaLine(code);
    if (!record.hasHeight) {
        pf::appendPlanePointLine(out, code, x, y, decimals);
        return;
    }
    // A height already as it would be written, or one that is text, is
    // copied as it stands; any other number is written in "0.000".
    std::optional<double> h;
    if (layout.decimal == pf::DecimalMark::Comma) {
        h = pf::isBlank(record.h) ? 0.0 : pf::layoutNumber(record.h, layout.decimal);
    } else if (!text::isWrittenFixed(record.h.text, text::kCoordinateDecimals)) {
        h = pf::fieldNumber(record.h);
    }
    if (h) {
        pf::appendPointLine(out, code, x, y, *h, decimals);
    } else {
        pf::appendPointLine(out, code, x, y, record.h.text, decimals);
    }
}

unsigned long long convertPointList(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, Direction direction)
{
    std::string list = fields.text(FieldId::File1);
    if (list.find_first_not_of(' ') == std::string::npos) {
        showWarning(dialogs, windowTexts().noList);
        return 0;
    }
    const bool forward = direction == Direction::Forward;
    const FieldId fromPhi = forward ? FieldId::PhiOld : FieldId::PhiNew;
    const FieldId fromLambda = forward ? FieldId::LambdaOld : FieldId::LambdaNew;
    const FieldId toPhi = forward ? FieldId::PhiNew : FieldId::PhiOld;
    const FieldId toLambda = forward ? FieldId::LambdaNew : FieldId::LambdaOld;
    const auto sheets = readHattConversion(fields.text(fromPhi), fields.text(fromLambda), fields.text(toPhi),
                                      fields.text(toLambda));
    if (!sheets) {
        showWarning(dialogs, messageFor(sheets.error()));
        fields.focus(refusedField(fields, sheets.error(), fromPhi, fromLambda, toPhi, toLambda, FieldId::File1));
        return 0;
    }
    noteLongMinutes(fields);
    return runBatch(fields, dialogs, temp, std::move(list), HattConverter(*sheets));
}

unsigned long long runBatch(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, std::string list,
                            const PointConverter& converter)
{
    // The panel is read whole as one block, so its layout is recognised
    // from all of it. The records are read from the list just filtered, in
    // memory: reading them back from TempFeed.Dat by name would read
    // whatever another window started from the same folder wrote there in
    // between. The by-products are written for the user to look at, as
    // before. Each form of the list goes as soon as the next is made: beside
    // a panel of a million points, each is some 40 MB.
    TextSource source(std::move(list));
    ListOptions options = panelListOptions();
    options.flushWithinBlock = true;
    options.onFirstBlock = [&](std::string_view feed) {
        writeByProducts(dialogs, temp, {kFeedFileName, kTempFileName}, text::encodeForFile(feed).bytes);
    };
    // The converted lines reach panel 2 a MiB at a time, and at the end of
    // the run or at the failing record: what the user sees afterwards is the
    // same as with one append per record, a long list takes seconds, not
    // hours, and it is never held whole beside the panel. A panel whose last
    // line has no line end gets one first, so that the first converted line
    // is not glued onto it.
    std::string lines(fields.endsInsideLine(FieldId::File2) ? "\r\n" : "");
    std::size_t prefix = lines.size();  // that line end, while not yet appended
    lines.reserve(options.flushBytes + options.flushBytes / 4);
    const auto run = convertList(source, converter, options, lines, [&](std::string& full) {
        fields.appendText(FieldId::File2, full);
        full.clear();
        prefix = 0;
        return true;
    });
    if (lines.size() > prefix) fields.appendText(FieldId::File2, lines);
    if (!run) {
        const ListStop& stop = run.error();
        showWarning(dialogs, std::string(windowTexts().batchFailed) + "\n" + windowBook().recordStopped(stop));
        fields.selectLine(FieldId::File1, stop.line);
        return stop.tally.records;
    }
    const ListTally& tally = *run;
    std::string done = withPointsRead(windowTexts().batchDone, tally.records, tally.layout);
    if (tally.offLine != 0) done += std::string("\n") + windowBook().recordsShifted(tally.offLine, tally.firstOffLine);
    dialogs.showMessage(done, windowTexts().titleInfo, MessageIcon::Information);
    return tally.records;
}

} // namespace hattsheet::operations
