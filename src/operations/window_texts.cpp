#include "operations/window_texts.h"

namespace hattsheet::operations {

namespace {

const MessageBook& book() { return windowBook(); }

} // namespace

const MessageBook& windowBook() { return messageBook(kWindowLanguage); }
const WindowTexts& windowTexts() { return kGreekWindowTexts; }

std::string cannotWriteByProducts(std::string_view folder, const std::vector<std::string>& names, int err)
{
    std::string text = names.size() == 1 ? "Δεν ήταν δυνατή η εγγραφή του αρχείου " : "Δεν ήταν δυνατή η εγγραφή των αρχείων ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i != 0) text.append(i + 1 == names.size() ? " και " : ", ");
        text.append(book().quotedName(names[i]));
    }
    text.append(" στον φάκελο ").append(book().quotedName(folder));
    if (err != 0) text.append(" (").append(book().systemReason(err)).append(")");
    return text + ".";
}

std::string replaceExisting(std::string_view path)
{
    return "Το αρχείο " + book().quotedName(path) + " υπάρχει ήδη. Να αντικατασταθεί;";
}

std::string tooLargeToOpen(std::string_view path, unsigned long long limitMiB)
{
    return "Το αρχείο " + book().quotedName(path) + " είναι πολύ μεγάλο για να ανοίξει στο παράθυρο (πάνω από " +
           std::to_string(limitMiB) +
           " MiB). Λίστες αυτού του μεγέθους μετατρέπονται με το πρόγραμμα γραμμής εντολών hattsheet-convert.";
}

} // namespace hattsheet::operations
