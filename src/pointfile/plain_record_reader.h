#pragma once
// The one-pass reader of the common comma record, the command line's fast
// path through today's comma layout (record_reader.h has the layout's rules).

#include "pointfile/point_record.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace hattsheet::pointfile {

// The record at buf[pos] when it is the common kind, read in one pass: an
// unquoted code, X and Y plain decimals (text::readPlainDecimal) that commas
// end, an unquoted H, and CR LF after it, all within buf; X and Y come as
// numbers too, and pos moves past it. The same fields and numbers as
// readRecord and fieldNumber give. None, with pos unchanged, for any other
// record, which readRecord reads.
std::optional<RecordPoint> readPlainRecord(std::string_view buf, std::size_t& pos);

// Whether the record at buf[pos] is of that kind, told by its shape alone
// without making its numbers, and pos past it: the layout pass over a whole
// panel asks only that. X and Y of 16 digits or more are not told so,
// though readPlainRecord may read them: false, with pos unchanged, sends
// the caller to the other readers.
bool skipPlainRecord(std::string_view buf, std::size_t& pos);

} // namespace hattsheet::pointfile
