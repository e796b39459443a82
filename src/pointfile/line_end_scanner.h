#pragma once
// Finding the end of a line in a point list.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace hattsheet::pointfile {

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

} // namespace hattsheet::pointfile
