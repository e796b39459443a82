#pragma once
// The texts about point lists that the window and the command line share:
// what layout was recognised, where a record was refused and why. Each asks
// the book of the language given (operations/message_book.h).

#include "operations/message_book.h"
#include "pointfile/layout_reader.h"
#include "pointfile/point_layout.h"
#include "text/language.h"

#include <string>

namespace hattsheet::operations {

// "Διαβάστηκαν 200 σημεία: διαχωριστικό «;», υποδιαστολή «,», γραμμή
// επικεφαλίδας" (and ", χωρίς υψόμετρο" for three fields).
std::string layoutRecognised(unsigned long long points, const pointfile::PointLayout& layout, Language language);

// Where a refused record stands: "εγγραφή 5, γραμμή 5" (both 1-based).
std::string recordPlace(unsigned long long record, unsigned long long line, Language language);
// "γραμμή 5"
std::string linePlace(unsigned long long line, Language language);

// Why: "Χ = «12O4.5» δεν είναι αριθμός", "το Υ είναι κενό", ...
std::string faultReason(const pointfile::RecordFault& fault, Language language);

// After a list read with its records across lines: how many did not sit on
// a line of their own, and the line where the first one starts.
std::string recordsShifted(unsigned long long count, unsigned long long firstLine, Language language);

// A refused sheet centre: "Λάθος στο Φ." / "latitude refused", or the same
// of Δλ.
std::string centreRefused(bool latitude, Language language);
// A point whose coordinates do not convert: "Λάθος στις συντεταγμένες." /
// "the coordinates cannot be converted."
std::string coordinatesRefused(Language language);

// A sheet centre typed with 60 minutes or more ("40.75"), as it was read:
// "40.75 διαβάστηκε ως 41° 15' (μοίρες.λεπτά)". Empty when the minutes are
// below 60 or the text holds no number.
std::string minutesNote(std::string_view degMinText, Language language);

// The command line's message of a list stopped at a record: "error in the
// list: record 5, line 7: " and why (the converter's refusal when it gave
// one, else the fault's reason), with the hint of --records-across-lines
// for a record off its line and, for a line that does not fit a line layout
// in a later block (firstMiB), where the layout came from.
std::string listStopped(unsigned long long record, unsigned long long line, const pointfile::RecordFault& fault,
                        const std::string& refusal, bool firstMiB, Language language);

} // namespace hattsheet::operations
