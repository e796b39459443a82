#include "operations/list_engine.h"

#include "pointfile/plain_record_reader.h"
#include "pointfile/record_reader.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

pf::RecordFault PointConverter::faultOf(const pf::RecordPoint&, const pf::PointLayout&) const
{
    return pf::RecordFault{pf::RecordProblem::NotConvertible, 'X', {}, 0, 0};
}

std::string PointConverter::refusalOf(const pf::RecordPoint&) const { return {}; }

std::string PointConverter::warning() const { return {}; }

namespace {

// How a run of records through the converter ended.
struct Run {
    std::size_t end = 0;              // where the first record not converted starts
    unsigned long long converted = 0; // records converted
    bool failed = false;              // the record at end cannot be read or converted: fault says why
    bool writeFailed = false;         // the sink did not take the lines
    pf::RecordFault fault;
    std::string refusal;              // the converter's reason, when it gave one
    unsigned long long offLine = 0;   // records converted that did not fill one line of their own
    std::size_t firstOffLine = std::string_view::npos;  // where the first of them starts
};

// What every run of one list shares.
struct RunContext {
    const PointConverter& converter;
    const pf::PointLayout& layout;
    const ListOptions& options;
    const LineSink* sink;  // the lines flushed after a record; none: only after a block
};

Run failedAt(Run& run, std::size_t start, pf::RecordFault fault)
{
    run.end = start;
    run.failed = true;
    run.fault = std::move(fault);
    return std::move(run);
}

// A record refused by the converter: its fault and reason.
Run refusedAt(Run& run, std::size_t start, const RunContext& c, const pf::RecordPoint& point)
{
    run.refusal = c.converter.refusalOf(point);
    return failedAt(run, start, c.converter.faultOf(point, c.layout));
}

// After a converted record: the lines to the sink once enough are collected.
bool flushed(const RunContext& c, std::string& out)
{
    return c.sink == nullptr || out.size() < c.options.flushBytes || (*c.sink)(out);
}

// The comma-separated fields of the line that starts at pos.
std::size_t commaFieldsAt(std::string_view text, std::size_t pos)
{
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    return static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(pos),
                                               text.begin() + static_cast<std::ptrdiff_t>(end), ',')) + 1;
}

// Reads and converts the records of today's comma stream in text from pos
// on, appending their lines to out, until the text ends (atEnd), a record
// needs more text, or a record fails.
Run convertRun(const RunContext& c, std::string_view text, std::size_t pos, bool atEnd, std::string& out)
{
    Run run;
    while (pos < text.size()) {
        const std::size_t start = pos;
        // Most records are read in one pass; readRecord reads the others.
        std::optional<pf::RecordPoint> point = pf::readPlainRecord(text, pos);
        std::optional<pf::PointRecord> slow;
        if (!point) {
            auto record = pf::readRecord(text, pos, atEnd);
            if (!record && record.error() == pf::ReadStop::NeedMore) break;
            if (!record) return failedAt(run, start, {pf::RecordProblem::CutShort, 'X', {}, 0, 0});
            slow = *record;
        }
        // A decimal comma ("P1,1000,5,2000,25,100") or a line of three or
        // five fields shifts the records after it off their lines.
        const bool ownLine = pf::fillsOneLine(text, start, pos);
        if (!ownLine && c.options.strictLines) {
            return failedAt(run, start, {pf::RecordProblem::OffLine, 'X', {}, commaFieldsAt(text, start), 4});
        }
        if (slow) {
            auto read = pf::coordinatesOf(*slow, pf::DecimalMark::Point);
            if (!read) return failedAt(run, start, read.error());
            point = std::move(*read);
        }
        const std::size_t outBefore = out.size();
        if (!c.converter.appendPoint(*point, c.layout, out)) return refusedAt(run, start, c, *point);
        if (pos - start > c.options.longestRecord) {
            out.resize(outBefore);
            return failedAt(run, start, {pf::RecordProblem::TooLong, 'X', {}, 0, 0});
        }
        ++run.converted;
        if (!ownLine && run.offLine++ == 0) run.firstOffLine = start;
        if (!flushed(c, out)) {
            run.writeFailed = true;
            break;
        }
    }
    run.end = pos;
    return run;
}

// The counts of a run that came first, added to the run that continued it.
void addEarlier(Run& later, const Run& earlier)
{
    later.converted += earlier.converted;
    later.offLine += earlier.offLine;
    if (earlier.offLine != 0) later.firstOffLine = earlier.firstOffLine;
}

constexpr std::size_t kParallelBytes = 1 << 16;  // below this a second thread costs more than it gives

