#pragma once
// The form in which names are compared: case, accents and punctuation do
// not count, so "Άθως", "ΑΘΩΣ", "αθως" and "Α θ ω ς" compare equal.

#include <string>
#include <string_view>

namespace hattsheet::text {

// The matching key of a UTF-8 name: Greek letters in lower case without
// tonos or dialytika (also as combining marks U+0301, U+0308), final sigma
// as σ; the Latin letters that look like Greek capitals (A B E Z H I K M N O
// P T Y X, either case) as those Greek letters, since the agency's table
// writes "AΓ. ΜΑΤΘΑΙΟΣ" with a Latin A; other ASCII letters in lower case,
// digits kept; spaces and punctuation dropped. An invalid UTF-8 byte is
// kept as it is (it matches only itself).
std::string nameKey(std::string_view utf8);

// Whether text is egsa87, any case, in Latin or Greek letters ("ΕΓΣΑ87").
bool isGreekEgsa87Name(std::string_view utf8);

} // namespace hattsheet::text
