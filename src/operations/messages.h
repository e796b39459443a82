#pragma once
// Every text the operations show, once. Greek, as the users read them.

#include "operations/window_ports.h"
#include "text/system_reason.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
inline constexpr char kOpened[] = "Το άνοιγμα ολοκληρώθηκε";
inline constexpr char kSaved[] = "Η εγγραφή ολοκληρώθηκε";
// A panel without a single non-blank line: no file is chosen or written.
inline constexpr char kNothingToSave[] = "Ο πίνακας είναι κενός: δεν αποθηκεύτηκε τίποτα.";

// How many points a list held: "1 σημείο", "200 σημεία".
inline std::string pointCount(unsigned long long count)
{
    return std::to_string(count).append(count == 1 ? " σημείο" : " σημεία");
}
// A message with a second line that gives how many points it concerns.
inline std::string withPointCount(std::string_view first, unsigned long long count)
{
    return std::string(first).append("\n").append(pointCount(count));
}

// A name or argument as a message shows it: what a terminal would obey or a
// window would draw deceptively is written as an escape. Control characters
// (a line feed, ESC starting a colour or a title change) as \n, \r, \t or
// \xHH; a byte 0x80-0x9F that is no part of a UTF-8 character (0x9B is CSI
// on terminals that take 8-bit controls) as \xHH; the C1 controls
// U+0080-U+009F and the bidirectional embeddings, overrides and isolates
// (U+202A-U+202E, U+2066-U+2069, which reorder what follows them) as
// \uHHHH. Every other byte, Greek letters included, is kept.
inline std::string shownText(std::string_view text)
{
    constexpr char kHex[] = "0123456789abcdef";
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto hex = [&](std::string& out, unsigned value, int digits) {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 0xF]);
    };
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = byte(i);
        // The length and code point of a well-formed UTF-8 character here.
        std::size_t length = 1;
        unsigned code = c;
        if (c >= 0xC2 && c <= 0xF4) {
            length = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            code = c & (0x3F >> (length - 1));
            for (std::size_t k = 1; k < length; ++k) {
                if (i + k >= text.size() || (byte(i + k) & 0xC0) != 0x80) {
                    length = 1;
                    break;
                }
                code = (code << 6) | (byte(i + k) & 0x3F);
            }
            if (length == 1) code = c;
        }
        if (length > 1 && (code <= 0x9F || (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069))) {
            shown.append("\\u");
            hex(shown, code, 4);
        } else if (length > 1) {
            shown.append(text.substr(i, length));
        } else if (c == '\n') {
            shown.append("\\n");
        } else if (c == '\r') {
            shown.append("\\r");
        } else if (c == '\t') {
            shown.append("\\t");
        } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            shown.append("\\x");
            hex(shown, c, 2);
        } else {
            shown.push_back(static_cast<char>(c));
        }
        i += length - 1;
    }
    return shown;
}

// Asked before a save replaces a file that exists; No is the default.
inline std::string replaceExisting(const std::string& path)
{
    return std::string("Το αρχείο «").append(shownText(path)).append("» υπάρχει ήδη. Να αντικατασταθεί;");
}

// A message and the system's reason for its failure (an errno value or
// one of platform's own codes) in brackets after it, in the message's language
// (Greek in the window): "… «name». (Δεν επιτρέπεται η πρόσβαση)". A code of
// 0 (no reason known) adds nothing. The window's and the command line's file
// messages, in either language, all take their reason here.
inline std::string withReason(std::string text, int code, text::Language language = text::Language::Greek)
{
    if (code != 0) text.append(" (").append(text::systemReason(code, language)).append(")");
    return text;
}

// A file that could not be read or written, named in guillemets, and why.
inline std::string cannotRead(std::string_view path, int code)
{
    return withReason(std::string("Δεν ήταν δυνατή η ανάγνωση του αρχείου «").append(shownText(path)).append("»."), code);
}
inline std::string cannotWrite(std::string_view path, int code)
{
    return withReason(std::string("Δεν ήταν δυνατή η εγγραφή του αρχείου «").append(shownText(path)).append("»."), code);
}
// The by-products that could not be written, the folder tried and why.
inline std::string cannotWriteByProducts(std::string_view folder, const std::vector<std::string>& names, int code)
{
    std::string text = names.size() == 1 ? "Δεν ήταν δυνατή η εγγραφή του αρχείου " : "Δεν ήταν δυνατή η εγγραφή των αρχείων ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i != 0) text.append(i + 1 == names.size() ? " και " : ", ");
        text.append("«").append(shownText(names[i])).append("»");
    }
    text.append(" στον φάκελο «").append(shownText(folder)).append("»");
    return withReason(text, code) + ".";
}
// The command line ran out of memory (a record of tens of MiB under a
// memory limit): a failure it reports, not a crash.
inline constexpr char kOutOfMemory[] = "Η μνήμη δεν επαρκεί για τη μετατροπή.";

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
        .append(shownText(path))
        .append("» είναι πολύ μεγάλο για να ανοίξει στο παράθυρο (πάνω από ")
        .append(std::to_string(limitMiB))
        .append(" MiB). Λίστες αυτού του μεγέθους μετατρέπονται με το πρόγραμμα γραμμής εντολών hattsheet-convert.");
}

inline constexpr char kQuit[] = "Θέλετε σίγουρα να εγκαταλείψετε το πρόγραμμα;";
// The quit question's second line while panel 2 holds the lines of a batch
// that were not saved after it.
inline constexpr char kQuitUnsaved[] = "Τα σημεία της τελευταίας μετατροπής δεν έχουν αποθηκευτεί.";
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
