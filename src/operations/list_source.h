#pragma once
// Where the bytes of a point list come from, and the text of its records as
// the list engine (list_engine.h) reads them: a block at a time, the UTF-8
// byte-order mark dropped, blank lines filtered out
// (pointfile/blank_line_filter.h), with the input line of every place kept
// for the messages.

#include "base/expected.h"
#include "pointfile/blank_line_filter.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hattsheet::operations {

// A source of bytes read in blocks.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The next bytes, `most` of them, or fewer only at the end (none past
    // it); or the errno of a failed read. The view holds until the next call.
    virtual Expected<std::string_view, int> next(std::size_t most) = 0;
};

// A text in memory (the window's panel, a file read whole), given in views
// without a copy; it is let go once its last bytes were taken.
class TextSource final : public ByteSource {
public:
    explicit TextSource(std::string text) : m_text(std::move(text)) {}
    Expected<std::string_view, int> next(std::size_t most) override;

private:
    std::string m_text;
    std::size_t m_pos = 0;
    bool m_done = false;
};

// An open descriptor (stdin, INPUT); a whole block also from a pipe that
// gives 64 KiB at a time. An end seen once is kept: a terminal would wait
// again.
class DescriptorSource final : public ByteSource {
public:
    explicit DescriptorSource(int fd) : m_fd(fd) {}
    Expected<std::string_view, int> next(std::size_t most) override;

private:
    int m_fd;
    std::string m_block;
    bool m_atEnd = false;
};

// The filtered text of a list's records not yet read, a block more at a time.
class RecordText {
public:
    RecordText(ByteSource& source, std::size_t blockBytes, bool dropByteOrderMark);

    // The filtered text not yet read as records, and whether it is all there.
    std::string_view text() const { return m_text; }
    bool atEnd() const { return m_atEnd; }
    // The bytes of the record that starts at pos and is not whole yet,
    // counting the line the filter still holds.
    std::size_t unfinished(std::size_t pos) const { return m_text.size() - pos + m_filter.pending(); }

    // Drops the text before pos (read as records) and appends the next
    // block through the filter. The bytes read, or the errno.
    Expected<std::size_t, int> readOn(std::size_t pos);

    // The input line of a place in the text: that of the kept line it lies in.
    unsigned long long lineOf(std::size_t at) const;
    // The input line of the record at pos; one that starts in the line the
    // filter still holds is on that line.
    unsigned long long lineOfRecord(std::size_t pos) const
    {
        return pos >= m_text.size() ? m_filter.lineNumber() : lineOf(pos);
    }

private:
    void feed(std::string_view piece, bool eof);
    void noteLine(unsigned long long number);

    ByteSource& m_source;
    std::size_t m_blockBytes;
    pointfile::BlankLineFilter m_filter;
    std::string m_text;
    // Kept lines are counted from the start of the input; the input line of
    // each is that of the last jump at or before it plus the lines between
    // (a jump: the first kept line, and each after dropped blank lines).
    std::vector<std::pair<unsigned long long, unsigned long long>> m_jumps;  // (kept line, input line)
    unsigned long long m_keptLines = 0;    // kept lines so far
    unsigned long long m_droppedLines = 0; // kept lines wholly before m_text
    unsigned long long m_nextNumber = 0;   // the input line a kept line without a jump has
    std::string m_head;  // the first bytes, until it is known whether they are a byte-order mark
    bool m_headDone = false;
    bool m_atEnd = false;
};

} // namespace hattsheet::operations
