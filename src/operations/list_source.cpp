#include "operations/list_source.h"

#include "base/platform.h"
#include "text/text_codec.h"

#include <algorithm>

namespace hattsheet::operations {

namespace sys = hattsheet::platform;

Expected<std::string_view, int> TextSource::next(std::size_t most)
{
    if (m_done) {
        // Its views are no longer looked at: the panel's copy goes at once.
        std::string().swap(m_text);
        return std::string_view();
    }
    const std::string_view piece = std::string_view(m_text).substr(m_pos, most);
    m_pos += piece.size();
    m_done = piece.size() < most;
    return piece;
}

Expected<std::string_view, int> DescriptorSource::next(std::size_t most)
{
    m_block.resize(most);
    std::size_t got = 0;
    while (got < most && !m_atEnd) {
        const auto n = sys::readSome(m_fd, m_block.data() + got, most - got);
        if (!n) return unexpected(n.error().code);
        if (*n == 0) m_atEnd = true;
        got += *n;
    }
    return std::string_view(m_block.data(), got);
}

RecordText::RecordText(ByteSource& source, std::size_t blockBytes, bool dropByteOrderMark)
    : m_source(source), m_blockBytes(blockBytes), m_headDone(!dropByteOrderMark)
{
}

Expected<std::size_t, int> RecordText::readOn(std::size_t pos)
{
    // Every kept line in the text ends with its LF: the lines dropped are
    // those kept less those whose LF is after pos (a few; counting the lines
    // before pos would read the whole block again).
    m_droppedLines = m_keptLines - static_cast<unsigned long long>(
                                       std::count(m_text.begin() + static_cast<std::ptrdiff_t>(pos), m_text.end(), '\n'));
    m_text.erase(0, pos);
    // The jump that numbers the first line left, and those after it.
    std::size_t gone = 0;
    while (gone + 1 < m_jumps.size() && m_jumps[gone + 1].first <= m_droppedLines) ++gone;
    m_jumps.erase(m_jumps.begin(), m_jumps.begin() + static_cast<std::ptrdiff_t>(gone));
    const auto piece = m_source.next(m_blockBytes);
    if (!piece) return unexpected(piece.error());
    const std::size_t got = piece->size();
    // Room for the block with CR LF for LF on short lines, at once: a panel
    // read whole grows by tens of MB, and growing by doubling would copy it.
    m_text.reserve(m_text.size() + got + got / 16);
    feed(*piece, got < m_blockBytes);
    // Past the end: a text in memory is let go.
    if (m_atEnd) static_cast<void>(m_source.next(0));
    return got;
}

void RecordText::noteLine(unsigned long long number)
{
    if (number != m_nextNumber) m_jumps.emplace_back(m_keptLines, number);
    m_nextNumber = number + 1;
    ++m_keptLines;
}

void RecordText::feed(std::string_view piece, bool eof)
{
    const auto track = [this](unsigned long long number) { noteLine(number); };
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

unsigned long long RecordText::lineOf(std::size_t at) const
{
    if (m_keptLines == 0) return 0;
    at = std::min(at, m_text.size());
    unsigned long long kept = m_droppedLines + static_cast<unsigned long long>(std::count(
                                                   m_text.begin(), m_text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    kept = std::min(kept, m_keptLines - 1);
    const auto jump = std::upper_bound(m_jumps.begin(), m_jumps.end(), kept,
                                       [](unsigned long long k, const auto& j) { return k < j.first; });
    if (jump == m_jumps.begin()) return 0;
    const auto& [from, number] = *(jump - 1);
    return number + (kept - from);
}

} // namespace hattsheet::operations
