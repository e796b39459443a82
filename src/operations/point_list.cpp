#include "operations/point_list.h"

#include "operations/list_messages.h"
#include "operations/messages.h"
#include "operations/panel_operations.h"
#include "pointfile/blank_line_filter.h"
#include "pointfile/layout_reader.h"
#include "pointfile/point_line_writer.h"
#include "text/number_format.h"

#include <string_view>
#include <vector>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

bool appendConvertedLine(const geodesy::FramePair& sheets, const pf::PointRecord& record, std::string& out)
{
    double x = 0.0, y = 0.0;
    return !pf::coordinatesOf(record, pf::DecimalMark::Point, x, y) && appendConvertedPoint(sheets, record, x, y, out);
}

bool appendConvertedPoint(const geodesy::FramePair& sheets, const pf::PointRecord& record, double x, double y,
                          std::string& out, const pf::PointLayout& layout)
{
    const auto target = sheets.convert({x, y});
    if (!target) return false;
    appendTargetLine(record, target->x, target->y, out, layout);
    return true;
}

void appendTargetLine(const pf::PointRecord& record, double x, double y, std::string& out, const pf::PointLayout& layout)
{
    std::string quotedCode;
    std::string_view code = record.code.text;
    if (!layout.commaStream) code = quotedCode = pf::codeForCommaLine(code);
    if (!record.hasHeight) {
        pf::appendPlanePointLine(out, code, x, y);
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
        pf::appendPointLine(out, code, x, y, *h);
    } else {
        pf::appendPointLine(out, code, x, y, record.h.text);
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
        fields.focus(refusedField(fields, sheets.error(), fromPhi, fromLambda, toPhi, toLambda, FieldId::File1));
        return 0;
    }
    noteLongMinutes(fields);
    return runBatch(
        fields, dialogs, temp, std::move(list),
        [&](const pf::PointRecord& record, double x, double y, const pf::PointLayout& layout, std::string& out) {
            return appendConvertedPoint(*sheets, record, x, y, out, layout);
        },
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
    const pf::KeptLines kept = pf::keptLinesWithNumbers(list);
    const std::string& feed = kept.text;
    std::string().swap(list);
    operations::writeByProducts(dialogs, temp, {operations::kFeedFileName, operations::kTempFileName}, text::encodeForFile(feed).bytes);
    const pf::LayoutVerdict verdict = pf::recogniseLayout(feed);

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
    pf::ListReader reader(feed, verdict);
    pf::PointRecord record;
    double x = 0.0, y = 0.0;
    std::optional<pf::RecordFault> fault;
    unsigned long long converted = 0;
    while (true) {
        const auto step = reader.next(record, x, y);
        if (step == pf::ListReader::Step::End) break;
        if (step == pf::ListReader::Step::Fault) {
            fault = reader.fault();
            break;
        }
        if (!convert(record, x, y, verdict.layout, lines)) {
            fault = pf::RecordFault{pf::RecordProblem::NotConvertible, 'X', {}, 0, 0};
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
    if (fault) {
        const unsigned long long line = kept.lineOf(reader.lineIndex());
        const bool unconverted = fault->problem == pf::RecordProblem::NotConvertible;
        const std::string why = unconverted && refusal ? refusal(record) : std::string();
        showWarning(dialogs, std::string(msg::kBatchFailed) + "\n" +
                                 recordPlace(converted + 1, line, Language::Greek) + ": " +
                                 (why.empty() ? faultReason(*fault, Language::Greek) : why));
        fields.selectLine(FieldId::File1, line);
        return converted;
    }
    std::string done = msg::withPointCount(msg::kBatchDone, converted);
    if (!pf::isTodaysLayout(verdict.layout)) done += std::string("\n") + layoutRecognised(converted, verdict.layout, Language::Greek);
    if (reader.offLine() != 0) done += std::string("\n") + recordsShifted(reader.offLine(), kept.lineOf(reader.firstOffLineIndex()), Language::Greek);
    dialogs.showMessage(done, msg::kTitleInfo, MessageIcon::Information);
    return converted;
}

} // namespace hattsheet::operations
