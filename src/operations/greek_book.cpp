// The Greek book: the window's language, and the command line's in a Greek
// locale. The errno texts are those of the C library's Greek translation
// where it has one.

#include "operations/message_book.h"
#include "operations/list_engine.h"

#include "base/platform.h"
#include "operations/proj_pipeline.h"
#include "operations/sheet_names.h"
#include "operations/window_texts.h"

#include <cerrno>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

namespace {

constexpr char kHelpBeforeMargin[] =
    "χρήση: hattsheet-convert --from CENTRE --to CENTRE --point X,Y\n"
    "       hattsheet-convert --from CENTRE --to CENTRE [--records-across-lines] [--keep-layout]\n"
    "                         [--format FORMAT] [INPUT|-] [-o OUTPUT]\n"
    "       hattsheet-convert --sheets [TEXT]\n"
    "       hattsheet-convert --from SYSTEM --to SYSTEM [--hepos-grid FOLDER] --point A,B[,H]\n"
    "       hattsheet-convert --from SYSTEM --to SYSTEM [--hepos-grid FOLDER] [INPUT|-] [-o OUTPUT]\n"
    "       hattsheet-convert --from SYSTEM --to SYSTEM --proj-pipeline [--approximate]\n"
    "       hattsheet-convert --systems\n"
    "       hattsheet-convert --fit similarity|affine|poly2 COMMON_LIST|--common FROM_LIST TO_LIST\n"
    "                         [--check LIST] [--save-fit FILE]\n"
    "       hattsheet-convert --apply-fit FILE (--point X,Y | [INPUT|-] [-o OUTPUT])\n"
    "\n"
    "Μεταφέρει επίπεδες συντεταγμένες της ελληνικής προβολής Hatt (Bessel 1841) από\n"
    "το κέντρο φύλλου --from στο κέντρο φύλλου --to, ή προς και από το ΕΓΣΑ87\n"
    "(TM87, EPSG:2100) με το πολυώνυμο της υπηρεσίας για κάθε φύλλο 1:50.000.\n"
    "  CENTRE   PHI,DL: κέντρο φύλλου σε μοίρες.λεπτά, π.χ. 40.51,-0.51 (40°51',\n"
    "           0°51' δυτικά του μεσημβρινού της Αθήνας)·\n"
    "           ή το όνομα ενός φύλλου (πεζά/κεφαλαία και τόνοι δεν μετρούν, και οι\n"
    "           δύο γραφές, αρκεί μια μοναδική αρχή) ή ο αριθμός ενός φύλλου της\n"
    "           υπηρεσίας: το κέντρο του, και για το ΕΓΣΑ87 το πολυώνυμό του·\n"
    "           ή egsa87 (και ΕΓΣΑ87), για το --to ή το --from\n"
    "  X,Y      ένα σημείο σε μέτρα στο φύλλο --from (E,N από το egsa87)· τυπώνει\n"
    "           τα X, Y στο φύλλο --to (E, N για το egsa87), το γεωγραφικό πλάτος και\n"
    "           μήκη του σημείου, και \"Φύλλο = ΟΝΟΜΑ\" για μετατροπή με το ΕΓΣΑ87\n"
    "  INPUT    λίστα σημείων (κωδικός, X, Y, H ή κωδικός, X, Y ανά γραμμή· πεδία\n"
    "           χωρισμένα με κόμμα, «;», στηλοθέτη ή κενά· υποδιαστολή τελεία, ή κόμμα\n"
    "           όταν τα πεδία δεν χωρίζονται με κόμμα· η γραμμή επικεφαλίδας\n"
    "           παραλείπεται· Windows-1253 ή UTF-8), '-' ή τίποτα για την τυπική\n"
    "           είσοδο· η λίστα που προκύπτει πηγαίνει στην τυπική έξοδο ή στο -o OUTPUT\n"
    "  -o OUTPUT όλα ή τίποτα: το OUTPUT αντικαθίσταται μόνο όταν κάθε εγγραφή\n"
    "           μετατράπηκε και γράφτηκε, αλλιώς ένα υπάρχον OUTPUT μένει όπως ήταν\n"
    "           (η τυπική έξοδος, το /dev/stdout και οι συσκευές παίρνουν τις γραμμές\n"
    "           πριν από την εγγραφή που απέτυχε)\n"
    "  --records-across-lines  διαβάζει εγγραφές με κόμμα που δεν είναι μία ανά\n"
    "           γραμμή όπως το παράθυρο (αλλιώς μια τέτοια εγγραφή είναι λάθος)\n"
    "  --keep-layout  γράφει τη λίστα στη διάταξη που διαβάστηκε (διαχωριστικό,\n"
    "           υποδιαστολή, γραμμή επικεφαλίδας), και το λέει· αλλιώς με κόμματα\n"
    "  --format csv|kml|geojson|dxf|gpx  γραμμές με κόμματα (csv, η προεπιλογή) ή\n"
    "           αρχείο χάρτη: KML 2.2, GeoJSON ή GPX 1.1 (WGS84, το H ως ύψος, οι\n"
    "           συντεταγμένες του --to δίπλα σε κάθε σημείο) ή DXF (POINT στα E, N, H\n"
    "           επίπεδου --to και TEXT με τον κωδικό)· χωρίς αυτό, το -o OUTPUT με\n"
    "           κατάληξη .kml, .geojson, .dxf ή .gpx διαλέγει τη μορφή\n"
    "  --       τέλος των επιλογών: ό,τι ακολουθεί είναι INPUT, και όταν αρχίζει με '-'\n"
    "  --sheets [TEXT]  τα φύλλα που το όνομά τους περιέχει το TEXT (όλα χωρίς αυτό):\n"
    "           όνομα, αριθμός υπηρεσίας, κέντρο ως PHI,DL, και αν χρησιμοποιείται το\n"
    "           πολυώνυμό του ΕΓΣΑ87\n"
    "  SYSTEM   ένα CENTRE, ή egsa87 (tm87), egsa87-geo, tm07, htrs07, wgs84, tm3-west,\n"
    "           tm3-central, tm3-east (tm3:-3, tm3:0, tm3:3): οποιαδήποτε δύο· τα A,B\n"
    "           με τη σειρά του συστήματος --from (E,N, X,Y ή PHI,LAMBDA σε μοίρες), H\n"
    "           το ύψος· γεωγραφικά αποτελέσματα και λίστες σε μοίρες με 9 δεκαδικά\n"
    "  --systems  τα συστήματα, οι συντεταγμένες τους και η ακρίβεια προς το ΕΓΣΑ87\n"
    "  --hepos-grid FOLDER  ο κάνναβος HEPOS (east.grd, north.grd) για τα tm07 και\n"
    "           htrs07· αλλιώς το HATTSHEET_HEPOS_GRID, αλλιώς ο φάκελος δεδομένων του χρήστη\n"
    "  --proj-pipeline  τυπώνει τη διαδρομή PROJ (pipeline) αντί να μετατρέψει (για\n"
    "           ogr2ogr -ct, QGIS, PostGIS ST_TransformPipeline· γεωγραφικά άκρα σε\n"
    "           μοίρες, πρώτα το μήκος)· σημειώσεις στο stderr. Hatt προς Hatt ή TM3\n"
    "           με aeqd, έως 13 mm από τις σειρές· προς ή από το ΕΓΣΑ87 και πέρα θέλει\n"
    "           φύλλο με όνομα (το πολυώνυμό του για κάθε σημείο)· TM3 προς το νέο\n"
    "           datum και ο κάνναβος HEPOS απορρίπτονται\n"
    "  --approximate  με το --proj-pipeline, TM07 και HTRS07 μέσω του βήματος\n"
    "           Helmert χωρίς τον κάνναβο: απόκλιση περίπου 0,7 m, έως 2,7 m\n"
    "  --fit MODEL  προσαρμόζει ομοιότητα (4 παράμετροι), αφινικό (6) ή δευτέρου\n"
    "           βαθμού (poly2, 12) μετασχηματισμό με ελάχιστα τετράγωνα σε κοινά σημεία\n"
    "           (κωδικός, x, y, X, Y ανά γραμμή, ή δύο λίστες ανά κωδικό με --common)·\n"
    "           τυπώνει το υπόλοιπο κάθε σημείου, το RMS και τις παραμέτρους· τα σημεία\n"
    "           του --check LIST δεν μπαίνουν στην προσαρμογή· --save-fit FILE τη φυλάει\n"
    "  --apply-fit FILE  μετατρέπει σημείο ή λίστα (κωδικός, x, y[, H]) με φυλαγμένη προσαρμογή\n"
    "  --help, --version\n"
    "\n"
    "Προς το ΕΓΣΑ87 ένα σημείο παίρνει το πολυώνυμο του φύλλου του κέντρου --from\n"
    "που το περιέχει (η νότια και η δυτική πλευρά μέσα)· με --from ΟΝΟΜΑ εκείνου\n"
    "του φύλλου, με προειδοποίηση για σημεία πάνω από ";
constexpr char kHelpAfterMargin[] =
    " έξω από το περίγραμμά\n"
    "του. Από το ΕΓΣΑ87 το πολυώνυμο αντιστρέφεται ακριβώς (έως 0,001 mm), στο φύλλο\n"
    "του κέντρου --to που περιέχει το αποτέλεσμα. Σημείο σε κανένα φύλλο αυτού του\n"
    "κέντρου, ή σε ένα από τα έξι φύλλα με ασυνεπές πολυώνυμο, απορρίπτεται.\n"
    "\n"
    "Τα υψόμετρα (H, h) περνούν αμετάβλητα: δεν χρησιμοποιείται μοντέλο γεωειδούς.\n"
    "Το μοντέλο HEPOS (TM07 <-> TM87) διαβάζει το ύψος ως γεωμετρικό (0 όταν το\n"
    "σημείο δεν έχει)· το WGS84 μέσω EPSG:1272, με ακρίβεια περίπου 1 m.\n"
    "\n"
    "Τα μηνύματα είναι στα ελληνικά όταν το LC_ALL, το LC_MESSAGES ή το LANG ορίζει\n"
    "ελληνική τοπική ρύθμιση.\n"
    "\n"
    "Κατάσταση εξόδου:\n"
    "  0   ολοκληρώθηκε\n"
    "  1   εγγραφή που δεν μετατρέπεται, ή αρχείο που δεν διαβάζεται ή δεν γράφεται\n"
    "  2   κέντρο φύλλου ή συντεταγμένες που απορρίφθηκαν, ή για το ΕΓΣΑ87 φύλλο που\n"
    "      απορρίφθηκε ή σημείο σε κανένα χρησιμοποιήσιμο φύλλο· δεν γράφεται τίποτα·\n"
    "      ή διαδρομή χωρίς pipeline του PROJ\n"
    "  64  λάθος χρήσης (και άγνωστο ή διφορούμενο όνομα φύλλου)\n";

struct Reason {
    int err;
    const char* text;
};
constexpr Reason kReasons[] = {
    {platform::kReservedName, "όνομα που τα Windows κρατούν για συσκευή"},
    {platform::kNotRegularFile, "δεν είναι κανονικό αρχείο (σωλήνωση, συσκευή ή υποδοχή)"},
    // file safety: the program's own refusals of files that could hang it or
    // that another user planted.
    {platform::kWouldWait, "η ανάγνωση θα περίμενε δεδομένα που ίσως δεν έρθουν ποτέ"},
    {platform::kOthersFile, "αρχείο άλλου χρήστη σε κοινόχρηστο φάκελο (sticky, εγγράψιμο από όλους)"},
    {ENOENT, "Δεν υπάρχει τέτοιο αρχείο ή κατάλογος"},
    {EACCES, "Δεν επιτρέπεται η πρόσβαση"},
    {EPERM, "Η λειτουργία δεν επιτρέπεται"},
    {EISDIR, "Είναι κατάλογος"},
    {ENOTDIR, "Δεν είναι κατάλογος"},
    {ENOSPC, "Δεν υπάρχει χώρος στη συσκευή"},
    {EROFS, "Σύστημα αρχείων μόνο για ανάγνωση"},
    {EEXIST, "Το αρχείο υπάρχει"},
    {EBADF, "Άκυρος περιγραφέας αρχείου"},
    {EIO, "Σφάλμα εισόδου/εξόδου"},
    {EFBIG, "Πολύ μεγάλο αρχείο"},
    {ENAMETOOLONG, "Πολύ μεγάλο όνομα αρχείου"},
    {EINVAL, "Άκυρη παράμετρος"},
    {ENXIO, "Δεν υπάρχει τέτοια συσκευή ή διεύθυνση"},
    {ENODEV, "Δεν υπάρχει τέτοια συσκευή"},
    {EBUSY, "Η συσκευή ή ο πόρος είναι απασχολημένος"},
    {EMFILE, "Πάρα πολλά ανοιχτά αρχεία"},
    {ENFILE, "Πάρα πολλά ανοιχτά αρχεία στο σύστημα"},
    {ENOMEM, "Δεν είναι δυνατή η δέσμευση μνήμης"},
    {EPIPE, "Διακοπή σωλήνωσης"},
    {EXDEV, "Άκυρος σύνδεσμος μεταξύ συσκευών"},
    {EMLINK, "Πάρα πολλοί σύνδεσμοι"},
    {EAGAIN, "Ο πόρος δεν είναι προσωρινά διαθέσιμος"},
    {EINTR, "Διακόπηκε κλήση συστήματος"},
    {ESPIPE, "Μη επιτρεπτή αναζήτηση"},
#ifdef ELOOP
    {ELOOP, "Πάρα πολλά επίπεδα συμβολικών συνδέσμων"},
#endif
#ifdef EDQUOT
    {EDQUOT, "Ξεπεράστηκε το όριο χώρου στον δίσκο"},
#endif
#ifdef ETXTBSY
    {ETXTBSY, "Το αρχείο εκτελείται"},
#endif
#ifdef EOPNOTSUPP
    {EOPNOTSUPP, "Η λειτουργία δεν υποστηρίζεται"},
#endif
#ifdef ESTALE
    {ESTALE, "Ληγμένος χειριστής αρχείου"},
#endif
#ifdef ETIMEDOUT
    {ETIMEDOUT, "Λήξη χρόνου σύνδεσης"},
#endif
#ifdef EOVERFLOW
    {EOVERFLOW, "Πολύ μεγάλη τιμή για τον τύπο δεδομένων"},
#endif
};

// Why one of the six sheets is refused, as measured (data/README.md).
const char* defectText(geodesy::SheetDefect defect)
{
    switch (defect) {
    case geodesy::SheetDefect::OriginOffEgsa87:
        return "οι σταθεροί όροι A0, B0 απέχουν 270 km και 11 km από το σημείο όπου πέφτει το κέντρο του στο ΕΓΣΑ87, και το κέντρο του (Δλ 5°45') είναι εκτός των δεκτών κέντρων";
    case geodesy::SheetDefect::CoefficientSlip:
        return "ο συντελεστής A2 διαφέρει από των φύλλων του ίδιου κέντρου (σφάλματα έως 150-253 m)";
    case geodesy::SheetDefect::ImpossibleScale:
        return "οι συντελεστές του δίνουν κλίμακα εκτός κατά -520 ή +3079 ppm (άλματα 27-53 m στα όριά του)";
    case geodesy::SheetDefect::NorthingScaleSlip:
        return "ο συντελεστής B2 διαφέρει κατά -487 ppm από των γειτόνων του (άλμα 5,4 m στα όριά του)";
    case geodesy::SheetDefect::None: break;
    }
    return "";
}

const char* fieldName(char field)
{
    switch (field) {
    case 'X': return "Χ";
    case 'Y': return "Υ";
    // fit lists: a common list's source coordinates (code, x, y, X, Y)
    case 'x': return "x";
    case 'y': return "y";
    default: return "Η";
    }
}

class GreekBook final : public MessageBook {
public:
    std::string quoted(std::string_view text) const override { return "«" + shownExcerpt(text) + "»"; }
    // Bounded excerpts.
    std::string quotedName(std::string_view path) const override { return "«" + shownName(path) + "»"; }
    std::string warned(std::string_view text) const override { return "Προειδοποίηση: " + std::string(text); }

