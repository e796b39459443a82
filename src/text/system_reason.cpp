#include "text/system_reason.h"

#include "base/platform.h"

#include <cerrno>

namespace hattsheet::text {

namespace {

struct Reason {
    int err;
    const char* english;
    const char* greek;
};
// The English texts are glibc's, the Greek ones those of its Greek
// translation where it has one.
constexpr Reason kReasons[] = {
    {platform::kReservedName, "a name Windows keeps for a device", "όνομα που τα Windows κρατούν για συσκευή"},
    {platform::kNotRegularFile, "not a regular file (a pipe, a device or a socket)",
     "δεν είναι κανονικό αρχείο (σωλήνωση, συσκευή ή υποδοχή)"},
    {ENOENT, "No such file or directory", "Δεν υπάρχει τέτοιο αρχείο ή κατάλογος"},
    {EACCES, "Permission denied", "Δεν επιτρέπεται η πρόσβαση"},
    {EPERM, "Operation not permitted", "Η λειτουργία δεν επιτρέπεται"},
    {EISDIR, "Is a directory", "Είναι κατάλογος"},
    {ENOTDIR, "Not a directory", "Δεν είναι κατάλογος"},
    {ENOSPC, "No space left on device", "Δεν υπάρχει χώρος στη συσκευή"},
    {EROFS, "Read-only file system", "Σύστημα αρχείων μόνο για ανάγνωση"},
    {EEXIST, "File exists", "Το αρχείο υπάρχει"},
    {EBADF, "Bad file descriptor", "Άκυρος περιγραφέας αρχείου"},
    {EIO, "Input/output error", "Σφάλμα εισόδου/εξόδου"},
    {EFBIG, "File too large", "Πολύ μεγάλο αρχείο"},
    {ENAMETOOLONG, "File name too long", "Πολύ μεγάλο όνομα αρχείου"},
    {EINVAL, "Invalid argument", "Άκυρη παράμετρος"},
    {ENXIO, "No such device or address", "Δεν υπάρχει τέτοια συσκευή ή διεύθυνση"},
    {ENODEV, "No such device", "Δεν υπάρχει τέτοια συσκευή"},
    {EBUSY, "Device or resource busy", "Η συσκευή ή ο πόρος είναι απασχολημένος"},
    {EMFILE, "Too many open files", "Πάρα πολλά ανοιχτά αρχεία"},
    {ENFILE, "Too many open files in system", "Πάρα πολλά ανοιχτά αρχεία στο σύστημα"},
    {ENOMEM, "Cannot allocate memory", "Δεν είναι δυνατή η δέσμευση μνήμης"},
    {EPIPE, "Broken pipe", "Διακοπή σωλήνωσης"},
    {EXDEV, "Invalid cross-device link", "Άκυρος σύνδεσμος μεταξύ συσκευών"},
    {EMLINK, "Too many links", "Πάρα πολλοί σύνδεσμοι"},
    {EAGAIN, "Resource temporarily unavailable", "Ο πόρος δεν είναι προσωρινά διαθέσιμος"},
    {EINTR, "Interrupted system call", "Διακόπηκε κλήση συστήματος"},
    {ESPIPE, "Illegal seek", "Μη επιτρεπτή αναζήτηση"},
#ifdef ELOOP
    {ELOOP, "Too many levels of symbolic links", "Πάρα πολλά επίπεδα συμβολικών συνδέσμων"},
#endif
#ifdef EDQUOT
    {EDQUOT, "Disk quota exceeded", "Ξεπεράστηκε το όριο χώρου στον δίσκο"},
#endif
#ifdef ETXTBSY
    {ETXTBSY, "Text file busy", "Το αρχείο εκτελείται"},
#endif
#ifdef EOPNOTSUPP
    {EOPNOTSUPP, "Operation not supported", "Η λειτουργία δεν υποστηρίζεται"},
#endif
#ifdef ESTALE
    {ESTALE, "Stale file handle", "Ληγμένος χειριστής αρχείου"},
#endif
#ifdef ETIMEDOUT
    {ETIMEDOUT, "Connection timed out", "Λήξη χρόνου σύνδεσης"},
#endif
#ifdef EOVERFLOW
    {EOVERFLOW, "Value too large for defined data type", "Πολύ μεγάλη τιμή για τον τύπο δεδομένων"},
#endif
};

} // namespace

std::string systemReason(int err, Language language)
{
    for (const Reason& r : kReasons) {
        if (r.err == err) return language == Language::Greek ? r.greek : r.english;
    }
    if (language == Language::English) return platform::reasonText(err);
    return "σφάλμα συστήματος " + std::to_string(err);
}

} // namespace hattsheet::text
