#include "cli/list_mode.h"

#include "base/platform.h"
#include "base/safe_file.h"
#include "cli/exit_codes.h"
#include "cli/cli_texts.h"
#include "pointfile/blank_line_filter.h"
#include "pointfile/layout_reader.h"
#include "pointfile/plain_record_reader.h"
#include "pointfile/record_reader.h"
#include "operations/list_messages.h"
#include "operations/messages.h"
#include "operations/grid_operations.h"
#include "operations/point_list.h"
#include "operations/sheet_messages.h"
#include "text/text_codec.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <system_error>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace hattsheet::cli {

namespace {

namespace pf = hattsheet::pointfile;
namespace files = hattsheet::files;
namespace sys = hattsheet::platform;
namespace msg = hattsheet::operations::msg;

constexpr std::size_t kBlock = 1 << 20;  // bytes read and written at a time
// A record longer than this (its text from its first byte to the end of its
// height, with the line end after it; blank lines are not counted) is not a
// point but a file without separators (/dev/zero, a binary): it is refused
// instead of held in memory without end, whether it is whole or not yet.
constexpr std::size_t kLongestRecord = std::size_t(64) << 20;

bool isStd(const std::optional<std::string>& name) { return !name || *name == "-"; }


// Where the lines go: stdout, or OUTPUT through a SafeWriter, which keeps
// the old OUTPUT until everything was written.
class Output {
public:
    explicit Output(const std::optional<std::string>& name)
    {
        if (isStd(name)) return;
        m_label = *name;
        m_file.emplace(sys::pathFromUtf8(*name));
        keep(m_file->state());
    }
    // The errno of the first failure, or 0.
    int error() const { return m_error; }
    const std::string& label() const { return m_label; }
    std::string& buffer() { return m_buffer; }

    bool flushIfFull() { return m_buffer.size() < kBlock || flush(); }
    bool flush()
    {
        if (m_error == 0 && m_file) {
            m_file->write(m_buffer);
            keep(m_file->state());
        } else if (m_error == 0) {
            if (auto w = sys::writeAll(sys::kStdout, m_buffer); !w) m_error = w.error().code;
        }
        m_buffer.clear();
        return m_error == 0;
    }
    // Writes what is left, closes, and gives the file its name.
    bool commit()
    {
        flush();
        if (m_file) keep(m_file->commit());
        return m_error == 0;
    }
    // The end of a run that stopped early: stdout, a device or a descriptor
    // gets the lines before the stop, as the window's panel does; an OUTPUT
    // file is all or nothing, so an existing one stays exactly as it was.
    void finishPartial()
    {
        if (!m_file || m_file->inPlace()) {
            commit();
        } else {
            m_file.reset();
        }
    }

private:
    void keep(const Expected<Done, SystemError>& state) { m_error = state ? 0 : state.error().code; }

    std::optional<files::SafeWriter> m_file;  // none: stdout
    int m_error = 0;
    std::string m_label = "stdout", m_buffer;
};

// How a run of records through the converter ended.
struct Run {
    std::size_t end = 0;              // where the first record not converted starts
    unsigned long long converted = 0; // records converted
    bool failed = false;              // the record at end is cut short or not convertible
    bool offLineFailed = false;       // it is, strictly read, a record off its line
    bool tooLong = false;             // it is, being longer than kLongestRecord
    unsigned long long offLine = 0;   // records converted that did not fill one line of their own
    std::size_t firstOffLine = std::string_view::npos;  // where the first of them starts
};

// The counts of a run that came first, added to the run that continued it.
void addEarlier(Run& later, const Run& earlier)
{
    later.converted += earlier.converted;
    later.offLine += earlier.offLine;
    if (earlier.offLine != 0) later.firstOffLine = earlier.firstOffLine;
}

// Reads and converts the records of text from pos on, appending their lines
// to out, until the text ends (atEnd), a record needs more text, or a record
// fails.
template <typename Converter>
Run convertRun(const Converter& sheets, std::string_view text, std::size_t pos, bool atEnd, bool strict,
               std::string& out)
{
    Run run;
    pf::PointRecord record;
    double x = 0.0, y = 0.0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const std::size_t outBefore = out.size();
        // Most records are read in one pass; readRecord reads the others.
        bool converted = false;
        const bool plain = pf::readPlainRecord(text, pos, record, x, y);
        if (!plain) {
            const pf::ReadStatus status = pf::readRecord(text, pos, atEnd, record);
            if (status == pf::ReadStatus::NeedMore) {
                run.end = start;
                return run;
            }
            if (status != pf::ReadStatus::Ok) {
                run.end = start;
                run.failed = true;
                return run;
            }
        }
        // A decimal comma ("P1,1000,5,2000,25,100") or a line of three or
        // five fields shifts the records after it off their lines.
        const bool ownLine = pf::fillsOneLine(text, start, pos);
        if (!ownLine && strict) {
            run.end = start;
            run.failed = run.offLineFailed = true;
            return run;
        }
        converted = plain ? sheets.appendPoint(record, x, y, out) : sheets.appendLine(record, out);
        if (!converted || pos - start > kLongestRecord) {
            out.resize(outBefore);
            run.end = start;
            run.failed = true;
            run.tooLong = converted;
            return run;
        }
        ++run.converted;
        if (!ownLine && run.offLine++ == 0) run.firstOffLine = start;
    }
    run.end = pos;
    return run;
}