    std::string pointCount(unsigned long long points) const override
    {
        return std::to_string(points).append(points == 1 ? " σημείο" : " σημεία");
    }
    std::string layoutRecognised(unsigned long long points, const pf::PointLayout& layout) const override
    {
        return "Διαβάστηκαν " + pointCount(points) + ": " + layoutText(layout);
    }
    std::string recordPlace(unsigned long long record, unsigned long long line) const override
    {
        return "εγγραφή " + std::to_string(record) + ", " + linePlace(line);
    }
    std::string linePlace(unsigned long long line) const override { return "γραμμή " + std::to_string(line); }
    std::string faultReason(const pf::RecordFault& fault) const override
    {
        const std::string count = std::to_string(fault.count);
        switch (fault.problem) {
        case pf::RecordProblem::FieldCount: return count + " πεδία αντί για " + std::to_string(fault.expected);
        case pf::RecordProblem::EmptyField: return std::string("το ") + fieldName(fault.field) + " είναι κενό";
        case pf::RecordProblem::NotANumber:
            return fieldName(fault.field) + (" = " + quoted(fault.text)) + " δεν είναι αριθμός";
        case pf::RecordProblem::CutShort: return "το κείμενο τελειώνει μέσα στην εγγραφή";
        case pf::RecordProblem::OffLine:
            return "η εγγραφή δεν βρίσκεται μόνη σε μία γραμμή (γραμμή με " + count +
                   " πεδία· κάθε γραμμή θέλει 4, ή 3 σε όλες)";
        case pf::RecordProblem::Ambiguous:
            return count + " πεδία χωρισμένα με κόμμα· αν το κόμμα είναι υποδιαστολή, χωρίστε τα πεδία με «;» "
                           "ή γράψτε τους αριθμούς με τελεία";
        case pf::RecordProblem::NotConvertible: return "οι συντεταγμένες δεν μετατρέπονται";
        case pf::RecordProblem::TooLong: return "η εγγραφή ξεπερνά τα " + std::to_string(kLongestRecordBytes >> 20) + " MiB";
        case pf::RecordProblem::Thousands: return thousandsReason(fault);
        }
        return {};
    }
    std::string recordsShifted(unsigned long long count, unsigned long long firstLine) const override
    {
        const std::string line = std::to_string(firstLine);
        const char* hint = " (δεκαδικό κόμμα ή γραμμή χωρίς τέσσερα πεδία;).";
        if (count == 1) return warned("1 εγγραφή δεν βρίσκεται μόνη σε μία γραμμή· αρχίζει στη γραμμή " + line + hint);
        return warned(std::to_string(count) + " εγγραφές δεν βρίσκονται μία ανά γραμμή· η πρώτη αρχίζει στη γραμμή " +
                      line + hint);
    }
    std::string listFailed() const override { return kGreekWindowTexts.batchFailed; }
    std::string acrossLinesHint() const override { return " (το --records-across-lines τη διαβάζει όπως το παράθυρο)"; }
    std::string firstBlockHint() const override { return " (η διάταξη αναγνωρίστηκε από το πρώτο MiB της λίστας)"; }

