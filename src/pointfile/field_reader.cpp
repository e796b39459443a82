#include "pointfile/field_reader.h"

#include "text/number_format.h"
#include "text/number_text.h"


namespace hattsheet::pointfile {

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

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

ReadStatus readField(std::string_view buf, std::size_t& p, bool atEnd, Field& out)
{
    if (p >= buf.size()) return atEnd ? ReadStatus::Truncated : ReadStatus::NeedMore;
    while (p < buf.size() && buf[p] == ' ') ++p;
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
        std::size_t q = close + 1;
        while (q < buf.size() && buf[q] != ',' && !isLineEnd(buf[q])) ++q;
        if (q == buf.size()) {
            if (!atEnd) return ReadStatus::NeedMore;
            p = q;
            return ReadStatus::Ok;
        }
        if (!consumeTerminator(buf, q, atEnd)) return ReadStatus::NeedMore;
        p = q;
        return ReadStatus::Ok;
    }
    std::size_t q = p;
    while (q < buf.size() && buf[q] != ',' && !isLineEnd(buf[q])) ++q;
    if (q == buf.size() && !atEnd) return ReadStatus::NeedMore;
    std::string_view text = buf.substr(p, q - p);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    out = Field{text, false};
    if (q < buf.size() && !consumeTerminator(buf, q, atEnd)) return ReadStatus::NeedMore;
    p = q;
    return ReadStatus::Ok;
}

} // namespace

ReadStatus readRecord(std::string_view buf, std::size_t& pos, bool atEnd, PointRecord& out)
{
    std::size_t p = pos;
    for (Field* f : {&out.code, &out.x, &out.y, &out.h}) {
        const ReadStatus s = readField(buf, p, atEnd, *f);
        if (s != ReadStatus::Ok) return s;
    }
    pos = p;
    return ReadStatus::Ok;
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
    PointRecord r;
    while (pos < text.size()) {
        if (readRecord(text, pos, true, r) != ReadStatus::Ok) return false;
        if (!fieldNumber(r.x) || !fieldNumber(r.y) || !fieldNumber(r.h)) return false;
    }
    return true;
}

namespace {

void appendHead(std::string& out, std::string_view code, double x, double y)
{
    out.append(code);
    out.append(", ");
    text::appendFixed(out, x, text::kCoordinateDecimals);
    out.append(", ");
    text::appendFixed(out, y, text::kCoordinateDecimals);
    out.append(", ");
}

} // namespace

void appendPointLine(std::string& out, std::string_view code, double x, double y, double h)
{
    appendHead(out, code, x, y);
    text::appendFixed(out, h, text::kCoordinateDecimals);
    out.append("\r\n");
}

void appendPointLine(std::string& out, std::string_view code, double x, double y, std::string_view hText)
{
    appendHead(out, code, x, y);
    out.append(hText);
    out.append("\r\n");
}

std::string dropBlankLines(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    BlankLineFilter filter;
    filter.feed(text, out);
    filter.finish(out);
    return out;
}

} // namespace hattsheet::pointfile
