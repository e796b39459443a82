#pragma once
// The blank-line filter every point list goes through before its records are
// read: the window's batch and save, its open, and the command line's stream.

#include "pointfile/line_end_scanner.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace hattsheet::pointfile {

// Drops the lines that hold nothing but spaces, tabs and separators (",",
// ";": a spreadsheet writes ";;;" for a formatted row left empty, at the end
// of a list or anywhere in it) and ends every kept line with CR LF, after the spaces at the very beginning and very end of the whole
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

// The whole text through the filter.
std::string dropBlankLines(std::string_view text);

// Whether a line (without its line end) is one the filter drops.
inline bool isBlankLine(std::string_view line) { return line.find_first_not_of(" \t,;") == std::string_view::npos; }


template <typename OnLine>
void BlankLineFilter::endLine(std::string& out, OnLine& onLine, bool atEnd)
{
    std::string_view line = m_line;
    if (atEnd) {
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    }
    if (!isBlankLine(line)) {
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
            if (!isBlankLine(line)) {
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