    std::string centreRefused(geodesy::CentreError error) const override
    {
        return error == geodesy::CentreError::Latitude ? "Λάθος στο Φ." : "Λάθος στο Δλ.";
    }
    std::string centreOutOfRange(geodesy::CentreError error, std::string_view option,
                                 std::string_view text) const override
    {
        namespace g = hattsheet::geodesy;
        const std::string range =
            error == g::CentreError::Latitude
                ? "από " + degreesText(g::kMinCentreLatitudeDeg) + " έως " + degreesText(g::kMaxCentreLatitudeDeg)
                : "από " + degreesText(g::kMinCentreLongitudeDeg) + " έως " + degreesText(g::kMaxCentreLongitudeDeg) +
                      " από την Αθήνα";
        return centreRefused(error) + " (" + std::string(option) + " " + shownExcerpt(text) + ": " + range + ")";
    }
    std::string coordinatesRefused() const override { return "Λάθος στις συντεταγμένες."; }
    std::string minutesRead(std::string_view typed, std::string_view angle) const override
    {
        return "Το " + shownExcerpt(typed) + " διαβάστηκε ως " + std::string(angle) +
               " (μοίρες.λεπτά, με 60 λεπτά ή περισσότερα)";
    }

    std::string sheetNamed(const geodesy::Sheet& sheet) const override
    {
        return "«" + std::string(sheet.name) + "» (ΟΚΧΕ " + std::to_string(sheet.agencyNumber) + ")";
    }
    std::string defectiveSheet(const geodesy::Sheet& sheet) const override
    {
        return "Το πολυώνυμο ΕΓΣΑ87 του φύλλου " + sheetNamed(sheet) +
               " δεν χρησιμοποιείται: " + defectText(geodesy::sheetDefect(sheet)) + ".";
    }
    std::string offSheets(std::string_view phiText, std::string_view lambdaText) const override
    {
        return "Το σημείο δεν βρίσκεται σε κανένα φύλλο 1:50.000 του κέντρου φ = " + shownExcerpt(phiText) +
               ", Δλ = " + shownExcerpt(lambdaText) + ".";
    }
    std::string noSheetOnCentre(std::string_view phiText, std::string_view lambdaText) const override
    {
        return "Κανένα φύλλο 1:50.000 δεν έχει κέντρο φ = " + shownExcerpt(phiText) + ", Δλ = " +
               shownExcerpt(lambdaText) + " (για το ΕΓΣΑ87 χρειάζεται κέντρο φύλλου).";
    }
    std::string farOutside(unsigned long long count, const geodesy::Sheet& sheet) const override
    {
        return warned(std::to_string(count) + (count == 1 ? " σημείο απέχει" : " σημεία απέχουν") + " πάνω από " +
                      farOutsideDistance() + " από το περίγραμμα του φύλλου " + sheetNamed(sheet) +
                      "· εκεί ισχύει το πολυώνυμο άλλου φύλλου.");
    }
    std::string sheetUsable(bool usable) const override { return usable ? "ΕΓΣΑ87" : "χωρίς ΕΓΣΑ87"; }

