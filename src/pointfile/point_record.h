#pragma once
// One point record of a list, as its fields were read (code, X, Y, H), and
// its fields as numbers.
//
// Every reader (the comma stream of record_reader.h, the one-pass reader of
// plain_record_reader.h, the per-line layouts of layout_reader.h) gives its
// records in this form, views into the text it read.

#include <optional>
#include <string_view>

namespace hattsheet::pointfile {

struct Field {
    std::string_view text;  // without quotes; views into the buffer read
    bool quoted = false;
};

struct PointRecord {
    Field code, x, y, h;
    bool hasHeight = true;  // false: a layout of three fields (code, X, Y), h empty
};

// A record with its X and Y read as numbers (metres), as the readers give
// it when they have looked at the numbers.
struct RecordPoint {
    PointRecord record;
    double x = 0.0, y = 0.0;
};

// A field as a number: an empty field (or one of spaces) is 0; otherwise it
// must be one number as parseWholeNumber reads it, quoted or not ("12a",
// "abc" and "1E999" are not). Empty optional when it is not a number. The
// height is read so (an empty height is 0).
std::optional<double> fieldNumber(const Field& f);

// Whether a field holds nothing but spaces. An empty X or Y is no number: a
// point read as 0 there would land on the sheet's centre.
bool isBlank(const Field& f);

} // namespace hattsheet::pointfile
