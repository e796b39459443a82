// The reader of decimal numbers (fast_float on every platform): a table of
// the hard cases (ties, digits past the 800th, the ends of the range) with
// their doubles in hexadecimal; then, wherever the standard library has
// std::from_chars for double, generated numbers and every number-like text
// of the reference points and the fuzz corpus compared with it bit for bit,
// end pointer and result included. Plain C++: runs in the Linux suite and,
// built with mingw, under wine (the table alone).

#include "text/read_double.h"
#include "base/plain_table.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <system_error>
#if HATTSHEET_TEST_FROM_CHARS
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#endif

using hattsheet::text::readDouble;

namespace {

void fail(const std::string& row, const std::string& what) { plain_table::check(false, row, what); }

std::string hex(double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a", v);
    return text;
}

// 2^-1075, half the smallest double, written out in full: 5^1075 (751
// digits, by schoolbook multiplication) times 10^-1075.
std::string halfOfSmallest()
{
    std::string digits = "1";  // least significant digit first
    for (int i = 0; i < 1075; ++i) {
        int carry = 0;
        for (char& c : digits) {
            carry += (c - '0') * 5;
            c = static_cast<char>('0' + carry % 10);
            carry /= 10;
        }
        for (; carry != 0; carry /= 10) digits += static_cast<char>('0' + carry % 10);
    }
    const std::string d(digits.rbegin(), digits.rend());
    return d.substr(0, 1) + "." + d.substr(1) + "e" + std::to_string(static_cast<long long>(d.size()) - 1076);
}

struct Row {
    const char* name;
    std::string text;
    std::errc ec;
    double value;        // when ec is success
    std::size_t taken;   // characters read; std::string::npos: all of them
};

void checkTable()
{
    const std::string ties = "9007199254740993";  // 2^53 + 1: halfway between two doubles
    const std::string half = halfOfSmallest();
    const std::size_t all = std::string::npos;
    const Row rows[] = {
        {"a worked coordinate", "-7429.270", std::errc(), -7429.27, all},
        {"upper-case exponent", "4.2E1", std::errc(), 42.0, all},
        {"point without fraction digits", "1.e5", std::errc(), 1e5, all},
        {"fraction without integer digits", ".5", std::errc(), 0.5, all},
        {"negative zero", "-0.000", std::errc(), -0.0, all},
        {"zero with a huge exponent", "0e999999999", std::errc(), 0.0, all},
        {"exponent letter without digits is left", "12e", std::errc(), 12.0, 2},
        {"exponent sign without digits is left", "12e+", std::errc(), 12.0, 2},
        {"an exponent letter before a blank is left", "12e 3", std::errc(), 12.0, 2},
        {"a blank ends the number", "3.5 7", std::errc(), 3.5, 3},
        {"tie rounds to even, down", ties, std::errc(), 9007199254740992.0, all},
        {"tie rounds to even, up", "9007199254740995", std::errc(), 9007199254740996.0, all},
        {"tie with 900 zeros after it", ties + std::string(900, '0') + "e-900", std::errc(), 9007199254740992.0, all},
        {"a 1 past the 800th digit breaks the tie", ties + std::string(900, '0') + "1e-901", std::errc(),
         9007199254740994.0, all},
        {"leading zeros are not digits that count", "0." + std::string(900, '0') + "15e901", std::errc(), 1.5, all},
        {"the largest double", "1.7976931348623157e308", std::errc(), DBL_MAX, all},
        {"just below the overflow tie", "1.7976931348623158e308", std::errc(), DBL_MAX, all},
        {"just past the overflow tie", "1.7976931348623159e308", std::errc::result_out_of_range, 0, all},
        {"far beyond the range", "-1e99999999999", std::errc::result_out_of_range, 0, all},
        {"the smallest normal", "2.2250738585072014e-308", std::errc(), DBL_MIN, all},
        {"the smallest subnormal", "4.9406564584124654e-324", std::errc(), std::ldexp(1.0, -1074), all},
        {"rounds up to the smallest subnormal", "3e-324", std::errc(), std::ldexp(1.0, -1074), all},
        {"half the smallest subnormal is a tie to zero", half, std::errc::result_out_of_range, 0, all},
        {"just above that half", half.substr(0, half.find('e')) + "1" + half.substr(half.find('e')), std::errc(),
         std::ldexp(1.0, -1074), all},
        {"below half the smallest, within the range checked", "1e-324", std::errc::result_out_of_range, 0, all},
        {"far below the range", "1e-400", std::errc::result_out_of_range, 0, all},
        {"a lone point", ".", std::errc::invalid_argument, 0, 0},
        {"a lone sign", "-", std::errc::invalid_argument, 0, 0},
        {"a plus sign", "+1", std::errc::invalid_argument, 0, 0},
        {"an exponent alone", "e5", std::errc::invalid_argument, 0, 0},
        {"infinity is not a number here", "inf", std::errc::invalid_argument, 0, 0},
    };
    for (const Row& row : rows) {
        double value = 12345.0;
        const char* first = row.text.data();
        const auto [ptr, ec] = readDouble(first, first + row.text.size(), value);
        const std::size_t taken = row.taken == std::string::npos ? row.text.size() : row.taken;
        if (ec != row.ec) fail(row.name, "error " + std::to_string(static_cast<int>(ec)));
        if (static_cast<std::size_t>(ptr - first) != taken) fail(row.name, "read " + std::to_string(ptr - first));
        const double expected = row.ec == std::errc() ? row.value : 12345.0;
        if (std::memcmp(&value, &expected, sizeof value) != 0) fail(row.name, hex(value) + " not " + hex(expected));
    }
}

// Generated numbers of every shape against the standard library's reader.
void checkAgainstFromChars()
{
#if HATTSHEET_TEST_FROM_CHARS
    std::mt19937_64 random(20261207);
    auto addDigits = [&](std::string& s, int n) {
        for (int i = 0; i < n; ++i) s += static_cast<char>('0' + random() % 10);
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text = i % 4 == 3 && random() % 2 ? "-" : "";
        char buf[1200];
        if (i % 4 == 0) {  // short digits, a point anywhere, any exponent
            addDigits(text, 1 + static_cast<int>(random() % 20));
            text.insert(random() % (text.size() + 1), 1, '.');
            text += 'e';
            text += std::to_string(static_cast<int>(random() % 680) - 350);
        } else if (i % 4 == 1) {  // a random finite double, in its 17 digits
            double v = HUGE_VAL;
            for (unsigned long long bits; !std::isfinite(v);) std::memcpy(&v, &(bits = random()), sizeof v);
            std::snprintf(buf, sizeof buf, "%.17g", v);
            text = buf;
        } else if (i % 4 == 2) {  // the exact midpoint of two neighbouring doubles, and a digit beyond it
            const double v = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 2000) - 1100);
            std::snprintf(buf, sizeof buf, "%.800Le", (static_cast<long double>(v) + std::nextafter(v, HUGE_VAL)) / 2);
            text = buf;
            if (random() % 2) text.insert(text.find('e'), random() % 2 ? "1" : "000000000000000000000009");
        } else {  // long digit strings
            addDigits(text, 1 + static_cast<int>(random() % 40));
            text += '.';
            addDigits(text, static_cast<int>(random() % 900));
        }
        double mine = 0, theirs = 0;
        const char* first = text.data();
        const char* last = first + text.size();
        const auto a = readDouble(first, last, mine);
        const auto b = std::from_chars(first, last, theirs);
        if (a.ec != b.ec || a.ptr != b.ptr || (a.ec == std::errc() && std::memcmp(&mine, &theirs, sizeof mine) != 0)) {
            fail("generated " + text.substr(0, 60), hex(mine) + " not " + hex(theirs));
            if (plain_table::failures > 20) return;
        }
    }