    std::string systemReason(int err) const override
    {
        for (const Reason& r : kReasons) {
            if (r.err == err) return r.text;
        }
        return "σφάλμα συστήματος " + std::to_string(err);
    }
    std::string cannotRead(std::string_view path, int err) const override
    {
        return withReason("Δεν ήταν δυνατή η ανάγνωση του αρχείου " + quotedName(path) + ".", err);
    }
    std::string cannotWrite(std::string_view path, int err) const override
    {
        return withReason("Δεν ήταν δυνατή η εγγραφή του αρχείου " + quotedName(path) + ".", err);
    }
    std::string outOfMemory() const override { return withReason("Η μνήμη δεν επαρκεί για τη μετατροπή.", ENOMEM); }

    std::string helpText() const override { return kHelpBeforeMargin + farOutsideDistance() + kHelpAfterMargin; }
    std::string seeHelp() const override { return "δείτε hattsheet-convert --help"; }
    std::string usageError(const UsageError& e) const override;

    // Συστήματα: μετατροπές ανάμεσα σε δύο οποιαδήποτε συστήματα.
    std::string systemName(SystemKind kind) const override
    {
        switch (kind) {
        case SystemKind::Hatt: return "Hatt σε κέντρο φύλλου, παλαιό datum (Bessel 1841)";
        case SystemKind::Egsa87: return "ΕΓΣΑ87 / TM87 (EPSG:2100)";
        case SystemKind::Egsa87Geographic: return "ΕΓΣΑ87 γεωγραφικές, GRS80 (EPSG:4121)";
        case SystemKind::Tm07: return "HTRS07 / TM07";
        case SystemKind::Htrs07: return "HTRS07 γεωγραφικές, GRS80";
        case SystemKind::Wgs84: return "WGS84 γεωγραφικές (EPSG:4326)";
        case SystemKind::Tm3West: return "ΤΜ3 δυτική ζώνη (Αθήνα -3°), παλαιό datum";
        case SystemKind::Tm3Central: return "ΤΜ3 κεντρική ζώνη (μεσημβρινός Αθηνών), παλαιό datum";
        case SystemKind::Tm3East: return "ΤΜ3 ανατολική ζώνη (Αθήνα +3°), παλαιό datum";
        }
        return {};
    }
    std::string coordinateNames(SystemKind kind) const override
    {
        if (kind == SystemKind::Htrs07) return "φ, λ (μοίρες), h (m, γεωμετρικό)";
        if (isGeographic(kind)) return "φ, λ (μοίρες)";
        return kind == SystemKind::Hatt ? "X, Y (m)" : "E, N (m)";
    }
    std::string accuracyToEgsa87(SystemKind kind) const override
    {
        switch (kind) {
        case SystemKind::Hatt: return "το πολυώνυμο του φύλλου (της υπηρεσίας)";
        case SystemKind::Egsa87: return "-";
        case SystemKind::Egsa87Geographic: return "ακριβής (TM87 έως 0,1 mm)";
        case SystemKind::Tm07:
        case SystemKind::Htrs07: return "το μοντέλο HEPOS με τον κάνναβό του (σημεία ελέγχου έως 1 mm)";
        case SystemKind::Wgs84: return "περίπου 1 m (EPSG:1272)";
        default: return "ακριβής έως το Bessel, μετά το πολυώνυμο του φύλλου";
        }
    }
    std::string gridNotFound(std::string_view folder) const override
    {
        return "Ο κάνναβος HEPOS (east.grd και north.grd) δεν βρίσκεται στο " + quotedName(folder.empty() ? "?" : folder) +
               ": το Ελληνικό Κτηματολόγιο δημοσιεύει τα δύο αρχεία στον ιστότοπο HEPOS (www.hepos.gr)· βάλτε τα "
               "σε αυτόν τον φάκελο, ή δώστε τον δικό τους με --hepos-grid ΦΑΚΕΛΟΣ ή HATTSHEET_HEPOS_GRID.";
    }
    std::string gridRefused(const geodesy::GridFault& fault) const override
    {
        using G = geodesy::GridProblem;
        std::string reason;
        switch (fault.problem) {
        case G::Unreadable: return cannotRead(fault.file, fault.error);
        case G::Unwritable: return cannotWrite(fault.file, fault.error);
        case G::HeaderNumber: reason = "γραμμή επικεφαλίδας που δεν είναι ένας αριθμός"; break;
        case G::RowCount: reason = "όχι 408 γραμμές κόμβων"; break;
        case G::ColumnCount: reason = "όχι 422 στήλες"; break;
        case G::Spacing: reason = "βήμα άλλο από 2000 m"; break;
        case G::Origin: reason = "όχι η πρώτη γραμμή και στήλη του μοντέλου (N 1845619, E 41600)"; break;
        case G::NotANumber: reason = "διόρθωση που δεν είναι αριθμός εκατοστών έως 1000"; break;
        case G::ShortRow: reason = "λιγότεροι από 422 αριθμοί"; break;
        case G::LongRow: reason = "περισσότεροι από 422 αριθμοί"; break;
        case G::MissingRows: reason = "το αρχείο τελειώνει πριν από τις 408 γραμμές του"; break;
        case G::TextAfterRows: reason = "κείμενο μετά την τελευταία γραμμή"; break;
        }
        return "Δεν είναι αρχείο του καννάβου HEPOS: " + quotedName(fault.file) + ", γραμμή " + std::to_string(fault.line) +
               ": " + reason + ".";
    }
    std::string gridInstalled(std::string_view folder) const override
    {
        return "Ο κάνναβος HEPOS εγκαταστάθηκε στο " + quotedName(folder) + ".";
    }
    std::string outsideGrid() const override { return "Το σημείο βρίσκεται έξω από τον κάνναβο HEPOS."; }
    std::string offEverySheet() const override { return "Το σημείο δεν βρίσκεται σε κανένα χρησιμοποιήσιμο φύλλο 1:50.000."; }
    std::string wgs84Accuracy() const override
    {
        return "Σημείωση: ΕΓΣΑ87 <-> WGS84 μέσω EPSG:1272 (γεωκεντρική μετάθεση), ακρίβεια περίπου 1 m.";
    }

