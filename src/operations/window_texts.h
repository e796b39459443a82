#pragma once
// The window's texts. The window speaks Greek only: this is the Greek book's
// part for it (a window in another language would be a second table), kept
// constexpr so that the widgets' captions are compile-time texts.

#include "geodesy/plane_fit.h"
#include "operations/message_book.h"
#include "operations/window_ports.h"

#include <string>
#include <string_view>

namespace hattsheet::operations {

struct LineSystem;

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
    // Lists and names: the save's first filter, the types it writes.
    const char* filterSavedLists;
    // The working day: panel 2's unsaved lines.
    const char* clearUnsaved;  // asked before a clear empties them; No is the default
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
    .filterLists = "Αρχεία σημείων (*.txt *.csv *.seq *.xyh)",
    .filterAll = "Όλα τα αρχεία (*)",
    .filterSavedLists = "Αρχεία σημείων (*.txt *.csv)",
    .clearUnsaved = "Τα σημεία του πίνακα δεν έχουν αποθηκευτεί. Να διαγραφούν;",
};

// The window's messages that take data, in its language.
// The by-products that could not be written, the folder tried and why.
std::string cannotWriteByProducts(std::string_view folder, const std::vector<std::string>& names, int err);
// Asked before a save replaces a file that exists; No is the default.
std::string replaceExisting(std::string_view path);
// A list too large for a panel (over limitMiB): the command line converts it
// in constant memory.
std::string tooLargeToOpen(std::string_view path, unsigned long long limitMiB);

// The working day: what panel 2 holds (operations/panel_contents.h).
// A system of a panel's lines: "ΕΓΣΑ87", or the Hatt plane of a centre (its
// texts, and the sheet whose centre it is).
std::string systemName(const LineSystem& system);
// Asked before lines of `adding` join lines of the systems `held`; No is
// the default.
std::string mixSystemsQuestion(const std::vector<std::string>& held, std::string_view adding);

// fit dialog: its messages that take data (operations/fit_operations.h).
// The model's name in the window's words.
std::string fitModelTitle(geodesy::FitModel model);
// A panel's record that stopped its reading: where and why.
std::string fitPanelLine(Panel panel, const ListStop& stop);
// Codes found in one panel only, or a code given twice in one.
std::string fitPanelCodes(const std::vector<std::string>& only1, const std::vector<std::string>& only2,
                          std::string_view duplicate);
// The fit refused (geodesy::FitError) with `used` points in use.
std::string fitRefusedInWindow(geodesy::FitError error, geodesy::FitModel model, std::size_t used);
// Below the table: the RMS (metres, "0.000") over the points in use, and the largest.
std::string fitSummary(std::string_view rms, std::size_t used, std::string_view largestCode, std::string_view largest);
// The fit read from a file is the one applied.
std::string fitFromFile(std::string_view path);
// map export: "Αποθήκευση ως…" of panel 2 (operations/map_export.h), its
// refusals. Lines of two systems or more (their names); DXF of a geographic
// system (its name); no HEPOS grid in folder, where to get it and how to
// install it; a record that stopped the map file (nothing written); the
// message after a map file was written, with the WGS84 note when it was
// placed through the shift.
std::string mapSystemsMixed(const std::vector<std::string>& held);
std::string mapDxfNeedsPlane(std::string_view system);
std::string mapGridMissing(std::string_view folder);
std::string mapNotWritten(const ListStop& stop);
std::string mapWritten(unsigned long long points, bool throughWgs84Shift);

// A message with a second line that gives how many points it concerns.
inline std::string withPointCount(std::string_view first, unsigned long long count)
{
    return std::string(first).append("\n").append(windowBook().pointCount(count));
}

// A message after a list was read: its second line gives how many points,
// and in what layout when it is not the written one ("Διαβάστηκαν 200
// σημεία: διαχωριστικό ..."), which says the count itself.
std::string withPointsRead(std::string_view first, unsigned long long count, const pointfile::PointLayout& layout);

// A refusal or a failure as the operations show it: under "Προσοχή!" with the
// critical icon.
inline void showWarning(Dialogs& dialogs, const std::string& text)
{
    dialogs.showMessage(text, windowTexts().titleWarning, MessageIcon::Critical);
}

} // namespace hattsheet::operations

