#pragma once
// Today's comma layout, the format every list this program writes has: a
// stream of comma-separated fields, read four at a time as point records
// (code, X, Y, H).
//
// Records follow the field stream, not the lines: a line end separates
// fields exactly as a comma does. A field is read so:
//  - spaces before it are skipped;
//  - a field that begins with a double quote runs to the next double quote
//    (line ends included); the quotes are not part of it, and what follows
//    the closing quote up to the next comma or line end is skipped;
//  - any other field runs to the next comma or line end; its trailing spaces
//    are dropped;
//  - the comma or line end that ends a field is consumed with it; LF, CR and
//    CR LF each end a line;
//  - reading a field when no character is left fails: a record cut short by
//    the end of the text. So an empty line after the last record begins a
//    record that the end then cuts short.
// The reader works on bytes: comma, quote, space, CR and LF are ASCII in both
// Windows-1253 and UTF-8, so one reader serves both.

#include "base/expected.h"
#include "pointfile/point_record.h"

#include <cstddef>
#include <string_view>

namespace hattsheet::pointfile {

// Why no record was read (pos unchanged).
enum class ReadStop {
    NeedMore,   // the buffer ends inside the record and more text may follow
    Truncated,  // the text ends inside the record
};

// Reads the record at buf[pos] and moves pos past it. atEnd says that
// nothing follows buf.
Expected<PointRecord, ReadStop> readRecord(std::string_view buf, std::size_t& pos, bool atEnd);

// Whether the text is a valid coordinate file: readable record by record to
// its end with X, Y and H of every record usable as numbers. The empty text is
// valid.
bool testCoordinateFile(std::string_view text);

} // namespace hattsheet::pointfile
