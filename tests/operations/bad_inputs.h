#pragma once
// Point lists that old programs and editors really produce, and some that
// only an attacker would: the bytes, and what must come of them in the
// window's open (valid or refused), in the window's batch conversion and in
// the command line's list mode (the lines written, and whether the run
// stops at a failing record). Both test programs of this folder run every
// row, so the window and the command line are held to one table.
//
// Expected lines are for the window's default centres, from the worked
// examples of the conversion (kWorked and kOrigin of cli_run.h).

#include "support/cli_run.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace hattsheet::testing {

struct BadInput {
    const char* name;
    QByteArray bytes;
    // The window's open: whether the file counts as a coordinate file.
    bool valid;
    // The batch (and the command line): the lines written, in the file's own
    // encoding, and whether the run then stops at a failing record. Empty
    // `lines` with `expectedLineCount` > 0 stands for many generated lines.
    QByteArray lines;
    bool stops;
    int expectedLineCount = -1;  // -1: count the lines of `lines`
    // The command line's warning: records converted that are not one a line.
    int offLine = 0;
};

inline const std::vector<BadInput>& badInputs()
{
    static const std::vector<BadInput> rows = [] {
        using B = QByteArray;
        std::vector<BadInput> r;
        // NUL is an ordinary byte of a code; inside a number it makes the
        // number text.
        r.push_back({"NUL byte inside a code", B("P\0" "1, 1000, 2000, 5\r\n", 19), true,
                     B("P\0" "1, ", 5) + kWorked + ", 5.000\r\n", false});
        r.push_back({"NUL byte inside X", B("P1, 10\0" "00, 2000, 5\r\n", 20), false, "", true});
        // Not UTF-8, so Windows-1253: 0xC3 is Gamma; the code keeps its byte.
        r.push_back({"invalid UTF-8 is read as Windows-1253", "\xC3\x28, 1000, 2000, 5\r\n", true,
                     "\xC3\x28, " + kWorked + ", 5.000\r\n", false});
        r.push_back({"Greek code in Windows-1253", "\xD3\xD4\xC1\xD3\xC7, 1000, 2000, 5\r\n", true,
                     "\xD3\xD4\xC1\xD3\xC7, " + kWorked + ", 5.000\r\n", false});
        r.push_back({"Greek code in UTF-8 with a byte-order mark", "\xEF\xBB\xBF\xCE\xA3" "1, 1000, 2000, 5\r\n", true,
                     "\xCE\xA3" "1, " + kWorked + ", 5.000\r\n", false});
        // The mark is no part of the first code, also when a blank line
        // follows it (the batch drops that line, the open does not).
        r.push_back({"a byte-order mark, then a blank line", "\xEF\xBB\xBF\r\nP1, 1000, 2000, 5\r\n", false,
                     "P1, " + kWorked + ", 5.000\r\n", false});

        // Sizes: a 10 MB code, and one line of 1,000,000 fields (250,000
        // records of the worked example).
        const B longCode(10 * 1024 * 1024, 'K');
        r.push_back({"a 10 MB line", longCode + ", 1000, 2000, 5\r\n", true,
                     longCode + ", " + kWorked + ", 5.000\r\n", false});
        B millionFields = repeated("P, 1000, 2000, 5, ", 250000);
        millionFields.chop(2);
        r.push_back({"a line of 1,000,000 fields", millionFields, true, "", false, 250000, 250000});

        // Numbers that are not numbers.
        r.push_back({"1E999 as X", "P1, 1E999, 2000, 5\r\n", false, "", true});
        r.push_back({"-1E999 as Y after a good record", "P1, 1000, 2000, 5\r\nP2, 0, -1E999, 5\r\n", false,
                     "P1, " + kWorked + ", 5.000\r\n", true});
        r.push_back({"a lone minus as X", "P1, -, 2000, 5\r\n", false, "", true});
        r.push_back({"a lone point as Y", "P1, 1000, ., 5\r\n", false, "", true});
        r.push_back({"1e without exponent digits as X", "P1, 1e, 2000, 5\r\n", false, "", true});
        r.push_back({"inf spelled as X", "P1, inf, 2000, 5\r\n", false, "", true});
        r.push_back({"nan spelled as Y", "P1, 1000, nan, 5\r\n", false, "", true});
        r.push_back({"X beyond the series' reach", "P1, 1e300, 2000, 5\r\n", true, "", true});

        // Quotes.
        r.push_back({"unterminated quote in a code", "\"P1, 1000, 2000, 5\r\n", false, "", true});
        r.push_back({"a quote at the end of the file", "P1, 1000, 2000, 5\r\n\"", false,
                     "P1, " + kWorked + ", 5.000\r\n", true});
        r.push_back({"quoted code with text after the closing quote", "\"P1\"junk, 1000, 2000, 5\r\n", true,
                     "P1, " + kWorked + ", 5.000\r\n", false});

        // Empty fields: X and Y read as 0, H is shown as 0.000.
        r.push_back({"empty X, empty H", "A,,0,5\r\nB,0,0,\r\n", true,
                     "A, " + kOrigin + ", 5.000\r\nB, " + kOrigin + ", 0.000\r\n", false});

        // Separators only.
        r.push_back({"only commas, one record", ",,,\r\n", true, ", " + kOrigin + ", 0.000\r\n", false});
        r.push_back({"only commas, a record and a half", ",,,,,,", false, ", " + kOrigin + ", 0.000\r\n", true});
        // Two line ends are two empty fields of a record that the end cuts short
        // (four would make a record of zeros); the batch drops blank lines.
        r.push_back({"only line breaks", "\r\n\n", false, "", false});
        r.push_back({"only spaces and tabs", "   \t  ", false, "", true});
        r.push_back({"empty file", "", true, "", false});

        // Misaligned but complete, and mixed line ends.
        r.push_back({"three fields then five", "A, 1000, 2000\r\n5, B, 0, 0, 7\r\n", true,
                     "A, " + kWorked + ", 5.000\r\nB, " + kOrigin + ", 7.000\r\n", false, -1, 2});
        r.push_back({"CR, LF and CR LF mixed", "A, 1000, 2000, 5\rB, 0, 0, 7\nC, 1000, 2000, 1\r\n", true,
                     "A, " + kWorked + ", 5.000\r\nB, " + kOrigin + ", 7.000\r\nC, " + kWorked + ", 1.000\r\n",
                     false});
        r.push_back({"no line end after the last record", "A, 1000, 2000, 5", true,
                     "A, " + kWorked + ", 5.000\r\n", false});
        return r;
    }();
    return rows;
}

inline int lineCount(const BadInput& b) { return b.expectedLineCount >= 0 ? b.expectedLineCount : b.lines.count("\r\n"); }

} // namespace hattsheet::testing