    // Lists and names.
    std::string thousandsReason(const pf::RecordFault& fault) const override
    {
        return fieldName(fault.field) + (" = " + quoted(fault.text)) + " έχει διαχωριστικό χιλιάδων " +
               quoted(std::string(1, fault.text[fault.text.find_first_of(".,")])) + "· γράψτε τον αριθμό χωρίς αυτό";
    }
    std::string layoutWritten(const pf::PointLayout& layout) const override
    {
        return "Γράφτηκε στη διάταξη της λίστας: " + layoutText(layout);
    }
    std::string noSheetMatched(std::string_view text, const std::vector<const geodesy::Sheet*>& closest) const override
    {
        return "κανένα φύλλο δεν έχει όνομα που περιέχει το " + quoted(text) + " ή αυτόν τον αριθμό" +
               (closest.empty() ? "" : "· τα πλησιέστερα ονόματα: " + candidateList(closest));
    }

    // The window's refused centre: the accepted range.
    std::string centreRange(geodesy::CentreError error) const override
    {
        namespace g = hattsheet::geodesy;
        return error == g::CentreError::Latitude
                   ? "Το φ του κέντρου γίνεται δεκτό από " + degreesText(g::kMinCentreLatitudeDeg) + " έως " +
                         degreesText(g::kMaxCentreLatitudeDeg) + "."
                   : "Το Δλ του κέντρου γίνεται δεκτό από " + degreesText(g::kMinCentreLongitudeDeg) + " έως " +
                         degreesText(g::kMaxCentreLongitudeDeg) + " από τον μεσημβρινό της Αθήνας.";
    }

