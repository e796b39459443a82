#pragma once
// How close a typed sheet name is to a sheet's name, for the names an
// unknown one is offered instead: "Λαρισσα" (a doubled σ) and "Larisa" (the
// name in Latin letters) both lead to Λάρισα.
//
// Two keys are compared, and the smaller distance counts:
//  - text::nameKey, the key names are matched by (case, accents and
//    punctuation do not count);
//  - latinKey, the name in Latin letters as Greek road signs and passports
//    write it (the ELOT 743 table: θ th, χ ch, ψ ps, η and ι i, υ y, ου ou,
//    αυ av or af, μπ mp, ντ nt, γγ ng...), for a user without a Greek
//    keyboard.
// The distance is Levenshtein's (one letter added, dropped or changed
// counts 1), counted in letters, not bytes.

#include <cstddef>
#include <string>
#include <string_view>

namespace hattsheet::operations {

// The Latin key of a UTF-8 name: its Greek letters transliterated, its
// Latin letters in lower case, digits kept; accents, spaces and punctuation
// dropped. "Άγ.Νικόλαος" gives "agnikolaos", "Λάρισα" and "LARISA" give
// "larisa".
std::string latinKey(std::string_view utf8);

// Levenshtein's distance between two UTF-8 texts, in code points.
std::size_t editDistance(std::string_view a, std::string_view b);

// The distance of a typed text from a name: the smaller of the distances
// of their name keys and of their Latin keys, each against the whole name
// and against its beginning as long as the typed key (a typo in the first
// word of a long name).
std::size_t nameDistance(std::string_view typed, std::string_view name);

// The largest distance at which a name is still offered for a typed text of
// that many letters (its name key): 1 up to 3 letters, then one more every
// 4 letters, at most 3.
std::size_t closenessLimit(std::size_t letters);

} // namespace hattsheet::operations
