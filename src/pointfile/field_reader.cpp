#include "pointfile/field_reader.h"

#include "text/number_format.h"
#include "text/number_text.h"

#include <algorithm>

namespace hattsheet::pointfile {

namespace {

std::size_t skipSpaces(std::string_view buf, std::size_t p)
{
    while (p < buf.size() && buf[p] == ' ') ++p;
    return p;
}

std::string_view withoutTrailingSpaces(std::string_view text)
{
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool endsField(char c) { return c == ',' || c == '\r' || c == '\n'; }

// The comma or line end at or after p, or the size. Eight bytes at a time
// on a little-endian machine: a byte below '-' (a space, a quote, a comma,
// a line end) is looked at alone; digits, '.' and '-' are passed over.
std::size_t fieldEnd(std::string_view buf, std::size_t p)
{
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHigh = 0x8080808080808080ULL;
        while (p + 8 <= buf.size()) {
            std::uint64_t v;
            std::memcpy(&v, buf.data() + p, sizeof v);
            // The lowest byte flagged is the first below '-' (bytes above it
            // may be flagged by a borrow; they are never used).
            const std::uint64_t below = (v - kOnes * ',' - kOnes) & ~v & kHigh;
            if (below == 0) {
                p += 8;
                continue;
            }
            p += static_cast<std::size_t>(std::countr_zero(below) >> 3);
            if (endsField(buf[p])) return p;
            ++p;
        }
    }
    while (p < buf.size() && !endsField(buf[p])) ++p;
    return p;
}

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

namespace {

// An unquoted text field at p that a comma ends, as readField reads it
// (spaces around it dropped); pos after the comma. False for any other.
bool plainTextField(std::string_view buf, std::size_t& pos, Field& field)
{
    const std::size_t p = skipSpaces(buf, pos);
    if (p == buf.size() || buf[p] == '"') return false;
    const std::size_t q = fieldEnd(buf, p);
    if (q == buf.size() || buf[q] != ',') return false;
    field = Field{withoutTrailingSpaces(buf.substr(p, q - p)), false};
    pos = q + 1;
    return true;
}

// A field at p that holds a plain decimal and nothing else and that a comma
// ends, as readField and fieldNumber read it; pos after the comma.
bool plainNumberField(std::string_view buf, std::size_t& pos, Field& field, double& value)
{
    const std::size_t p = skipSpaces(buf, pos);
    const char* const last = buf.data() + buf.size();
    const char* end = nullptr;
    if (!text::scanPlainDecimal(buf.data() + p, last, value, end) || end == last || *end != ',') return false;
    const auto q = static_cast<std::size_t>(end - buf.data());
    field = Field{buf.substr(p, q - p), false};
    pos = q + 1;
    return true;
}

} // namespace

bool readPlainRecord(std::string_view buf, std::size_t& pos, PointRecord& out, double& x, double& y)
{
    std::size_t p = pos;
    if (!plainTextField(buf, p, out.code) || !plainNumberField(buf, p, out.x, x) ||
        !plainNumberField(buf, p, out.y, y)) {
        return false;
    }
    // H, unquoted, up to the CR LF that ends the line.
    p = skipSpaces(buf, p);
    if (p < buf.size() && buf[p] == '"') return false;
    const std::size_t q = fieldEnd(buf, p);
    if (q + 1 >= buf.size() || buf[q] != '\r' || buf[q + 1] != '\n') return false;
    out.h = Field{withoutTrailingSpaces(buf.substr(p, q - p)), false};
    pos = q + 2;
    return true;
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

// ", " and a number in "0.000" at p; returns the end.
char* putField(char* p, double value)
{
    *p++ = ',';
    *p++ = ' ';
    return text::putFixed(p, value, text::kCoordinateDecimals);
}

// The line written in a buffer first, code and all when the code is short:
// one append instead of seven (a fifth of the command line's time went to
// appending).
void appendLine(std::string& out, std::string_view code, double x, double y, const double* h, std::string_view hText)
{
    constexpr std::size_t kShortCode = 64;
    char line[kShortCode + 4 * (2 + text::kMaxFixedChars)];
    char* p = line;
    if (code.size() <= kShortCode) {
        p = std::copy(code.begin(), code.end(), p);
    } else {
        out.append(code);
    }
    p = putField(putField(p, x), y);
    if (h == nullptr) {
        out.append(line, static_cast<std::size_t>(p - line));
        out.append(", ");
        out.append(hText);
        out.append("\r\n");
        return;
    }
    p = putField(p, *h);
    *p++ = '\r';
    *p++ = '\n';
    out.append(line, static_cast<std::size_t>(p - line));
}

} // namespace

void appendPointLine(std::string& out, std::string_view code, double x, double y, double h)
{
    appendLine(out, code, x, y, &h, {});
}

void appendPointLine(std::string& out, std::string_view code, double x, double y, std::string_view hText)
{
    appendLine(out, code, x, y, nullptr, hText);
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