    // Μορφές χάρτη: --format και η κατάληξη του αρχείου του -o.
    std::string unknownFormat(std::string_view text) const override
    {
        return "--format " + quoted(text) + ": άγνωστη μορφή· γράψτε csv, kml, geojson, dxf ή gpx";
    }
    std::string dxfNeedsPlane(SystemKind kind) const override
    {
        return "Το DXF σχεδιάζει σε μέτρα επίπεδου συστήματος, και το " + systemName(kind) +
               " είναι γεωγραφικό: επιλέξτε επίπεδο --to ή άλλο --format";
    }
    std::string notWithMapFormat(std::string_view option) const override
    {
        return std::string(option) + " δεν συνδυάζεται με μορφή χάρτη (--format, ή -o με κατάληξη .kml, .geojson, .dxf ή .gpx)";
    }

    // fit
    static std::string codeList(const std::vector<std::string>& codes)
    {
        std::string out;
        for (const std::string& c : codes) out.append(out.empty() ? "" : ", ").append(shownExcerpt(c));
        return out;
    }
    std::string fitWord(FitWord word) const override
    {
        constexpr const char* words[] = {"κλίμακα", "στροφή", "μέγιστο υπόλοιπο", "σημεία ελέγχου", "μοντέλο"};
        return words[static_cast<int>(word)];
    }
    std::string fitUsage() const override
    {
        return "το --fit ΜΟΝΤΕΛΟ θέλει COMMON_LIST ή --common FROM_LIST TO_LIST· το --apply-fit ΑΡΧΕΙΟ θέλει INPUT ή --point X,Y";
    }
    std::string fitUnknownModel(std::string_view text) const override
    {
        return "--fit \"" + shownExcerpt(text) + "\": τα μοντέλα είναι similarity, affine, poly2";
    }
    std::string fitListLine(std::string_view path, unsigned long long line, std::size_t fields) const override
    {
        const std::string where = shownName(path) + ", γραμμή " + std::to_string(line) + ": ";
        if (fields == 0) return where + "μια συντεταγμένη δεν είναι αριθμός";
        return where + std::to_string(fields) + " πεδία, όχι κωδικός και συντεταγμένες";
    }
    std::string fitCodes(const std::vector<std::string>& onlyFrom, const std::vector<std::string>& onlyTo,
                         std::string_view duplicate) const override
    {
        if (!duplicate.empty()) return "ο κωδικός " + shownExcerpt(duplicate) + " δίνεται δύο φορές σε μία λίστα";
        std::string out;
        if (!onlyFrom.empty()) out = "μόνο στη FROM_LIST: " + codeList(onlyFrom);
        if (!onlyTo.empty()) out.append(out.empty() ? "" : "· ").append("μόνο στη TO_LIST: " + codeList(onlyTo));
        return out;
    }
    std::string fitRefused(int error, std::string_view model, std::size_t fewest) const override
    {
        const std::string m(model);
        if (error == 0) return "το " + m + " θέλει τουλάχιστον " + std::to_string(fewest) + " κοινά σημεία";
        if (error == 1) return "τα κοινά σημεία δεν ορίζουν μετασχηματισμό " + m + " (συνευθειακά ή ταυτιζόμενα)";
        return "μια συντεταγμένη κοινού σημείου δεν είναι πεπερασμένος αριθμός";
    }
    std::string fitFileRefused(std::string_view path, unsigned long long line) const override
    {
        return shownName(path) + (line == 0 ? ": δεν είναι αρχείο μετασχηματισμού (λείπει ή είναι λάθος μια γραμμή)"
                                            : ": δεν είναι αρχείο μετασχηματισμού (γραμμή " + std::to_string(line) + ")");
    }

