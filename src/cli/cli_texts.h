#pragma once
// Everything hattsheet-convert says, in the one language of a run: Greek
// when the user's locale is Greek (platform::userReadsGreek), English
// otherwise. Each message goes to stderr on one line after
// "hattsheet-convert: ", the system's reasons for a failed read or write
// included, taken from this program's own table so that they read the same
// on every machine (Debian's C library may lack its Greek translations, and
// the Windows build has none).

#include "operations/list_messages.h"
#include "operations/single_point.h"

#include <string>
#include <string_view>

namespace hattsheet::cli {

using operations::Language;

// The language of this run's messages.
Language messageLanguage();

// Writes "hattsheet-convert: " and text and a line end to stderr.
void say(const std::string& text);

// --help.
const char* helpText(Language language);
// The line after a usage error: "δείτε hattsheet-convert --help".
const char* seeHelp(Language language);

// The reason for an errno value: "No such file or directory" /
// "Δεν υπάρχει τέτοιο αρχείο ή κατάλογος"; an errno the table lacks is named
// by its number.
std::string systemReason(int err, Language language);

// "Δεν ήταν δυνατή η ανάγνωση του αρχείου «name» (reason)."; err 0 gives no reason.
std::string cannotRead(std::string_view name, int err, Language language);
std::string cannotWrite(std::string_view name, int err, Language language);

// A sheet centre refused: "Λάθος στο Φ. (--to 43: από 34° έως 42°)".
std::string centreRefused(operations::ConversionError error, std::string_view option, std::string_view text,
                          Language language);
// "Λάθος στις συντεταγμένες." / "the coordinates cannot be converted".
std::string coordinatesRefused(Language language);

// A name given as a centre that names no sheet, or several: the usage
// error, with the candidates (operations/sheet_names.h).
std::string unknownSheet(std::string_view option, std::string_view text, const std::string& candidates,
                         Language language);
std::string ambiguousSheet(std::string_view option, std::string_view text, const std::string& candidates,
                           Language language);

// A text as usage errors quote it: «text» or "text", controls escaped.
std::string quote(std::string_view text, Language language);

} // namespace hattsheet::cli
