#pragma once
// Every text the operations show, once. Greek, as the users read them.

#include <string>

namespace hattsheet::conversion::msg {

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

// A file that could not be read or written, named in guillemets.
inline std::string cannotRead(const std::string& path)
{
    return std::string("Δεν ήταν δυνατή η ανάγνωση του αρχείου «").append(path).append("».");
}
inline std::string cannotWrite(const std::string& path)
{
    return std::string("Δεν ήταν δυνατή η εγγραφή του αρχείου «").append(path).append("».");
}

inline constexpr char kQuit[] = "Θέλετε σίγουρα να εγκαταλείψετε το πρόγραμμα;";
// An operation stopped by the system (no memory left for a huge list).
inline constexpr char kOperationFailed[] = "Η εργασία διακόπηκε από σφάλμα του συστήματος.";

inline constexpr char kOpenTitle[] = "Άνοιγμα αρχείου συντεταγμένων";
inline constexpr char kSaveTitle[] = "Αποθήκευση αρχείου συντεταγμένων";
inline constexpr char kFilterTxt[] = "Αρχεία κειμένου txt (*.txt)";
inline constexpr char kFilterSeq[] = "Αρχεία συν/νων seq (*.seq)";
inline constexpr char kFilterXyh[] = "Αρχεία συν/νων xyh (*.xyh)";

} // namespace hattsheet::conversion::msg
