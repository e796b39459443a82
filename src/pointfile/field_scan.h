#pragma once
// The byte scans the two comma readers share (record_reader.cpp,
// plain_record_reader.cpp). Internal to pointfile/.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace hattsheet::pointfile::scan {

inline std::size_t skipSpaces(std::string_view buf, std::size_t p)
{
    while (p < buf.size() && buf[p] == ' ') ++p;
    return p;
}

inline std::string_view withoutTrailingSpaces(std::string_view text)
{
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

inline bool endsField(char c) { return c == ',' || c == '\r' || c == '\n'; }

// The comma or line end at or after p, or the size. Eight bytes at a time
// on a little-endian machine: a byte below '-' (a space, a quote, a comma,
// a line end) is looked at alone; digits, '.' and '-' are passed over.
inline std::size_t fieldEnd(std::string_view buf, std::size_t p)
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

} // namespace hattsheet::pointfile::scan
