#include "cli/list_mode.h"

#include "base/platform.h"

#include "pointfile/field_reader.h"
#include "pointfile/file_io.h"
#include "operations/messages.h"
#include "operations/point_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <thread>
#include <utility>

namespace hattsheet::cli {

namespace {

namespace pf = hattsheet::pointfile;
namespace sys = hattsheet::platform;
namespace msg = hattsheet::operations::msg;

constexpr std::size_t kBlock = 1 << 20;  // bytes read and written at a time
constexpr int kExitFailed = 1;
// A record longer than this is not a point but a file without separators
// (/dev/zero, a binary): it is refused instead of held in memory without end.
constexpr std::size_t kLongestRecord = std::size_t(64) << 20;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The input line of a place in the text, from where each kept line starts.
unsigned long long lineOf(const std::deque<std::pair<std::size_t, unsigned long long>>& lines, std::size_t at)
{
    unsigned long long line = 0;
    for (const auto& l : lines) {
        if (l.first > at) break;
        line = l.second;
    }
    return line;
}

bool isStd(const std::optional<std::string>& name) { return !name || name->empty() || *name == "-"; }

void report(const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }

// Where the lines go: stdout, or OUTPUT through a SafeWriter, which keeps
// the old OUTPUT until everything was written.
class Output {
public:
    explicit Output(const std::optional<std::string>& name)
    {
        if (isStd(name)) return;
        m_label = *name;
        m_file.emplace(sys::pathFromUtf8(*name));
        m_error = m_file->error();
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
            m_error = m_file->error();
        } else if (m_error == 0) {
            m_error = sys::writeAll(sys::kStdout, m_buffer);
        }
        m_buffer.clear();
        return m_error == 0;
    }
    // Writes what is left, closes, and gives the file its name.
    bool commit()
    {
        flush();
        if (m_file) m_error = m_file->commit();
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
    std::optional<pf::SafeWriter> m_file;  // none: stdout
    int m_error = 0;
    std::string m_label = "stdout", m_buffer;
};

// How a run of records through the converter ended.
struct Run {
    std::size_t end = 0;              // where the first record not converted starts
    unsigned long long converted = 0; // records converted
    bool failed = false;              // the record at end is cut short or not convertible
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

// Whether the record text[start, end) is one whole line. The filtered text
// ends every line with CR LF. Its first byte may lie inside a line (the text
// is cut where a record needed more): a record there spans a line end, so it
// is counted all the same. A decimal comma ("P1,1000,5,2000,25,100") or a
// line of three or five fields shifts the records after it off their lines:
// the conversion goes on, as the window's does, but the user hears of it.
bool fillsOneLine(std::string_view text, std::size_t start, std::size_t end)
{
    return (start == 0 || text[start - 1] == '\n') && text[end - 1] == '\n' &&
           std::memchr(text.data() + start, '\n', end - 1 - start) == nullptr;
}

// Reads and converts the records of text from pos on, appending their lines
// to out, until the text ends (atEnd), a record needs more text, or a record
// fails.
Run convertRun(const geodesy::SheetPair& sheets, std::string_view text, std::size_t pos, bool atEnd,
               std::string& out)
{
    Run run;
    pf::PointRecord record;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const pf::ReadStatus status = pf::readRecord(text, pos, atEnd, record);
        if (status == pf::ReadStatus::NeedMore) {
            run.end = start;
            return run;
        }
        if (status == pf::ReadStatus::Truncated || !operations::appendConvertedLine(sheets, record, out)) {
            run.end = start;
            run.failed = true;
            return run;
        }
        ++run.converted;
        if (!fillsOneLine(text, start, pos) && run.offLine++ == 0) run.firstOffLine = start;
    }
    run.end = pos;
    return run;
}

constexpr std::size_t kParallelBytes = 1 << 16;  // below this a second thread costs more than it gives

// The same as convertRun, on two threads for a long text: the second half
// is read from the first line start after the middle of the text. The block
// is read and filtered before this is called, not while the threads work,
// so both threads only convert and even halves finish together.
// The reader keeps no state between records, so when the first half's
// records end exactly there, the second half's records are the ones a single
// pass would read; otherwise (a record spans the split) the second half's
// work is dropped and the first half's run continues on its own.
Run convertText(const geodesy::SheetPair& sheets, std::string_view text, std::size_t pos, bool atEnd,
                std::string& out)
{
    const std::size_t size = text.size() - pos;
    if (size < kParallelBytes || std::thread::hardware_concurrency() < 2) {
        return convertRun(sheets, text, pos, atEnd, out);
    }
    std::size_t split = text.find('\n', pos + size / 2);
    if (split == std::string_view::npos || split + 1 == text.size()) {
        return convertRun(sheets, text, pos, atEnd, out);
    }
    ++split;
    // Room for lines a quarter longer than their records; it grows if they are longer.
    std::string second;
    second.reserve((text.size() - split) + (text.size() - split) / 4);
    Run late;
    std::thread worker([&] { late = convertRun(sheets, text, split, atEnd, second); });
    Run early = convertRun(sheets, text.substr(0, split), pos, false, out);
    worker.join();
    if (early.failed) return early;
    if (early.end == split) {
        out.append(second);
        addEarlier(late, early);
        return late;
    }
    Run rest = convertRun(sheets, text, early.end, atEnd, out);
    addEarlier(rest, early);
    return rest;
}

} // namespace

int runListConversion(const geodesy::SheetPair& sheets, const ListRequest& request)
{
    int in = sys::kStdin;
    const std::string inLabel = isStd(request.input) ? "stdin" : *request.input;
    if (!isStd(request.input)) {
        int err = 0;
        bool regular = false;
        in = sys::openForReading(sys::pathFromUtf8(*request.input), err, regular, true);
        if (in < 0) {
            report(msg::cannotRead(inLabel) + " (" + std::strerror(err) + ")");
            return kExitFailed;
        }
    }
    Output out(request.output);
    if (out.error() != 0) {
        report(msg::cannotWrite(out.label()) + " (" + std::strerror(out.error()) + ")");
        return kExitFailed;
    }

    // The filtered text not yet read as records, and where each of its lines
    // starts in it with that line's number in the input, for the message of
    // a failing record.
    pf::BlankLineFilter filter;
    std::string text;
    std::size_t pos = 0;
    std::deque<std::pair<std::size_t, unsigned long long>> lines;
    std::string block(kBlock, '\0');
    unsigned long long records = 0;
    unsigned long long offLine = 0, firstOffLineNumber = 0;  // records not one per line, the first one's line
    std::string head;  // the first bytes, until it is known whether they are a byte-order mark
    bool headDone = false;
    bool atEnd = false;
    bool failed = false;
    bool writeFailed = false;
    bool tooLong = false;

    while (!failed && !writeFailed) {
        // The whole records the text holds now, converted.
        const Run run = convertText(sheets, text, pos, atEnd, out.buffer());
        records += run.converted;
        if (run.offLine != 0 && offLine == 0) firstOffLineNumber = lineOf(lines, run.firstOffLine);
        offLine += run.offLine;
        pos = run.end;
        failed = run.failed;
        if (!failed && !atEnd && text.size() - pos + filter.pending() > kLongestRecord) failed = tooLong = true;
        if (!out.flushIfFull()) writeFailed = true;
        if (failed || writeFailed || atEnd) break;
        // Keep the unread tail only, then read on.
        while (lines.size() >= 2 && lines[1].first <= pos) lines.pop_front();
        for (auto& l : lines) l.first = l.first >= pos ? l.first - pos : 0;
        text.erase(0, pos);
        pos = 0;
        // A whole block, also from a pipe that gives 64 KiB at a time; an
        // end seen once is kept (a terminal would wait again).
        std::size_t got = 0;
        bool eof = false;
        while (got < block.size()) {
            int err = 0;
            const long long n = sys::readSome(in, block.data() + got, block.size() - got, err);
            if (n < 0) {
                // The input is not all there: what was converted goes to
                // stdout, but an OUTPUT file is not replaced by a part.
                out.finishPartial();
                report(msg::cannotRead(inLabel) + " (" + std::strerror(err) + ")");
                return kExitFailed;
            }
            if (n == 0) {
                eof = true;
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        // The filter calls back after appending each kept line.
        std::size_t lineStart = text.size();
        auto track = [&](unsigned long long number) {
            lines.emplace_back(lineStart, number);
            lineStart = text.size();
        };
        std::string_view piece(block.data(), got);
        if (!headDone) {
            // A UTF-8 byte-order mark is no part of the first code: the window
            // drops it when it decodes a file. Its three bytes may come in pieces.
            const std::size_t take = std::min(piece.size(), kUtf8Bom.size() - head.size());
            head.append(piece.substr(0, take));
            piece.remove_prefix(take);
            if (head.size() == kUtf8Bom.size() || eof) {
                headDone = true;
                if (head == kUtf8Bom) head.clear();
                filter.feed(head, text, track);
            }
        }
        filter.feed(piece, text, track);
        if (eof) {
            filter.finish(text, track);
            atEnd = true;
        }
    }
    if (in != sys::kStdin) sys::closeFile(in);
    if (offLine != 0) report(msg::recordsOffLine(offLine, firstOffLineNumber));

    if (writeFailed || (!failed && !out.commit())) {
        report(msg::cannotWrite(out.label()));
        return kExitFailed;
    }
    if (failed) {
        out.finishPartial();
        unsigned long long line = 0;
        for (const auto& l : lines) {
            if (l.first <= pos) line = l.second;
            else break;
        }
        // A record that starts in the line the filter still holds is on that line.
        if (pos >= text.size()) line = filter.lineNumber();
        std::fprintf(stderr, "%s (εγγραφή %llu, γραμμή %llu)%s%s\n", msg::kBatchFailed, records + 1, line,
                     tooLong ? " " : "", tooLong ? msg::kRecordTooLong : "");
        return kExitFailed;
    }
    return 0;
}

} // namespace hattsheet::cli
