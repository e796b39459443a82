#pragma once
// Everything hattsheet-convert says, in the one language of a run: Greek
// when the user's locale is Greek (platform::userReadsGreek), English
// otherwise. Each message goes to stderr on one line after
// "hattsheet-convert: ", the system's reasons for a failed read or write
// included (text/system_reason.h).

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

// "Δεν ήταν δυνατή η ανάγνωση του αρχείου «name». (reason)", the window's
// message, or its English ("cannot read "name". (reason)"); err 0 gives no reason.
std::string cannotRead(std::string_view name, int err, Language language);
std::string cannotWrite(std::string_view name, int err, Language language);

// A sheet centre refused: "Λάθος στο Φ. (--to 43: από 34° έως 42°)".
std::string centreRefused(bool latitude, std::string_view option, std::string_view text, Language language);
// A text as usage errors quote it: «text» or "text", controls escaped.
std::string quote(std::string_view text, Language language);

} // namespace hattsheet::cli
