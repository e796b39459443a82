#pragma once
// Finding sheets by what a user types: a name in either spelling of the
// catalogue, or the agency's number. Shared by the command line (--from,
// --to, --sheets) and the window's sheet chooser.

#include "base/expected.h"
#include "geodesy/sheet_catalogue.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

using SheetList = std::vector<const geodesy::Sheet*>;

// The sheets a text names, in the catalogue's order: with an empty text all
// of them; a text of digits only, the sheets of that agency number; any other
// text, the sheets either of whose names contains it (text::nameKey: case,
// accents and punctuation do not count).
SheetList sheetsMatching(std::string_view text);

// Why findSheet named no single sheet; candidates are the sheets it could
// mean, in the catalogue's order (for an unknown name, those whose names
// contain it; when none does, the closest names, nearest first, and nearest
// is set; may be empty).
struct SheetNotFound {
    bool ambiguous = false;
    SheetList candidates;
    bool nearest = false;
};

// The sheets whose name (either spelling) is nearest to a text that names
// none, by operations::nameDistance within closenessLimit, in the
// catalogue's order. None for a text of digits (an agency
// number is not misspelt into another).
SheetList closestSheets(std::string_view text);

// The one sheet a text names:
// - digits only: the agency number, when it names one sheet (8, 77 and 311
//   name two each and are ambiguous);
// - a whole name (either spelling) that belongs to one sheet wins, also over
//   longer names that begin with it;
// - else a unique prefix of a name.
Expected<const geodesy::Sheet*, SheetNotFound> findSheet(std::string_view text);

// How many candidates a message lists at most.
inline constexpr std::size_t kCandidatesShown = 10;

// "Άγ.Νικόλαος-Βόρ. (8), Άγ.Νικόλαος-Νότ. (8)": the first kCandidatesShown
// names with their agency numbers, and ", …" when there are more.
std::string candidateList(const SheetList& sheets);

// The sheet whose outline holds a place, the first in the catalogue's order
// where outlines overlap; none off every sheet. Degrees, λ from Athens.
const geodesy::Sheet* sheetAtPlace(double phiDeg, double lambdaAthensDeg);

// The centre of a sheet as the command line takes it: "40.45,1.15".
std::string centreText(const geodesy::Sheet& sheet);

} // namespace hattsheet::operations
