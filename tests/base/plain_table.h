#pragma once
// What the plain-C++ tables of base/ share: each failing row prints one
// line, and the program ends with status 1 when any did (the Linux suite
// and, under wine, tests/windows read that).

#include <cstdio>
#include <string>

namespace plain_table {

#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

inline int failures = 0;

inline void check(bool ok, const std::string& row, const std::string& what)
{
    if (ok) return;
    std::printf("FAIL %s: %s\n", row.c_str(), what.c_str());
    ++failures;
}

// main's status.
inline int finish()
{
    if (failures == 0) std::printf("all rows passed\n");
    return failures == 0 ? 0 : 1;
}

} // namespace plain_table
