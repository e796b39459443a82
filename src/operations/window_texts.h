#pragma once
// The window's texts. The window speaks Greek only: this is the Greek book's
// part for it (a window in another language would be a second table), kept
// constexpr so that the widgets' captions are compile-time texts.

#include "operations/message_book.h"

namespace hattsheet::operations {

// The language of the window, and its book.
inline constexpr Language kWindowLanguage = Language::Greek;
const MessageBook& windowBook();

struct WindowTexts {
    // Titles of the message boxes.
    const char* titleWarning;       // refusals and failures
    const char* titleWarningPlain;  // the open operation's invalid-file box
    const char* titleInfo;          // after a batch
    const char* titleInfoPlain;     // after an open or a save
    const char* titleQuit;
    // Messages.
    const char* noList;
    const char* batchDone;
    const char* batchFailed;  // also the Greek command line's first words of a failing record
    const char* invalidFile;
    const char* opened;
    const char* saved;
    const char* nothingToSave;    // a panel without one non-blank line: nothing is chosen or written
    const char* quit;
    const char* quitUnsaved;      // the quit question's second line while a batch is unsaved
    const char* operationFailed;  // an operation stopped by the system (no memory left)
    // File dialogs.
    const char* openTitle;
    const char* saveTitle;
    const char* filterTxt;
    const char* filterSeq;
    const char* filterXyh;
    const char* filterCsv;
    const char* filterLists;
    const char* filterAll;
};

inline constexpr WindowTexts kGreekWindowTexts{
    .titleWarning = "Προσοχή!",
    .titleWarningPlain = "Προσοχή",
    .titleInfo = "Πληροφορία!",
    .titleInfoPlain = "Πληροφορία",
    .titleQuit = "Έξοδος",
    .noList = "Πρέπει να ανοίξτε κάποιο αρχείο.",
    .batchDone = "Η διαδικασία ολοκληρώθηκε επιτυχώς!",
    .batchFailed = "Λάθος στον πίνακα!",
    .invalidFile = "Δεν είναι έγκυρο αρχείο συντεταγμένων",
    .opened = "Το άνοιγμα ολοκληρώθηκε",
    .saved = "Η εγγραφή ολοκληρώθηκε",
    .nothingToSave = "Ο πίνακας είναι κενός: δεν αποθηκεύτηκε τίποτα.",
    .quit = "Θέλετε σίγουρα να εγκαταλείψετε το πρόγραμμα;",
    .quitUnsaved = "Τα σημεία της τελευταίας μετατροπής δεν έχουν αποθηκευτεί.",
    .operationFailed = "Η εργασία διακόπηκε από σφάλμα του συστήματος.",
    .openTitle = "Άνοιγμα αρχείου συντεταγμένων",
    .saveTitle = "Αποθήκευση αρχείου συντεταγμένων",
    .filterTxt = "Αρχεία κειμένου txt (*.txt)",
    .filterSeq = "Αρχεία συν/νων seq (*.seq)",
    .filterXyh = "Αρχεία συν/νων xyh (*.xyh)",
    .filterCsv = "Αρχεία csv (*.csv)",
    .filterLists = "Αρχεία σημείων (*.txt *.seq *.xyh *.csv)",
    .filterAll = "Όλα τα αρχεία (*)",
};

// The window's messages that take data, in its language.
// The by-products that could not be written, the folder tried and why.
std::string cannotWriteByProducts(std::string_view folder, const std::vector<std::string>& names, int err);
// Asked before a save replaces a file that exists; No is the default.
std::string replaceExisting(std::string_view path);
// A list too large for a panel (over limitMiB): the command line converts it
// in constant memory.
std::string tooLargeToOpen(std::string_view path, unsigned long long limitMiB);

} // namespace hattsheet::operations