// The window's captions, menus, tooltips and the About window's lines, each
// with its mnemonic where it has one ("&" before the character).
namespace hattsheet::operations::captions {

inline constexpr char kWindowTitle[] = "Αλλαγή Κέντρου Φύλλου Χάρτη στην προβολή HATT [Olvani 2006]";
// The menus after "Πρόγραμμα": the sheet chooser, and the Greek Grid
// (ΕΓΣΑ87), each text with its mnemonic ("&" before the character).
inline constexpr char kMenuSheets[] = "&Φύλλα";
inline constexpr char kChooseSheetFrom[] = "Φύλλο για «&Από Κ.Φ.»…";
inline constexpr char kChooseSheetTo[] = "Φύλλο για «&Σε Κ.Φ.»…";
inline constexpr char kMenuEgsa87[] = "ΕΓΣΑ&87";
inline constexpr char kPointToEgsa87[] = "&Σημείο «Από Κ.Φ.» σε ΕΓΣΑ87 (στη λίστα 2)";
inline constexpr char kListToEgsa87[] = "&Λίστα 1 από «Από Κ.Φ.» σε ΕΓΣΑ87";
inline constexpr char kListFromEgsa87[] = "Λίστα 1 σε ΕΓΣΑ87 &προς «Σε Κ.Φ.»";
inline constexpr char kSheetFilterLabel[] = "Όνομα ή αριθμός ΟΚΧΕ:";
inline constexpr char kSheetFilterHint[] = "π.χ. Άθως ή 20";
// The tooltip of ">" and "<" after a conversion: the sheet of the point.
inline constexpr char kSheetOfPoint[] = "Φύλλο του σημείου: ";
inline constexpr char kNoSheetOfPoint[] = "Το σημείο δεν βρίσκεται σε φύλλο 1:50.000.";

inline constexpr char kBoxOld[] = "Από Κ.Φ.";
inline constexpr char kBoxNew[] = "Σε Κ.Φ.";
inline constexpr char kBoxGeodetic[] = "Γεωδαιτικές συντεταγμένες";
inline constexpr char kPhi[] = "φ";
inline constexpr char kDeltaLambda[] = "Δλ";
inline constexpr char kLambda[] = "λ";
// Greek capitals Chi (U+03A7) and Upsilon (U+03A5), not the Latin X and Y.
inline constexpr char kEasting[] = "\u03A7 =";
inline constexpr char kNorthing[] = "\u03A5 =";
inline constexpr char kOldToNew[] = ">";
inline constexpr char kNewToOld[] = "<";
inline constexpr char kConvertList[] = "Μετατροπή ομάδας σημείων";
inline constexpr char kOpen[] = "Άνοιγμα";
inline constexpr char kClear[] = "Απαλοιφή";
inline constexpr char kSave[] = "Αποθήκευση";
// The buttons' captions with their mnemonics (Alt and the underlined
// character; no character twice in the window, menu bar included, whatever
// its case: "φ" here would also be the menu "Φύλλα"'s). ">" and "<" have
// none: an underlined ">" reads as "≥".
inline constexpr char kOldToNewButton[] = ">";
inline constexpr char kNewToOldButton[] = "<";
inline constexpr char kConvertListButton[] = "&Μετατροπή ομάδας σημείων";
inline constexpr char kOpen1Button[] = "Ά&νοιγμα";
inline constexpr char kClear1Button[] = "&Απαλοιφή";
inline constexpr char kSave1Button[] = "Απο&θήκευση";
inline constexpr char kOpen2Button[] = "Άνοι&γμα";
inline constexpr char kClear2Button[] = "Απα&λοιφή";
inline constexpr char kSave2Button[] = "Αποθή&κευση";
// The menu bar: "Πρόγραμμα" opens the About window, "Εργασίες" the rest.
inline constexpr char kMenuAboutEntry[] = "&Πρόγραμμα";
inline constexpr char kMenuTasks[] = "&Εργασίες";
inline constexpr char kMenuSwap[] = "&Εναλλαγή κέντρων";
inline constexpr char kMenuBackward[] = "&Αντίστροφη μετατροπή ομάδας σημείων (από «Σε Κ.Φ.» σε «Από Κ.Φ.»)";
// Save in the list's layout: panel 2 written with the separator, decimal
// mark and header line of the list its points came from.
inline constexpr char kMenuSaveInLayout[] = "Αποθήκευση στη &διάταξη της λίστας…";
// A point panel's accessible name after its frame's: "Από Κ.Φ. — σημεία".
inline constexpr char kPanelName[] = "σημεία";
// Between a frame's caption and a field's in accessible names.
inline constexpr char kNameJoin[] = " — ";
inline constexpr char kPanelTip[] = "Μορφή αρχείου: Κωδικός, Χ, Υ, Η";
// Beside an input field that cannot be left because its text is no number.
inline constexpr char kNotANumber[] = "Δεν είναι αριθμός: χρησιμοποιήστε μόνο ψηφία, πρόσημο και υποδιαστολή";
inline constexpr char kCredits[] = "hattsheet · ελεύθερο λογισμικό με άδεια MIT · 2026";

// The About window.
inline constexpr char kAboutLine1[] = "Αλλαγή Κέντρου Φύλλου Χάρτη";
inline constexpr char kAboutLine2[] = "στην προβολή HATT";
inline constexpr char kAboutLine3[] = "(Ελληνικό Datum)";
inline constexpr char kAboutProject[] = "hattsheet";
inline constexpr char kAboutFree[] = "ελεύθερο λογισμικό με άδεια";
// Label4 stands two pixels into the top of "Olvani": a word this short sits
// above its small letters and stays clear of the "O" and the "l".
inline constexpr char kAboutLicence[] = "MIT";
inline constexpr char kAboutName[] = "Olvani";
inline constexpr char kAboutYear[] = "2026";
inline constexpr char kAboutClose[] = "&\u03A7";  // Greek capital Chi, its mnemonic
inline constexpr char kAboutVersion[] = "έκδοση ";

// Buttons of the message boxes.
inline constexpr char kOk[] = "Εντάξει";
inline constexpr char kYes[] = "Ναι";
inline constexpr char kNo[] = "Όχι";

// Labels of the file dialogs.
inline constexpr char kDialogLookIn[] = "Αναζήτηση σε:";
inline constexpr char kDialogFileName[] = "Όνομα αρχείου:";
inline constexpr char kDialogFileType[] = "Αρχεία τύπου:";
inline constexpr char kDialogCancel[] = "Άκυρο";

// The systems dialog: the menu "Συστήματα" after "Εργασίες", its entries,
// the dialog's captions (one mnemonic letter each in the dialog: Α, Σ, Φ,
// Λ, Μ, 2, Κ), and the installation of the HEPOS grid.
inline constexpr char kMenuSystems[] = "&Συστήματα";
inline constexpr char kMenuSystemsDialog[] = "Με&τατροπή ανάμεσα σε δύο συστήματα…";
inline constexpr char kMenuInstallGrid[] = "Εγκατάσταση καννάβου &HEPOS (east.grd, north.grd)…";
inline constexpr char kSystemsTitle[] = "Συστήματα συντεταγμένων";
inline constexpr char kSystemFrom[] = "&Από σύστημα:";
inline constexpr char kSystemTo[] = "&Σε σύστημα:";
inline constexpr char kSheetFromButton[] = "&Φύλλο…";
inline constexpr char kSheetToButton[] = "Φύ&λλο…";
inline constexpr char kCentrePhi[] = "φ0 (μοίρες.λεπτά):";
inline constexpr char kCentreLambda[] = "Δλ0 από Αθήνα:";
inline constexpr char kCoordinateLabel[] = "%1 =";  // %1: a coordinate's name ("E")
inline constexpr char kSystemPoint[] = "Σημείο";
inline constexpr char kSystemResult[] = "Αποτέλεσμα";
inline constexpr char kConvertSystemPoint[] = "&Μετατροπή σημείου";
inline constexpr char kConvertSystemList[] = "Λίστα 1 → λίστα &2";
inline constexpr char kSystemsClose[] = "&Κλείσιμο";
inline constexpr char kHeightsUnchanged[] =
    "Τα υψόμετρα περνούν αμετάβλητα: δεν εφαρμόζεται μοντέλο γεωειδούς.";
inline constexpr char kAccuracyHead[] = "Ακρίβεια ως το ΕΓΣΑ87 — ";
inline constexpr char kAccuracySameDatum[] =
    "Ακρίβεια: ακριβής, μέσα στο παλαιό datum (Bessel 1841), χωρίς πολυώνυμο φύλλου.";
inline constexpr char kGridEastTitle[] = "Το αρχείο east.grd του καννάβου HEPOS";
inline constexpr char kGridNorthTitle[] = "Το αρχείο north.grd του καννάβου HEPOS";
inline constexpr char kGridFilter[] = "Αρχεία καννάβου (*.grd)";
inline constexpr char kNoUserFolder[] =
    "Δεν βρέθηκε φάκελος δεδομένων του χρήστη για να εγκατασταθεί ο κάνναβος HEPOS.";

// map export: the entry of "Εργασίες" (ω: V on a Latin layout, free in the
// menu), the dialog's map types after the comma lists, and the refusal of
// lines of no system known.
inline constexpr char kMenuSaveAs[] = "Αποθήκευση &ως…";
inline constexpr char kFilterKml[] = "Αρχεία KML (*.kml)";
inline constexpr char kFilterGeoJson[] = "Αρχεία GeoJSON (*.geojson)";
inline constexpr char kFilterDxf[] = "Αρχεία DXF (*.dxf)";
inline constexpr char kFilterGpx[] = "Αρχεία GPX (*.gpx)";
inline constexpr char kMapSystemUnknown[] =
    "Η λίστα 2 έχει σημεία που ανοίχτηκαν από αρχείο, και δεν είναι γνωστό σε ποιο σύστημα είναι: αρχείο "
    "χάρτη γράφεται μόνο για σημεία που μετατράπηκαν στη λίστα 2. Αποθηκεύστε τα ως λίστα σημείων, ή "
    "ανοίξτε τα στη λίστα 1 και μετατρέψτε τα.";

// fit dialog: the menu entry under "Συστήματα", the dialog "Προσαρμογή"
// (one mnemonic letter each in it: Μ, Δ, Υ, Α, Ν, Ε, Κ), its models, the
// residual table's columns and marks, and its files.
inline constexpr char kMenuFitDialog[] = "Προσαρμογή σε &κοινά σημεία…";
inline constexpr char kFitTitle[] = "Προσαρμογή";
inline constexpr char kFitHint[] =
    "Λίστα 1: τα κοινά σημεία στο σύστημα του σχεδίου· λίστα 2: τα ίδια σημεία στο σύστημα προορισμού "
    "(κωδικός, x, y[, H] ανά γραμμή· τα σημεία ζευγαρώνονται με τον κωδικό).";
inline constexpr char kFitModel[] = "&Μοντέλο:";
inline constexpr char kFitSimilarity[] = "Ομοιότητα (4 παράμετροι)";
inline constexpr char kFitAffine[] = "Αφινικός (6 παράμετροι)";
inline constexpr char kFitPoly2[] = "Πολυώνυμο 2ου βαθμού (12 παράμετροι)";
inline constexpr char kFitReadPanels[] = "&Διάβασμα λιστών 1 και 2";
inline constexpr char kFitResiduals[] = "&Υπόλοιπα (μέτρα· αποεπιλογή: το σημείο μένει εκτός):";
inline constexpr char kFitColumnUsed[] = "Σε χρήση";
inline constexpr char kFitColumnCode[] = "Κωδικός";
inline constexpr char kFitColumnDx[] = "dx";
inline constexpr char kFitColumnDy[] = "dy";
inline constexpr char kFitColumnLength[] = "Μήκος";
inline constexpr char kFitColumnNote[] = "Σημείωση";
inline constexpr char kFitLargestMark[] = "◀ μέγιστο";
inline constexpr char kFitExcludedMark[] = "εκτός (έλεγχος)";
inline constexpr char kFitParameters[] = "Παράμετροι (± τυπική απόκλιση)";
inline constexpr char kFitSave[] = "&Αποθήκευση προσαρμογής…";
inline constexpr char kFitOpen[] = "Ά&νοιγμα προσαρμογής…";
inline constexpr char kFitApply[] = "&Εφαρμογή: λίστα 1 → λίστα 2";
inline constexpr char kFitClose[] = "&Κλείσιμο";
inline constexpr char kFitSaveTitle[] = "Αποθήκευση προσαρμογής";
inline constexpr char kFitOpenTitle[] = "Άνοιγμα προσαρμογής";
inline constexpr char kFitFilter[] = "Αρχεία προσαρμογής (*.fit)";
inline constexpr char kFitFromPoints[] = "Εφαρμόζεται η προσαρμογή των κοινών σημείων του πίνακα.";
inline constexpr char kFitNone[] = "Καμία προσαρμογή για εφαρμογή: διορθώστε τις λίστες ή ανοίξτε αρχείο προσαρμογής.";
// The system of the lines an apply writes into panel 2, for its question
// before it mixes systems there.
inline constexpr char kFitTargetSystem[] = "το σύστημα προορισμού της προσαρμογής";

// Said on stderr when the window has no display to open on.
inline constexpr char kNoDisplay[] =
    "hattsheet: δεν υπάρχει οθόνη γραφικών για το παράθυρο (no graphical display: DISPLAY, WAYLAND_DISPLAY\n"
    "and QT_QPA_PLATFORM are all unset). Ξεκινήστε το πρόγραμμα μέσα σε μια επιφάνεια εργασίας, ή χρησιμοποιήστε\n"
    "το hattsheet-convert για εργασία χωρίς παράθυρο.\n";

// Lists and names: `hattsheet --help` (or -h) prints this, `--version`
// kVersionStart and the version; neither opens the window.
inline constexpr char kWindowUsage[] =
    "χρήση: hattsheet [ΑΡΧΕΙΟ]\n"
    "       hattsheet --help | --version\n"
    "\n"
    "Ανοίγει το παράθυρο που μεταφέρει συντεταγμένες της προβολής Hatt από ένα\n"
    "κέντρο φύλλου σε άλλο, και προς και από το ΕΓΣΑ87. Με ΑΡΧΕΙΟ φορτώνει αυτή\n"
    "τη λίστα σημείων στη λίστα 1 (-- πριν από όνομα που αρχίζει με '-').\n"
    "Χωρίς παράθυρο, για σενάρια και μεγάλες λίστες: hattsheet-convert --help.\n";
inline constexpr char kVersionStart[] = "hattsheet ";

} // namespace hattsheet::operations::captions
