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

// fit dialog
namespace hattsheet::operations {

namespace {

std::string panelName(Panel panel) { return panel == Panel::One ? "λίστα 1" : "λίστα 2"; }

std::string codeList(const std::vector<std::string>& codes)
{
    std::string out;
    for (const std::string& c : codes) out.append(out.empty() ? "" : ", ").append(book().quoted(c));
    return out;
}

} // namespace

std::string fitModelTitle(geodesy::FitModel model)
{
    switch (model) {
    case geodesy::FitModel::Similarity: return captions::kFitSimilarity;
    case geodesy::FitModel::Affine: return captions::kFitAffine;
    case geodesy::FitModel::Poly2: return captions::kFitPoly2;
    }
    return {};
}

std::string fitPanelLine(Panel panel, const ListStop& stop)
{
    return "Στη " + panelName(panel) + ": " + windowBook().recordStopped(stop);
}

std::string fitPanelCodes(const std::vector<std::string>& only1, const std::vector<std::string>& only2,
                          std::string_view duplicate)
{
    if (!duplicate.empty()) return "Ο κωδικός " + book().quoted(duplicate) + " δίνεται δύο φορές σε μία λίστα.";
    std::string text;
    if (!only1.empty()) text = "Μόνο στη λίστα 1: " + codeList(only1) + ".";
    if (!only2.empty()) text.append(text.empty() ? "" : "\n").append("Μόνο στη λίστα 2: " + codeList(only2) + ".");
    return text;
}

std::string fitRefusedInWindow(geodesy::FitError error, geodesy::FitModel model, std::size_t used)
{
    const std::string name = book().quoted(fitModelTitle(model));
    switch (error) {
    case geodesy::FitError::TooFewPoints:
        return "Το μοντέλο " + name + " θέλει τουλάχιστον " + std::to_string(geodesy::fewestPoints(model)) +
               " κοινά σημεία σε χρήση· είναι " + std::to_string(used) + ".";
    case geodesy::FitError::Degenerate:
        return "Τα κοινά σημεία σε χρήση δεν ορίζουν το μοντέλο " + name + " (συνευθειακά ή ταυτιζόμενα).";
    case geodesy::FitError::NotFinite: break;
    }
    return "Μια συντεταγμένη κοινού σημείου δεν είναι πεπερασμένος αριθμός.";
}

std::string fitSummary(std::string_view rms, std::size_t used, std::string_view largestCode, std::string_view largest)
{
    return "RMS = " + std::string(rms) + " m σε " + std::to_string(used) + " σημεία σε χρήση · μέγιστο υπόλοιπο = " +
           book().quoted(largestCode) + " " + std::string(largest) + " m";
}

std::string fitFromFile(std::string_view path)
{
    return "Εφαρμόζεται η προσαρμογή του αρχείου " + book().quotedName(path) + ".";
}

} // namespace hattsheet::operations
