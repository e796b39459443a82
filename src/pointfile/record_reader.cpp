#include "pointfile/record_reader.h"

#include "pointfile/field_scan.h"
#include "text/number_text.h"

namespace hattsheet::pointfile {

namespace {

using scan::fieldEnd;
using scan::skipSpaces;
using scan::withoutTrailingSpaces;

// Consumes the comma or line end at buf[p] (p < size). False when a CR is
// the last byte and an LF may follow in the next piece.
bool consumeTerminator(std::string_view buf, std::size_t& p, bool atEnd)
{
    if (buf[p] == '\r') {
        if (p + 1 == buf.size() && !atEnd) return false;
        p += (p + 1 < buf.size() && buf[p + 1] == '\n') ? 2 : 1;
    } else {
        ++p;
    }
    return true;
}

// Ok, or why the field could not be read.
enum class ReadStatus { Ok, NeedMore, Truncated };

ReadStatus readField(std::string_view buf, std::size_t& p, bool atEnd, Field& out)
{
    if (p >= buf.size()) return atEnd ? ReadStatus::Truncated : ReadStatus::NeedMore;
    p = skipSpaces(buf, p);
    if (p == buf.size()) {
        if (!atEnd) return ReadStatus::NeedMore;
        out = Field{};
        return ReadStatus::Ok;
    }
    if (buf[p] == '"') {
        const std::size_t close = buf.find('"', p + 1);
        if (close == std::string_view::npos) {
            if (!atEnd) return ReadStatus::NeedMore;
            out = Field{buf.substr(p + 1), true};
            p = buf.size();
            return ReadStatus::Ok;
        }
        out = Field{buf.substr(p + 1, close - p - 1), true};
        std::size_t q = fieldEnd(buf, close + 1);
        if (q == buf.size()) {
            if (!atEnd) return ReadStatus::NeedMore;
            p = q;
            return ReadStatus::Ok;
        }
        if (!consumeTerminator(buf, q, atEnd)) return ReadStatus::NeedMore;
        p = q;
        return ReadStatus::Ok;
    }
    std::size_t q = fieldEnd(buf, p);
    if (q == buf.size() && !atEnd) return ReadStatus::NeedMore;
    out = Field{withoutTrailingSpaces(buf.substr(p, q - p)), false};
    if (q < buf.size() && !consumeTerminator(buf, q, atEnd)) return ReadStatus::NeedMore;
    p = q;
    return ReadStatus::Ok;
}

} // namespace

Expected<PointRecord, ReadStop> readRecord(std::string_view buf, std::size_t& pos, bool atEnd)
{
    std::size_t p = pos;
    PointRecord out;
    for (Field* f : {&out.code, &out.x, &out.y, &out.h}) {
        const ReadStatus s = readField(buf, p, atEnd, *f);
        if (s == ReadStatus::NeedMore) return unexpected(ReadStop::NeedMore);
        if (s == ReadStatus::Truncated) return unexpected(ReadStop::Truncated);
    }
    pos = p;
    return out;
}

std::optional<double> fieldNumber(const Field& f)
{
    if (const auto plain = text::readPlainDecimal(f.text)) return plain;
    if (f.text.find_first_not_of(' ') == std::string_view::npos) return 0.0;
    return text::parseWholeNumber(f.text);
}

bool testCoordinateFile(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto r = readRecord(text, pos, true);
        if (!r || !fieldNumber(r->x) || !fieldNumber(r->y) || !fieldNumber(r->h)) return false;
    }
    return true;
}

bool isBlank(const Field& f) { return f.text.find_first_not_of(' ') == std::string_view::npos; }

} // namespace hattsheet::pointfile
