#include "operations/window_texts.h"

#include "geodesy/centre.h"
#include "geodesy/sheet_catalogue.h"
#include "operations/panel_contents.h"

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

std::string withPointsRead(std::string_view first, unsigned long long count, const pointfile::PointLayout& layout)
{
    if (pointfile::isWrittenLayout(layout)) return withPointCount(first, count);
    return std::string(first).append("\n").append(book().layoutRecognised(count, layout));
}

std::string systemName(const LineSystem& system)
{
    if (system.kind == LineSystem::Kind::Egsa87) return "ΕΓΣΑ87";
    if (system.kind == LineSystem::Kind::Other) return system.name;
    std::string name = "HATT με κέντρο φ " + book().quoted(system.phi) + ", Δλ " + book().quoted(system.lambda);
    if (const auto centre = geodesy::readCentre(system.phi, system.lambda)) {
        for (const auto& sheet : geodesy::sheetCatalogue()) {
            if (geodesy::isOnCentre(sheet, centre->phi0Deg, centre->lambda0Deg)) {
                return name + " (φύλλο " + book().sheetNamed(sheet) + ")";
            }
        }
    }
    return name;
}

std::string mixSystemsQuestion(const std::vector<std::string>& held, std::string_view adding)
{
    std::string text = "Ο πίνακας έχει ήδη σημεία σε ";
    for (std::size_t i = 0; i < held.size(); ++i) text.append(i == 0 ? "" : " και ").append(held[i]);
    text.append(".\nΤα νέα σημεία είναι σε ").append(adding);
    return text + ".\nΝα προστεθούν στον ίδιο πίνακα; Μια αποθήκευση θα τα γράψει μαζί σε ένα αρχείο.";
}

// map export
std::string mapSystemsMixed(const std::vector<std::string>& held)
{
    std::string text = "Η λίστα 2 έχει σημεία σε περισσότερα από ένα συστήματα (";
    for (std::size_t i = 0; i < held.size(); ++i) text.append(i == 0 ? "" : " και ").append(held[i]);
    return text + "), και ένα αρχείο χάρτη είναι σε ένα: αποθηκεύστε τα ως λίστα σημείων, ή κρατήστε στη λίστα 2 "
                  "τα σημεία ενός συστήματος.";
}

std::string mapDxfNeedsPlane(std::string_view system)
{
    return "Το DXF σχεδιάζει σε μέτρα επίπεδου συστήματος, και τα σημεία της λίστας 2 είναι σε " + std::string(system) +
           ", γεωγραφικό σύστημα: επιλέξτε άλλον τύπο αρχείου (KML, GeoJSON, GPX), ή μετατρέψτε τα σε επίπεδο σύστημα.";
}

std::string mapGridMissing(std::string_view folder)
{
    return "Ο κάνναβος HEPOS (east.grd και north.grd) δεν βρίσκεται στο " + book().quotedName(folder.empty() ? "?" : folder) +
           ": το Ελληνικό Κτηματολόγιο δημοσιεύει τα δύο αρχεία στον ιστότοπο HEPOS (www.hepos.gr)· κατεβάστε τα και "
           "εγκαταστήστε τα από το μενού «Συστήματα», «Εγκατάσταση καννάβου HEPOS».";
}

std::string mapNotWritten(const ListStop& stop)
{
    return "Δεν γράφτηκε τίποτα: " + book().recordStopped(stop);
}

std::string mapWritten(unsigned long long points, bool throughWgs84Shift)
{
    std::string text = withPointCount(windowTexts().saved, points);
    if (throughWgs84Shift) text.append("\n").append(book().wgs84Accuracy());
    return text;
}

} // namespace hattsheet::operations
