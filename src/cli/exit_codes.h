#pragma once
// The exit status of hattsheet-convert, as --help lists it. Scripts test
// these numbers: they never change.

namespace hattsheet::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;    // a failing record, or a file that cannot be read or written
inline constexpr int kExitRefused = 2;   // a refused sheet centre or coordinate, or a route with no
                                         // PROJ pipeline; nothing is written
inline constexpr int kExitUsage = 64;    // a usage error

} // namespace hattsheet::cli
