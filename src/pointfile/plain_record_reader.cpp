#include "pointfile/plain_record_reader.h"

#include "pointfile/field_scan.h"
#include "text/number_text.h"

namespace hattsheet::pointfile {

using scan::fieldEnd;
using scan::skipSpaces;
using scan::withoutTrailingSpaces;

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

// Where a field that holds a plain decimal of at most 15 digits (so that
// text::scanPlainDecimal reads it: an integer of them is below 2^53) and
// that a comma ends stops, past the comma; npos for any other field.
std::size_t plainNumberShape(std::string_view buf, std::size_t p)
{
    constexpr std::size_t kShapeDigits = 15;
    p = skipSpaces(buf, p);
    if (p < buf.size() && buf[p] == '-') ++p;
    std::size_t digits = 0;
    const auto skipDigits = [&] {
        for (; p < buf.size() && static_cast<unsigned char>(buf[p] - '0') < 10; ++p) ++digits;
    };
    skipDigits();
    if (p < buf.size() && buf[p] == '.') {
        ++p;
        skipDigits();
    }
    if (digits == 0 || digits > kShapeDigits || p == buf.size() || buf[p] != ',') return std::string_view::npos;
    return p + 1;
}

// readPlainRecord into a record already there, so that the optional is
// returned without a copy (the reader's hot path: a million records).
bool readPlainInto(std::string_view buf, std::size_t& pos, RecordPoint& out)
{
    PointRecord& r = out.record;
    std::size_t p = pos;
    if (!plainTextField(buf, p, r.code) || !plainNumberField(buf, p, r.x, out.x) ||
        !plainNumberField(buf, p, r.y, out.y)) {
        return false;
    }
    // H, unquoted, up to the CR LF that ends the line.
    p = skipSpaces(buf, p);
    if (p < buf.size() && buf[p] == '"') return false;
    const std::size_t q = fieldEnd(buf, p);
    if (q + 1 >= buf.size() || buf[q] != '\r' || buf[q + 1] != '\n') return false;
    r.h = Field{withoutTrailingSpaces(buf.substr(p, q - p)), false};
    pos = q + 2;
    return true;
}

} // namespace

std::optional<RecordPoint> readPlainRecord(std::string_view buf, std::size_t& pos)
{
    std::optional<RecordPoint> out(std::in_place);
    if (!readPlainInto(buf, pos, *out)) out.reset();
    return out;
}

bool skipPlainRecord(std::string_view buf, std::size_t& pos)
{
    std::size_t p = skipSpaces(buf, pos);
    if (p == buf.size() || buf[p] == '"') return false;
    p = fieldEnd(buf, p);
    if (p == buf.size() || buf[p] != ',') return false;
    p = plainNumberShape(buf, p + 1);
    if (p != std::string_view::npos) p = plainNumberShape(buf, p);
    if (p == std::string_view::npos) return false;
    p = skipSpaces(buf, p);
    if (p < buf.size() && buf[p] == '"') return false;
    const std::size_t q = fieldEnd(buf, p);
    if (q + 1 >= buf.size() || buf[q] != '\r' || buf[q + 1] != '\n') return false;
    pos = q + 2;
    return true;
}

} // namespace hattsheet::pointfile
