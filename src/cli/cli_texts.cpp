#include "cli/cli_texts.h"

#include "base/platform.h"
#include "operations/messages.h"
#include "operations/sheet_messages.h"

#include <cstdio>

namespace hattsheet::cli {

namespace msg = hattsheet::operations::msg;

Language messageLanguage() { return platform::userReadsGreek() ? Language::Greek : Language::English; }

void say(const std::string& text) { std::fprintf(stderr, "hattsheet-convert: %s\n", text.c_str()); }

namespace {

constexpr char kHelpEnglish[] =
    "usage: hattsheet-convert --from CENTRE --to CENTRE --point X,Y\n"
    "       hattsheet-convert --from CENTRE --to CENTRE [--records-across-lines] [INPUT|-] [-o OUTPUT]\n"
    "       hattsheet-convert --sheets [TEXT]\n"
    "\n"
    "Carries plane coordinates of the Greek Hatt projection (Bessel 1841) from the\n"
    "sheet centre --from to the sheet centre --to, or to and from the Greek Grid\n"
    "(EGSA87 / TM87, EPSG:2100) with the agency's polynomial of each 1:50,000 sheet.\n"
    "  CENTRE   PHI,DL: a sheet centre as degrees.minutes, e.g. 40.51,-0.51 (40°51',\n"
    "           0°51' west of the Athens meridian);\n"
    "           or a sheet's name (case and accents do not count, either spelling,\n"
    "           a unique beginning is enough) or the agency's number of one sheet:\n"
    "           its centre, and for EGSA87 its polynomial;\n"
    "           or egsa87 (also ΕΓΣΑ87), for --to or for --from\n"
    "  X,Y      one point in metres on the --from sheet (E,N from egsa87); prints\n"
    "           X, Y on the --to sheet (E, N for egsa87) and the point's latitude and\n"
    "           longitudes, and \"Φύλλο = NAME\" for a conversion with EGSA87\n"
    "  INPUT    a point list (code, X, Y, H or code, X, Y per line; fields between\n"
    "           commas, \";\", tabs or spaces; decimal point, or decimal comma where\n"
    "           commas do not separate the fields; a header line is skipped;\n"
    "           Windows-1253 or UTF-8), '-' or nothing for stdin; the converted list\n"
    "           goes to stdout or to -o OUTPUT\n"
    "  -o OUTPUT all or nothing: OUTPUT is replaced only when every record was\n"
    "           converted and written, else an existing OUTPUT stays as it was\n"
    "           (stdout, /dev/stdout and devices get the lines before a failing record)\n"
    "  --records-across-lines  read comma records that do not sit one per line as\n"
    "           the window does (else such a record is a failing record)\n"
    "  --       ends the options: what follows is INPUT, also when it begins with '-'\n"
    "  --sheets [TEXT]  lists the sheets whose names contain TEXT (all without it):\n"
    "           name, agency number, centre as PHI,DL, and whether its EGSA87\n"
    "           polynomial is used\n"
    "  --help, --version\n"
    "\n"
    "To EGSA87 a point takes the polynomial of the sheet on the --from centre whose\n"
    "outline holds it (south and west edges inside); with --from NAME that sheet's,\n"
    "with a warning for points more than 1 km outside its outline. From EGSA87 the\n"
    "polynomial is inverted exactly (to 0.001 mm), on the sheet of the --to centre\n"
    "whose outline holds the result. A point on no sheet of that centre, or on one of\n"
    "the six sheets whose polynomial is inconsistent, is refused.\n"
    "\n"
    "Messages are in Greek when LC_ALL, LC_MESSAGES or LANG names a Greek locale.\n"
    "\n"
    "Exit status:\n"
    "  0   done\n"
    "  1   a failing record, or a file that cannot be read or written\n"
    "  2   a refused sheet centre or coordinate, or for EGSA87 a refused sheet or a\n"
    "      point on no usable sheet; nothing is written\n"
    "  64  usage error (also an unknown or ambiguous sheet name)\n";

constexpr char kHelpGreek[] =
    "χρήση: hattsheet-convert --from CENTRE --to CENTRE --point X,Y\n"
    "       hattsheet-convert --from CENTRE --to CENTRE [--records-across-lines] [INPUT|-] [-o OUTPUT]\n"
    "       hattsheet-convert --sheets [TEXT]\n"
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
    "  --       τέλος των επιλογών: ό,τι ακολουθεί είναι INPUT, και όταν αρχίζει με '-'\n"
    "  --sheets [TEXT]  τα φύλλα που το όνομά τους περιέχει το TEXT (όλα χωρίς αυτό):\n"
    "           όνομα, αριθμός υπηρεσίας, κέντρο ως PHI,DL, και αν χρησιμοποιείται το\n"
    "           πολυώνυμό του ΕΓΣΑ87\n"
    "  --help, --version\n"
    "\n"
    "Προς το ΕΓΣΑ87 ένα σημείο παίρνει το πολυώνυμο του φύλλου του κέντρου --from\n"
    "που το περιέχει (η νότια και η δυτική πλευρά μέσα)· με --from ΟΝΟΜΑ εκείνου\n"
    "του φύλλου, με προειδοποίηση για σημεία πάνω από 1 km έξω από το περίγραμμά\n"
    "του. Από το ΕΓΣΑ87 το πολυώνυμο αντιστρέφεται ακριβώς (έως 0,001 mm), στο φύλλο\n"
    "του κέντρου --to που περιέχει το αποτέλεσμα. Σημείο σε κανένα φύλλο αυτού του\n"
    "κέντρου, ή σε ένα από τα έξι φύλλα με ασυνεπές πολυώνυμο, απορρίπτεται.\n"
    "\n"
    "Τα μηνύματα είναι στα ελληνικά όταν το LC_ALL, το LC_MESSAGES ή το LANG ορίζει\n"
    "ελληνική τοπική ρύθμιση.\n"
    "\n"
    "Κατάσταση εξόδου:\n"
    "  0   ολοκληρώθηκε\n"
    "  1   εγγραφή που δεν μετατρέπεται, ή αρχείο που δεν διαβάζεται ή δεν γράφεται\n"
    "  2   κέντρο φύλλου ή συντεταγμένες που απορρίφθηκαν, ή για το ΕΓΣΑ87 φύλλο που\n"
    "      απορρίφθηκε ή σημείο σε κανένα χρησιμοποιήσιμο φύλλο· δεν γράφεται τίποτα\n"
    "  64  λάθος χρήσης (και άγνωστο ή διφορούμενο όνομα φύλλου)\n";

} // namespace

const char* helpText(Language language) { return language == Language::Greek ? kHelpGreek : kHelpEnglish; }

const char* seeHelp(Language language)
{
    return language == Language::Greek ? "δείτε hattsheet-convert --help" : "see hattsheet-convert --help";
}

std::string quote(std::string_view text, Language language)
{
    const std::string shown = msg::shownText(text);
    return language == Language::Greek ? "«" + shown + "»" : "\"" + shown + "\"";
}

std::string cannotRead(std::string_view name, int err, Language language)
{
    return language == Language::Greek
               ? msg::cannotRead(name, err)
               : msg::withReason("cannot read \"" + msg::shownText(name) + "\".", err, language);
}

std::string cannotWrite(std::string_view name, int err, Language language)
{
    return language == Language::Greek
               ? msg::cannotWrite(name, err)
               : msg::withReason("cannot write \"" + msg::shownText(name) + "\".", err, language);
}

std::string centreRefused(bool latitude, std::string_view option, std::string_view text, Language language)
{
    const bool greek = language == Language::Greek;
    const std::string range = latitude ? (greek ? "από 34° έως 42°" : "from 34° to 42°")
                                       : (greek ? "από -4°30' έως 5° από την Αθήνα" : "from -4°30' to 5° from Athens");
    return operations::centreRefused(latitude, language) + " (" + std::string(option) + " " + msg::shownText(text) +
           ": " + range + ")";
}

} // namespace hattsheet::cli