// The same as convertRun, on two threads for a long text: the second half
// is read from the first line start after the middle of the text. Reading
// and filtering the next block waits until both halves are done, so the two
// threads share the conversion only, and even halves of it finish together.
// The reader keeps no state between records, so when the first half's
// records end exactly there, the second half's records are the ones a single
// pass would read; otherwise (a record spans the split) the second half's
// work is dropped and the first half's run continues on its own.
Run convertText(const RunContext& c, std::string_view text, std::size_t pos, bool atEnd, std::string& out)
{
    const std::size_t size = text.size() - pos;
    if (!c.options.secondThread || size < kParallelBytes || std::thread::hardware_concurrency() < 2) {
        return convertRun(c, text, pos, atEnd, out);
    }
    std::size_t split = text.find('\n', pos + size / 2);
    if (split == std::string_view::npos || split + 1 == text.size()) return convertRun(c, text, pos, atEnd, out);
    ++split;
    // Room for lines a quarter longer than their records; it grows if they are longer.
    std::string second;
    second.reserve((text.size() - split) + (text.size() - split) / 4);
    const RunContext lateContext{c.converter, c.layout, c.options, nullptr};
    Run late;
    // An exception (no memory left) reaches the caller from either thread.
    std::exception_ptr lateFailure;
    std::optional<std::thread> worker;
    try {
        worker.emplace([&] {
            try {
                late = convertRun(lateContext, text, split, atEnd, second);
            } catch (...) {
                lateFailure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        return convertRun(c, text, pos, atEnd, out);  // no second thread to be had
    }
    Run early;
    try {
        early = convertRun(c, text.substr(0, split), pos, false, out);
    } catch (...) {
        worker->join();
        throw;
    }
    worker->join();
    if (lateFailure) std::rethrow_exception(lateFailure);
    if (early.failed || early.writeFailed) return early;
    if (early.end == split) {
        out.append(second);
        addEarlier(late, early);
        return late;
    }
    Run rest = convertRun(c, text, early.end, atEnd, out);
    addEarlier(rest, early);
    return rest;
}

// The records of a list of one record per line (a layout other than
// today's), from pos to the last whole line of the text.
Run convertLines(const RunContext& c, std::string_view text, std::size_t pos, std::string& out)
{
    Run run;
    while (pos < text.size()) {
        const std::size_t lf = text.find('\n', pos);
        if (lf == std::string_view::npos) break;
        const auto record = pf::readLineRecord(pf::lineAt(text, pos), c.layout);
        if (!record) return failedAt(run, pos, record.error());
        const auto point = pf::lineRecordNumbers(*record, c.layout.decimal);
        if (!point) return failedAt(run, pos, point.error());
        if (!c.converter.appendPoint(*point, c.layout, out)) return refusedAt(run, pos, c, *point);
        ++run.converted;
        pos = lf + 1;
        if (!flushed(c, out)) {
            run.writeFailed = true;
            break;
        }
    }
    run.end = pos;
    return run;
}

// Where the 0-based line index starts in the text.
std::size_t nthLineStart(std::string_view text, std::size_t index)
{
    std::size_t p = 0;
    for (; index > 0 && p < text.size(); --index) {
        const std::size_t lf = text.find('\n', p);
        p = lf == std::string_view::npos ? text.size() : lf + 1;
    }
    return p;
}

ListStop stopAt(const ListTally& tally, const RecordText& text, std::size_t pos, pf::RecordFault fault)
{
    ListStop stop;
    stop.tally = tally;
    stop.fault = std::move(fault);
    stop.record = tally.records + 1;
    stop.line = text.lineOfRecord(pos);
    return stop;
}

ListStop stopOf(ListStopCause cause, const ListTally& tally, int error = 0, bool laterBlock = false)
{
    ListStop stop;
    stop.cause = cause;
    stop.tally = tally;
    stop.error = error;
    stop.laterBlock = laterBlock;
    return stop;
}

} // namespace

ListOptions panelListOptions()
{
    ListOptions options;
    options.blockBytes = SIZE_MAX;
    options.dropByteOrderMark = false;
    options.strictLines = false;
    return options;
}

Expected<ListTally, ListStop> convertList(ByteSource& source, const PointConverter& converter,
                                          const ListOptions& options, std::string& out, const LineSink& sink)
{
    RecordText text(source, options.blockBytes, options.dropByteOrderMark);
    if (const auto read = text.readOn(0); !read) return unexpected(stopOf(ListStopCause::Read, {}, read.error()));
    if (options.onFirstBlock) options.onFirstBlock(text.text());
    // The first block decides the layout of the whole list.
    const pf::LayoutVerdict verdict = pf::recogniseLayout(text.text());
    ListTally tally;
    tally.layout = verdict.layout;
    if (options.onLayout) options.onLayout(tally.layout, text.text());
    const RunContext context{converter, tally.layout, options, options.flushWithinBlock ? &sink : nullptr};
    std::size_t pos = verdict.layout.header ? text.text().find('\n') + 1 : 0;
    if (verdict.fit == pf::LayoutFit::Ambiguous) {
        pos = nthLineStart(text.text(), verdict.firstOddLine);
        return unexpected(stopAt(tally, text, pos, {pf::RecordProblem::Ambiguous, 'X', {}, verdict.oddFields, 4}));
    }
    bool laterBlock = false;  // the text read is past the block that decided the layout
    for (;;) {
        // The whole records the text holds now, converted.
        Run run = tally.layout.commaStream ? convertText(context, text.text(), pos, text.atEnd(), out)
                                           : convertLines(context, text.text(), pos, out);
        tally.records += run.converted;
        if (run.offLine != 0 && tally.offLine == 0) tally.firstOffLine = text.lineOf(run.firstOffLine);
        tally.offLine += run.offLine;
        pos = run.end;
        if (run.writeFailed) return unexpected(stopOf(ListStopCause::Write, tally));
        std::optional<ListStop> stop;
        if (run.failed) {
            stop = stopAt(tally, text, pos, std::move(run.fault));
            stop->refusal = std::move(run.refusal);
            stop->laterBlock = laterBlock;
        } else if (!text.atEnd() && text.unfinished(pos) > options.longestRecord) {
            stop = stopAt(tally, text, pos, {pf::RecordProblem::TooLong, 'X', {}, 0, 0});
        }
        if (out.size() >= options.flushBytes && !sink(out)) return unexpected(stopOf(ListStopCause::Write, tally));
        if (stop) return unexpected(std::move(*stop));
        if (text.atEnd()) return tally;
        if (const auto read = text.readOn(pos); !read) {
            return unexpected(stopOf(ListStopCause::Read, tally, read.error(), true));
        }
        laterBlock = true;
        pos = 0;
    }
}

} // namespace hattsheet::operations
