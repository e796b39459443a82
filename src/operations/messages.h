#pragma once
// Every text the operations show, once. Greek, as the users read them.

#include "operations/window_ports.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace hattsheet::operations::msg {

inline constexpr char kTitleWarning[] = "Προσοχή!";
inline constexpr char kTitleWarningPlain[] = "Προσοχή";  // the open operation's invalid-file box
inline constexpr char kTitleInfo[] = "Πληροφορία!";     // after a batch
inline constexpr char kTitleInfoPlain[] = "Πληροφορία"; // after a save
inline constexpr char kTitleQuit[] = "Έξοδος";

inline constexpr char kLatitude[] = "Λάθος στο Φ.";
inline constexpr char kLongitude[] = "Λάθος στο Δλ.";
inline constexpr char kCoordinates[] = "Λάθος στις συντεταγμένες.";

inline constexpr char kNoList[] = "Πρέπει να ανοίξτε κάποιο αρχείο.";
inline constexpr char kBatchDone[] = "Η διαδικασία ολοκληρώθηκε επιτυχώς!";
inline constexpr char kBatchFailed[] = "Λάθος στον πίνακα!";
inline constexpr char kRecordTooLong[] = "Η εγγραφή ξεπερνά τα 64 MiB.";

inline constexpr char kInvalidFile[] = "Δεν είναι έγκυρο αρχείο συντεταγμένων";
inline constexpr char kSaved[] = "Η εγγραφή ολοκληρώθηκε";
// Asked before a save replaces a file that exists; No is the default.
inline std::string replaceExisting(const std::string& path)
{
    return std::string("Το αρχείο «").append(path).append("» υπάρχει ήδη. Να αντικατασταθεί;");
}

// A name or argument as a message shows it: control characters, which a
// terminal would obey (a line feed, ESC starting a colour or a title change),
// are written as \n, \r, \t or \xHH, and the C1 controls U+0080-U+009F of
// UTF-8 as \u00HH. Every other byte, Greek letters included, is kept.
inline std::string shownText(std::string_view text)
{
    constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
        if (c1) {
            const auto code = static_cast<unsigned char>(text[++i]);
            shown.append("\\u00").append(1, kHex[code >> 4]).append(1, kHex[code & 0xF]);
        } else if (c == '\n') {
            shown.append("\\n");
        } else if (c == '\r') {
            shown.append("\\r");
        } else if (c == '\t') {
            shown.append("\\t");
        } else if (c < 0x20 || c == 0x7F) {
            shown.append("\\x").append(1, kHex[c >> 4]).append(1, kHex[c & 0xF]);
        } else {
            shown.push_back(static_cast<char>(c));
        }
    }
    return shown;
}

// A file that could not be read or written, named in guillemets.
inline std::string cannotRead(std::string_view path)
{
    return std::string("Δεν ήταν δυνατή η ανάγνωση του αρχείου «").append(shownText(path)).append("».");
}
inline std::string cannotWrite(std::string_view path)
{
    return std::string("Δεν ήταν δυνατή η εγγραφή του αρχείου «").append(shownText(path)).append("».");
}

// The command line's warning when records do not sit one per line (the list
// is still converted as the window converts it): how many, and the input line
// where the first one starts.
inline std::string recordsOffLine(unsigned long long count, unsigned long long firstLine)
{
    const std::string n = std::to_string(count), line = std::to_string(firstLine);
    const char* hint = " (δεκαδικό κόμμα ή γραμμή χωρίς τέσσερα πεδία;).";
    if (count == 1) {
        return "Προειδοποίηση: 1 εγγραφή δεν βρίσκεται μόνη σε μία γραμμή· αρχίζει στη γραμμή " + line + hint;
    }
    return "Προειδοποίηση: " + n + " εγγραφές δεν βρίσκονται μία ανά γραμμή· η πρώτη αρχίζει στη γραμμή " + line + hint;
}

// A list too large for a panel: the command line converts it in constant memory.
inline std::string tooLargeToOpen(const std::string& path, unsigned long long limitMiB)
{
    return std::string("Το αρχείο «")
        .append(path)
        .append("» είναι πολύ μεγάλο για να ανοίξει στο παράθυρο (πάνω από ")
        .append(std::to_string(limitMiB))
        .append(" MiB). Λίστες αυτού του μεγέθους μετατρέπονται με το πρόγραμμα γραμμής εντολών hattsheet-convert.");
}

inline constexpr char kQuit[] = "Θέλετε σίγουρα να εγκαταλείψετε το πρόγραμμα;";
// An operation stopped by the system (no memory left for a huge list).
inline constexpr char kOperationFailed[] = "Η εργασία διακόπηκε από σφάλμα του συστήματος.";

inline constexpr char kOpenTitle[] = "Άνοιγμα αρχείου συντεταγμένων";
inline constexpr char kSaveTitle[] = "Αποθήκευση αρχείου συντεταγμένων";
inline constexpr char kFilterTxt[] = "Αρχεία κειμένου txt (*.txt)";
inline constexpr char kFilterSeq[] = "Αρχεία συν/νων seq (*.seq)";
inline constexpr char kFilterXyh[] = "Αρχεία συν/νων xyh (*.xyh)";
inline constexpr char kFilterCsv[] = "Αρχεία csv (*.csv)";
inline constexpr char kFilterLists[] = "Αρχεία σημείων (*.txt *.seq *.xyh *.csv)";
inline constexpr char kFilterAll[] = "Όλα τα αρχεία (*)";

} // namespace hattsheet::operations::msg

namespace hattsheet::operations {

// A refusal or a failure as the operations show it: under "Προσοχή!" with the
// critical icon.
inline void showWarning(Dialogs& dialogs, const std::string& text)
{
    dialogs.showMessage(text, msg::kTitleWarning, MessageIcon::Critical);
}

} // namespace hattsheet::operations