    // fit lists
    std::string fitAboutOrigin() const override
    {
        return "ως προς x = y = 0, όπως τα πολυώνυμα των φύλλων: X = A0 + A1·x + A2·y + A3·x² + A4·y² + A5·x·y, Y με B0..B5";
    }

    // PROJ pipelines: --proj-pipeline και --approximate.
    std::string pipelineNeedsSheet(std::string_view option,
                                   const std::vector<const geodesy::Sheet*>& sheets) const override
    {
        return std::string(option) +
               ": το πρόγραμμα παίρνει για κάθε σημείο το πολυώνυμο του φύλλου αυτού του κέντρου όπου βρίσκεται, "
               "κάτι που μια διαδρομή PROJ δεν μπορεί να διαλέξει· δώστε το φύλλο με το όνομά του (" +
               std::string(option) + " ΟΝΟΜΑ" + (sheets.empty() ? std::string(")") : "): " + candidateList(sheets));
    }
    std::string pipelineTm3PerPoint(std::string_view option) const override
    {
        return std::string(option) +
               ": μεταξύ TM3 και νέου datum το πρόγραμμα παίρνει το πολυώνυμο του φύλλου όπου βρίσκεται κάθε σημείο, "
               "κάτι που μια διαδρομή PROJ δεν μπορεί να διαλέξει· μετατρέψτε το TM3 σε φύλλο Hatt με όνομα και "
               "από εκείνο το φύλλο παραπέρα";
    }
    std::string pipelineNeedsGrid() const override
    {
        return "ο κάνναβος HEPOS διαβάζεται σε επίπεδες συντεταγμένες TM07, κάτι που το PROJ πριν από το 9.4 δεν "
               "κάνει σε διαδρομή· το --approximate τυπώνει μόνο το βήμα Helmert (απόκλιση περίπου " +
               decimalComma(projNumber(kWithoutGridMedianMetres)) + " m, έως " +
               decimalComma(projNumber(kWithoutGridMetres)) + " m)";
    }
    std::string pipelineAeqdNote() const override
    {
        return "Σημείωση: η διαδρομή έχει την ακριβή αζιμουθιακή ισαπέχουσα προβολή του PROJ (aeqd) όπου το "
               "πρόγραμμα έχει τις σειρές Hatt: διαφέρουν έως " + decimalComma(projNumber(kAeqdAgainstSeriesMm)) +
               " mm στα περιγράμματα των φύλλων, κάτω από 3 mm σε 30 km από το κέντρο.";
    }
    std::string pipelineSheetNote(const geodesy::Sheet& sheet) const override
    {
        return "Σημείωση: η διαδρομή εφαρμόζει το πολυώνυμο του φύλλου " + sheetNamed(sheet) +
               " σε κάθε σημείο· το πρόγραμμα προειδοποιεί για σημεία πάνω από " + farOutsideDistance() +
               " έξω από το περίγραμμά του.";
    }
    std::string pipelineWithoutGridNote() const override
    {
        return "Σημείωση: --approximate: το βήμα Helmert χωρίς τον κάνναβο HEPOS, περίπου " +
               decimalComma(projNumber(kWithoutGridMedianMetres)) + " m (έως " +
               decimalComma(projNumber(kWithoutGridMetres)) + " m) από τη μετατροπή του προγράμματος με τον κάνναβο.";
    }
    std::string pipelineTakesNo(std::string_view option) const override
    {
        return "το --proj-pipeline τυπώνει τη διαδρομή των --from και --to και δεν μετατρέπει τίποτα: δεν παίρνει " +
               std::string(option);
    }
    std::string approximateNeedsPipeline() const override { return "το --approximate πάει μόνο με το --proj-pipeline"; }
    static std::string decimalComma(std::string number)
    {
        for (char& c : number) c = c == '.' ? ',' : c;
        return number;
    }

private:
    // "διαχωριστικό «;», υποδιαστολή «,», γραμμή επικεφαλίδας"
    std::string layoutText(const pf::PointLayout& layout) const
    {
        std::string separator;
        switch (layout.separator) {
        case pf::Separator::Comma: separator = quoted(","); break;
        case pf::Separator::Semicolon: separator = quoted(";"); break;
        case pf::Separator::Tab: separator = "στηλοθέτης (Tab)"; break;
        case pf::Separator::Spaces: separator = "κενά"; break;
        }
        std::string text = "διαχωριστικό " + separator + ", υποδιαστολή " +
                           quoted(layout.decimal == pf::DecimalMark::Comma ? "," : ".");
        if (!layout.height) text += ", χωρίς υψόμετρο";
        if (layout.header) text += ", γραμμή επικεφαλίδας";
        return text;
    }
};

std::string GreekBook::usageError(const UsageError& e) const
{
    using P = UsageError::Problem;
    const std::string named = e.option + " " + quoted(e.text);
    switch (e.problem) {
    case P::NotAPair: return named + ": γράψτε " + e.part + ", δύο αριθμούς και ένα κόμμα";
    case P::NotANumber: return named + ": " + quoted(e.part) + " δεν είναι αριθμός";
    case P::SecondInput: return "μόνο ένα INPUT επιτρέπεται· το " + quotedName(e.text) + " είναι δεύτερο";
    case P::UnknownOption: return "άγνωστη επιλογή " + quoted(e.text);
    case P::GivenTwice: return "το " + e.option + " δόθηκε δύο φορές";
    case P::MissingValue: return "λείπει η τιμή μετά το " + quoted(e.text);
    case P::SheetsTakesText: return "το --sheets παίρνει μόνο ένα TEXT";
    case P::SystemsAlone: return "το --systems δεν παίρνει άλλη επιλογή";
    case P::CentresNeeded: return "χρειάζονται και το --from και το --to";
    case P::PointTakesNoList: return "το --point δεν παίρνει INPUT ή -o";
    case P::EmptyInput: return "το INPUT είναι κενό όνομα· γράψτε - για την τυπική είσοδο";
    case P::EmptyOutput: return "το OUTPUT είναι κενό όνομα· γράψτε - για την τυπική έξοδο";
    case P::UnknownSheet:
        return named + ": κανένα φύλλο δεν έχει αυτό το όνομα ή αριθμό" +
               (e.candidates.empty() ? " (το hattsheet-convert --sheets τα απαριθμεί)"
                                     : "· ονόματα που το περιέχουν: " + candidateList(e.candidates));
    case P::AmbiguousSheet: return named + ": ταιριάζει σε πολλά φύλλα: " + candidateList(e.candidates);
    case P::Egsa87BothWays: return "τα --from και --to δεν μπορεί να είναι και τα δύο egsa87";
    case P::NotUtf8: return e.option + " «" + shownNotUtf8(e.text) + "»: δεν είναι έγκυρο κείμενο UTF-8";
    case P::CloseSheets:
        return named + ": κανένα φύλλο δεν έχει αυτό το όνομα· τα πλησιέστερα ονόματα: " + candidateList(e.candidates);
    }
    return {};
}

} // namespace

const MessageBook& greekBook()
{
    static const GreekBook book;
    return book;
}

} // namespace hattsheet::operations
