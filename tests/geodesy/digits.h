#pragma once
// Doubles as the shortest text that reads back to the same bits, so that a
// test compares digits, not a fuzzy closeness (QCOMPARE on doubles is fuzzy).

#include <QByteArray>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace hattsheet::testing {

inline QByteArray shortest(double v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return QByteArray(buf, static_cast<int>(res.ptr - buf));
}

// Distance in units in the last place between two finite doubles.
inline std::int64_t ulpDistance(double a, double b)
{
    auto ordered = [](double v) {
        std::int64_t i;
        std::memcpy(&i, &v, sizeof i);
        return i < 0 ? INT64_MIN - i : i;
    };
    const std::int64_t d = ordered(a) - ordered(b);
    return d < 0 ? -d : d;
}

} // namespace hattsheet::testing