#endif
}

// Every run of number characters in the reference points and the fuzz
// corpus, read from each of its characters on: what the lists and fields
// this program meets hold.
void checkDataAgainstFromChars()
{
#if HATTSHEET_TEST_FROM_CHARS
    long read = 0;
    for (const char* folder : {HATTSHEET_SOURCE_DIR "/tests/geodesy/data", HATTSHEET_SOURCE_DIR "/fuzz/corpus"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string s((std::istreambuf_iterator<char>(file)), {});
            const auto numeric = [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-'; };
            for (std::size_t i = 0; i < s.size();) {
                std::size_t j = i;
                while (j < s.size() && numeric(s[j])) ++j;
                for (std::size_t k = i; k < j; ++k) {
                    double mine = 7, theirs = 7;
                    const auto a = readDouble(s.data() + k, s.data() + j, mine);
                    const auto b = std::from_chars(s.data() + k, s.data() + j, theirs);
                    read += b.ec == std::errc();
                    if (a.ec != b.ec || a.ptr != b.ptr || std::memcmp(&mine, &theirs, sizeof mine) != 0) {
                        fail(entry.path().filename().string() + " " + s.substr(k, j - k), hex(mine) + " not " + hex(theirs));
                    }
                }
                i = j == i ? i + 1 : j;
            }
        }
    }
    if (read < 30000) fail("data", "only " + std::to_string(read) + " numbers read");
#endif
}

} // namespace

int main()
{
    checkTable();
    checkAgainstFromChars();
    checkDataAgainstFromChars();
    return plain_table::finish();
}
