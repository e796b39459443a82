#pragma once
// The system's reason for a failed read or write, as a message gives it in
// brackets, in the language of the message around it. From this program's
// own table of the errno values its file operations report, so that it reads
// the same on every machine: Debian's C library may lack its Greek
// translations, the Windows build has none, and the C library would answer
// in the language of the process's locale, not in that of the message.

#include "text/language.h"

#include <string>

namespace hattsheet::text {

// "No such file or directory" / "Δεν υπάρχει τέτοιο αρχείο ή κατάλογος" for
// an errno value or one of platform's own codes. An errno the table lacks: the C
// library's text in English, its number in Greek ("σφάλμα συστήματος 116").
std::string systemReason(int err, Language language);

} // namespace hattsheet::text