constexpr std::size_t kParallelBytes = 1 << 16;  // below this a second thread costs more than it gives

// The same as convertRun, on two threads for a long text: the second half
// is read from the first line start after the middle of the text. Reading
// and filtering the next block waits until both halves are done (the loop
// below reads only after this returns), so the two threads share the
// conversion only, and even halves of it finish together.
// The reader keeps no state between records, so when the first half's
// records end exactly there, the second half's records are the ones a single
// pass would read; otherwise (a record spans the split) the second half's
// work is dropped and the first half's run continues on its own.
template <typename Converter>
Run convertText(const Converter& sheets, std::string_view text, std::size_t pos, bool atEnd, bool strict,
                std::string& out)
{
    const std::size_t size = text.size() - pos;
    if (size < kParallelBytes || std::thread::hardware_concurrency() < 2) {
        return convertRun(sheets, text, pos, atEnd, strict, out);
    }
    std::size_t split = text.find('\n', pos + size / 2);
    if (split == std::string_view::npos || split + 1 == text.size()) {
        return convertRun(sheets, text, pos, atEnd, strict, out);
    }
    ++split;
    // Room for lines a quarter longer than their records; it grows if they are longer.
    std::string second;
    second.reserve((text.size() - split) + (text.size() - split) / 4);
    Run late;
    // An exception (no memory left) reaches the caller from either thread.
    std::exception_ptr lateFailure;
    std::optional<std::thread> worker;
    try {
        worker.emplace([&] {
            try {
                late = convertRun(sheets, text, split, atEnd, strict, second);
            } catch (...) {
                lateFailure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        return convertRun(sheets, text, pos, atEnd, strict, out);  // no second thread to be had
    }
    Run early;
    try {
        early = convertRun(sheets, text.substr(0, split), pos, false, strict, out);
    } catch (...) {
        worker->join();
        throw;
    }
    worker->join();
    if (lateFailure) std::rethrow_exception(lateFailure);
    if (early.failed) return early;
    if (early.end == split) {
        out.append(second);
        addEarlier(late, early);
        return late;
    }
    Run rest = convertRun(sheets, text, early.end, atEnd, strict, out);
    addEarlier(rest, early);
    return rest;
}

// The input as the text of its records: read a block at a time, the UTF-8
// byte-order mark dropped, blank lines filtered out, and where each kept line
// starts in the text with that line's number in the input, for the messages.
class RecordSource {
public:
    RecordSource(int fd, sys::Descriptor owned) : m_fd(fd), m_owned(std::move(owned)), m_block(kBlock, '\0') {}
    RecordSource(const RecordSource&) = delete;
    RecordSource& operator=(const RecordSource&) = delete;
    ~RecordSource() { close(); }

    // The filtered text not yet read as records, and whether it is all there.
    std::string_view text() const { return m_text; }
    bool atEnd() const { return m_atEnd; }
    // The bytes of the record that starts at pos and is not whole yet,
    // counting the line the filter still holds.
    std::size_t unfinished(std::size_t pos) const { return m_text.size() - pos + m_filter.pending(); }

    // Drops the text before pos (read as records) and appends the next block.
    // A whole block, also from a pipe that gives 64 KiB at a time; an end
    // seen once is kept (a terminal would wait again). False, with err set,
    // when the input cannot be read.
    bool readOn(std::size_t pos, int& err)
    {
        std::size_t gone = 0;
        while (gone + 1 < m_lines.size() && m_lines[gone + 1].first <= pos) ++gone;
        m_lines.erase(m_lines.begin(), m_lines.begin() + static_cast<std::ptrdiff_t>(gone));
        for (auto& l : m_lines) l.first = l.first >= pos ? l.first - pos : 0;
        m_text.erase(0, pos);
        std::size_t got = 0;
        bool eof = false;
        while (got < m_block.size()) {
            const auto n = sys::readSome(m_fd, m_block.data() + got, m_block.size() - got);
            if (!n) {
                err = n.error().code;
                return false;
            }
            if (*n == 0) {
                eof = true;
                break;
            }
            got += *n;
        }
        feed(std::string_view(m_block.data(), got), eof);
        return true;
    }

    // The input line of a place in the text: that of the last kept line
    // starting at or before it.
    unsigned long long lineOf(std::size_t at) const
    {
        unsigned long long line = 0;
        for (const auto& l : m_lines) {
            if (l.first > at) break;
            line = l.second;
        }
        return line;
    }
    // The input line of the record at pos; one that starts in the line the
    // filter still holds is on that line.
    unsigned long long lineOfRecord(std::size_t pos) const
    {
        return pos >= m_text.size() ? m_filter.lineNumber() : lineOf(pos);
    }

    void close()
    {
        m_owned = sys::Descriptor();
        m_fd = -1;
    }

private:
    void feed(std::string_view piece, bool eof)
    {
        // The filter calls back after appending each kept line.
        std::size_t lineStart = m_text.size();
        auto track = [&](unsigned long long number) {
            m_lines.emplace_back(lineStart, number);
            lineStart = m_text.size();
        };
        if (!m_headDone) {
            // The byte-order mark's three bytes may come in pieces.
            const std::size_t take = std::min(piece.size(), text::kUtf8Bom.size() - m_head.size());
            m_head.append(piece.substr(0, take));
            piece.remove_prefix(take);
            if (m_head.size() == text::kUtf8Bom.size() || eof) {
                m_headDone = true;
                m_filter.feed(text::withoutUtf8Bom(m_head), m_text, track);
            }
        }
        m_filter.feed(piece, m_text, track);
        if (eof) {
            m_filter.finish(m_text, track);
            m_atEnd = true;
        }
    }

    int m_fd;
    sys::Descriptor m_owned;  // INPUT's descriptor; none for stdin
    std::string m_block;
    pf::BlankLineFilter m_filter;
    std::string m_text;
    std::vector<std::pair<std::size_t, unsigned long long>> m_lines;  // (start in m_text, input line)
    std::string m_head;  // the first bytes, until it is known whether they are a byte-order mark
    bool m_headDone = false;
    bool m_atEnd = false;
};

// What the loop saw, for the messages at the end.
struct Tally {
    unsigned long long records = 0;             // records converted
    unsigned long long offLine = 0;             // of them, not one per line
    unsigned long long firstOffLineNumber = 0;  // the input line of the first of those
};

// INPUT's descriptor (none for stdin); an empty optional after reporting a
// file that cannot be opened.
std::optional<sys::Descriptor> openInput(const ListRequest& request, const std::string& inLabel,
                                         operations::Language language)
{
    if (isStd(request.input)) return sys::Descriptor();
    auto in = sys::openForReading(sys::pathFromUtf8(*request.input), true);
    if (!in) {
        say(cannotRead(inLabel, in.error().code, language));
        return std::nullopt;
    }
    return std::move(in->fd);
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

// The comma-separated fields of the line that starts at pos.
std::size_t commaFieldsAt(std::string_view text, std::size_t pos)
{
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    return static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(pos),
                                               text.begin() + static_cast<std::ptrdiff_t>(end), ',')) + 1;
}

// The records of a list of one record per line (a layout other than
// today's), from pos to the last whole line of the text; the fault of the
// first that cannot be read or converted.
template <typename Converter>
Run convertLines(const Converter& sheets, std::string_view text, std::size_t pos, const pf::PointLayout& layout,
                 std::string& out, std::optional<pf::RecordFault>& fault)
{
    Run run;
    pf::PointRecord record;
    double x = 0.0, y = 0.0;
    while (pos < text.size()) {
        const std::size_t lf = text.find('\n', pos);
        if (lf == std::string_view::npos) break;
        fault = pf::readLineRecord(pf::lineAt(text, pos), layout, record);
        if (!fault) fault = pf::lineRecordNumbers(record, layout.decimal, x, y);
        if (!fault && !sheets.appendPoint(record, x, y, out, layout)) {
            fault = pf::RecordFault{pf::RecordProblem::NotConvertible, 'X', {}, 0, 0};
        }
        if (fault) {
            run.end = pos;
            run.failed = true;
            return run;
        }
        ++run.converted;
        pos = lf + 1;
    }
    run.end = pos;
    return run;
}

// The Hatt to Hatt conversion of a record, as the converters of the Grid
// offer theirs.
struct HattLines {
    const geodesy::FramePair& sheets;
    bool appendPoint(const pf::PointRecord& record, double x, double y, std::string& out,
                     const pf::PointLayout& layout = {}) const
    {
        return operations::appendConvertedPoint(sheets, record, x, y, out, layout);
    }
    bool appendLine(const pf::PointRecord& record, std::string& out) const
    {
        return operations::appendConvertedLine(sheets, record, out);
    }
    std::string refusalOf(double, double) const { return {}; }
    std::string warning() const { return {}; }
};

// The Grid's converter, with the warning of points far outside a named sheet.
struct GridLines {
    const operations::GridLineConverter& converter;
    bool appendPoint(const pf::PointRecord& record, double x, double y, std::string& out,
                     const pf::PointLayout& layout = {}) const
    {
        return converter.appendPoint(record, x, y, out, layout);
    }
    bool appendLine(const pf::PointRecord& record, std::string& out) const { return converter.appendLine(record, out); }
    std::string refusalOf(double x, double y) const { return converter.refusalOf(x, y); }
    std::string warning() const { return converter.farOutsideWarning(); }
};

// Why the conversion refused the record at pos, when it can tell: the
// record read once more in its layout.
template <typename Converter>
std::string refusalAt(const Converter& sheets, std::string_view text, std::size_t pos, bool atEnd,
                      const pf::PointLayout& layout)
{
    pf::PointRecord record;
    double x = 0.0, y = 0.0;
    if (layout.commaStream) {
        if (pf::readRecord(text, pos, atEnd, record) != pf::ReadStatus::Ok ||
            pf::coordinatesOf(record, pf::DecimalMark::Point, x, y)) {
            return {};
        }
    } else if (pf::readLineRecord(pf::lineAt(text, pos), layout, record) ||
               pf::lineRecordNumbers(record, layout.decimal, x, y)) {
        return {};
    }
    return sheets.refusalOf(x, y);
}

template <typename Converter>
int runList(const Converter& sheets, const ListRequest& request, operations::Language language)
{
    const std::string inLabel = isStd(request.input) ? "stdin" : *request.input;
    auto in = openInput(request, inLabel, language);
    if (!in) return kExitFailed;
    const int fd = in->valid() ? in->get() : sys::kStdin;
    RecordSource source(fd, std::move(*in));
    Output out(request.output);
    if (out.error() != 0) {
        say(cannotWrite(out.label(), out.error(), language));
        return kExitFailed;
    }
    int err = 0;
    if (!source.readOn(0, err)) {
        say(cannotRead(inLabel, err, language));
        return kExitFailed;
    }

    // The first block decides the layout of the whole list.
    const pf::LayoutVerdict verdict = pf::recogniseLayout(source.text());
    const pf::PointLayout& layout = verdict.layout;
    const bool strict = !request.recordsAcrossLines;
    std::size_t pos = 0;  // where the first record not yet converted starts in source.text()
    if (layout.header) pos = source.text().find('\n') + 1;
    Tally tally;
    std::optional<pf::RecordFault> fault;
    bool writeFailed = false;
    bool laterBlock = false;  // the text read is past the block that decided the layout
    // Ambiguous whatever is asked: the window refuses such a list too.
    if (verdict.fit == pf::LayoutFit::Ambiguous) {
        pos = nthLineStart(source.text(), verdict.firstOddLine);
        fault = pf::RecordFault{pf::RecordProblem::Ambiguous, 'X', {}, verdict.oddFields, 4};
    }
    while (!fault) {
        // The whole records the text holds now, converted.
        const Run run = layout.commaStream ? convertText(sheets, source.text(), pos, source.atEnd(), strict, out.buffer())
                                           : convertLines(sheets, source.text(), pos, layout, out.buffer(), fault);
        tally.records += run.converted;
        if (run.offLine != 0 && tally.offLine == 0) tally.firstOffLineNumber = source.lineOf(run.firstOffLine);
        tally.offLine += run.offLine;
        pos = run.end;
        if (run.failed && !fault) {
            fault = run.offLineFailed ? pf::RecordFault{pf::RecordProblem::OffLine, 'X', {}, commaFieldsAt(source.text(), pos), 4}
                    : run.tooLong     ? pf::RecordFault{pf::RecordProblem::TooLong, 'X', {}, 0, 0}
                                      : pf::diagnoseStreamRecord(source.text(), pos, source.atEnd());
        }
        if (!fault && !source.atEnd() && source.unfinished(pos) > kLongestRecord) {
            fault = pf::RecordFault{pf::RecordProblem::TooLong, 'X', {}, 0, 0};
        }
        if (!out.flushIfFull()) writeFailed = true;
        if (fault || writeFailed || source.atEnd()) break;
        if (!source.readOn(pos, err)) {
            // The input is not all there: what was converted goes to
            // stdout, but an OUTPUT file is not replaced by a part.
            out.finishPartial();
            say(cannotRead(inLabel, err, language));
            return kExitFailed;
        }
        laterBlock = true;
        pos = 0;
    }
    source.close();
    if (!pf::isTodaysLayout(layout)) say(operations::layoutRecognised(tally.records, layout, language));
    if (tally.offLine != 0) say(operations::recordsShifted(tally.offLine, tally.firstOffLineNumber, language));
    if (const std::string warning = sheets.warning(); !warning.empty()) say(warning);

    if (writeFailed || (!fault && !out.commit())) {
        say(cannotWrite(out.label(), out.error(), language));
        return kExitFailed;
    }
    if (fault) {
        out.finishPartial();
        const bool greek = language == operations::Language::Greek;
        const std::string why = fault->problem == pf::RecordProblem::NotConvertible
                                    ? refusalAt(sheets, source.text(), pos, source.atEnd(), layout)
                                    : std::string();
        std::string text = std::string(greek ? msg::kBatchFailed : "error in the list:") + " " +
                           operations::recordPlace(tally.records + 1, source.lineOfRecord(pos), language) + ": " +
                           (why.empty() ? operations::faultReason(*fault, language) : why);
        if (fault->problem == pf::RecordProblem::OffLine) {
            text += greek ? " (το --records-across-lines τη διαβάζει όπως το παράθυρο)"
                          : " (--records-across-lines reads it as the window does)";
        }
        // A line that does not fit the layout the first block decided: the
        // list changes its separator, decimal mark or fields on the way.
        const bool layoutFault =
            fault->problem == pf::RecordProblem::NotANumber || fault->problem == pf::RecordProblem::FieldCount;
        if (laterBlock && !layout.commaStream && layoutFault) {
            text += greek ? " (η διάταξη αναγνωρίστηκε από το πρώτο MiB της λίστας)"
                          : " (the layout was recognised from the first MiB of the list)";
        }
        say(text);
        return kExitFailed;
    }
    return kExitDone;
}

} // namespace

int runListConversion(const geodesy::FramePair& sheets, const ListRequest& request, operations::Language language)
{
    return runList(HattLines{sheets}, request, language);
}

int runListConversion(const operations::GridLineConverter& converter, const ListRequest& request,
                      operations::Language language)
{
    return runList(GridLines{converter}, request, language);
}

} // namespace hattsheet::cli
