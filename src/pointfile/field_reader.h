#pragma once
// The coordinate-file format: a stream of comma-separated fields, read four
// at a time as point records (code, X, Y, H), and the point line written for
// one point.
//
// Records follow the field stream, not the lines: a line end separates
// fields exactly as a comma does. A field is read so:
//  - spaces before it are skipped;
//  - a field that begins with a double quote runs to the next double quote
//    (line ends included); the quotes are not part of it, and what follows
//    the closing quote up to the next comma or line end is skipped;
//  - any other field runs to the next comma or line end; its trailing spaces
//    are dropped;
//  - the comma or line end that ends a field is consumed with it; LF, CR and
//    CR LF each end a line;
//  - reading a field when no character is left fails: a record cut short by
//    the end of the text. So an empty line after the last record begins a
//    record that the end then cuts short.
// The reader works on bytes: comma, quote, space, CR and LF are ASCII in both
// Windows-1253 and UTF-8, so one reader serves both.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace hattsheet::pointfile {

struct Field {
    std::string_view text;  // without quotes; views into the buffer read
    bool quoted = false;
};

struct PointRecord {
    Field code, x, y, h;
};

enum class ReadStatus {
    Ok,         // a record was read and pos moved past it
    NeedMore,   // the buffer ends inside the record and more text may follow; pos unchanged
    Truncated,  // the text ends inside the record; pos unchanged
};

// Reads the record at buf[pos]. atEnd says that nothing follows buf.
ReadStatus readRecord(std::string_view buf, std::size_t& pos, bool atEnd, PointRecord& out);

// The record at buf[pos] when it is the common kind, read in one pass: an
// unquoted code, X and Y plain decimals (text::readPlainDecimal) that commas
// end, an unquoted H, and CR LF after it, all within buf; X and Y come as
// numbers too. The same fields and numbers as readRecord and fieldNumber
// give. False, with pos unchanged, for any other record, which readRecord
// reads.
bool readPlainRecord(std::string_view buf, std::size_t& pos, PointRecord& out, double& x, double& y);

// A field as a number: an empty field (or one of spaces) is 0; otherwise it
// must be one number as parseWholeNumber reads it, quoted or not ("12a",
// "abc" and "1E999" are not). Empty optional when it is not a number.
std::optional<double> fieldNumber(const Field& f);

// Whether the text is a valid coordinate file: readable record by record to
// its end with X, Y and H of every record usable as numbers. The empty text is
// valid.
bool testCoordinateFile(std::string_view text);

// Appends code, ", ", X, ", ", Y, ", ", H, CR LF with the numbers in "0.000".
// hText, when given, is written instead of the H number (a height that is
// text is carried through unchanged).
void appendPointLine(std::string& out, std::string_view code, double x, double y, double h);
void appendPointLine(std::string& out, std::string_view code, double x, double y, std::string_view hText);

// Drops the lines that hold nothing but spaces and ends every kept line with
// CR LF, after the spaces at the very beginning and very end of the whole
// text are removed (not those of every line). Fed in pieces, it gives the
// same output as for the whole text at once.
class BlankLineFilter {
public:
    // Appends the complete kept lines of the piece to out; onLine(lineNumber)
    // is called for each kept line with its 1-based number in the input.
    template <typename OnLine>
    void feed(std::string_view piece, std::string& out, OnLine onLine);
    // The end of the input: the last line, if it had no line end.
    template <typename OnLine>
    void finish(std::string& out, OnLine onLine);

    void feed(std::string_view piece, std::string& out) { feed(piece, out, [](unsigned long long) {}); }
    void finish(std::string& out) { finish(out, [](unsigned long long) {}); }
    // Bytes of the current line held back until its end comes.
    std::size_t pending() const { return m_line.size(); }
    // The 1-based number of the input line being read.
    unsigned long long lineNumber() const { return m_lineNumber; }

private:
    template <typename OnLine>
    void endLine(std::string& out, OnLine& onLine, bool atEnd);

    std::string m_line;          // the current line so far
    bool m_started = false;      // a character other than a space has been seen
    bool m_pendingCr = false;    // the last piece ended with CR: an LF next belongs to it
    unsigned long long m_lineNumber = 1;
};

// The first CR or LF at or after from, or npos. Eight bytes at a time
// where the machine is little-endian (x86-64, the Windows build too): lines
// are short, and the library's find_first_of calls memchr once for every
// byte it passes.
inline std::size_t findLineEnd(std::string_view s, std::size_t from)
{
    std::size_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kLow7 = 0x7f7f7f7f7f7f7f7fULL;
        // The high bit of every byte of v that equals c, exactly (no borrow
        // from one byte into the next).
        auto equal = [](std::uint64_t v, char c) {
            const std::uint64_t x = v ^ (kOnes * static_cast<unsigned char>(c));
            return ~(((x & kLow7) + kLow7) | x) & ~kLow7;
        };
        for (; i + 8 <= s.size(); i += 8) {
            std::uint64_t v;
            std::memcpy(&v, s.data() + i, sizeof v);
            if (const std::uint64_t hit = equal(v, '\r') | equal(v, '\n')) return i + (std::countr_zero(hit) >> 3);
        }
    }
    for (; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') return i;
    }
    return std::string_view::npos;
}

// The whole text through the filter.
std::string dropBlankLines(std::string_view text);

template <typename OnLine>
void BlankLineFilter::endLine(std::string& out, OnLine& onLine, bool atEnd)
{
    std::string_view line = m_line;
    if (atEnd) {
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    }
    if (line.find_first_not_of(' ') != std::string_view::npos) {
        out.append(line);
        out.append("\r\n");
        onLine(m_lineNumber);
    }
    m_line.clear();
    ++m_lineNumber;
}

template <typename OnLine>
void BlankLineFilter::feed(std::string_view piece, std::string& out, OnLine onLine)
{
    std::size_t i = 0;
    // An empty piece keeps the CR pending: the LF may still come next.
    if (m_pendingCr && !piece.empty()) {
        m_pendingCr = false;
        if (!piece.empty() && piece[0] == '\n') i = 1;
    }
    while (i < piece.size()) {
        if (!m_started) {
            // Spaces at the very beginning of the text are not part of it.
            while (i < piece.size() && piece[i] == ' ') ++i;
            if (i == piece.size()) break;
            m_started = true;
        }
        const std::size_t end = findLineEnd(piece, i);
        if (end == std::string_view::npos) {
            m_line.append(piece.substr(i));
            break;
        }
        // Whole lines go straight to out when nothing is carried over.
        if (m_line.empty()) {
            const std::string_view line = piece.substr(i, end - i);
            if (line.find_first_not_of(' ') != std::string_view::npos) {
                // A line that has its CR LF already is copied with it, in one append.
                if (piece[end] == '\r' && end + 1 < piece.size() && piece[end + 1] == '\n') {
                    out.append(piece.substr(i, end + 2 - i));
                } else {
                    out.append(line);
                    out.append("\r\n");
                }
                onLine(m_lineNumber);
            }
            ++m_lineNumber;
        } else {
            m_line.append(piece.substr(i, end - i));
            endLine(out, onLine, false);
        }
        i = end + 1;
        if (piece[end] == '\r') {
            if (i < piece.size()) {
                if (piece[i] == '\n') ++i;
            } else {
                m_pendingCr = true;
            }
        }
    }
}

template <typename OnLine>
void BlankLineFilter::finish(std::string& out, OnLine onLine)
{
    if (!m_line.empty()) endLine(out, onLine, true);
}

} // namespace hattsheet::pointfile
