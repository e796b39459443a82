#pragma once
// Open, save and clear of the two point panels, and the writing of a panel's
// text to a file without blank lines.

#include "base/expected.h"
#include "base/safe_file.h"
#include "base/system_error.h"
#include "text/text_codec.h"
#include "operations/kept_layout.h"
#include "operations/window_ports.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

// The program's by-products, in the program's folder when it is the user's
// alone, else in the per-user cache folder; replaced by each use.
inline constexpr char kFeedFileName[] = "TempFeed.Dat";  // the batch conversion's list
inline constexpr char kTempFileName[] = "TempFile.Dat";  // the last text written from a panel

// Writes the same bytes under each of the by-product names. A failure is
// shown (the files, the folder tried and the system's reason) but stops
// nothing: these files are copies for the user to look at, never read back
// by the program.
void writeByProducts(Dialogs& dialogs, const TempPlaces& places,
                     std::initializer_list<const char*> names, std::string_view bytes);

// Writes a panel's text (UTF-8) through an opened SafeWriter and commits it:
// its non-blank lines, each ended by CR LF, in Windows-1253 when every
// character fits, else UTF-8. Gives the bytes written, or what the system
// refused (the books word it: MessageBook::cannotWrite).
Expected<text::EncodedText, SystemError> writePanelToFile(std::string panelText, files::SafeWriter& file);

// The save path with ".txt" forced: the file name's last "." and what follows
// it give way to ".txt" (pts.seq -> pts.txt, pts.old.xyh -> pts.old.txt,
// pts -> pts.txt), except ".csv" (any case), which the save also offers;
// a "." in a folder name is not looked at.
std::string forceTxtExtension(const std::string& path);

// The largest file the open operation reads into a panel (bytes), some
// 1,600,000 points. A panel holds its text in a text document as UTF-16, and
// the window's time and memory grow with the list (the measured figures are
// in the README, Development): a larger file is refused before
// anything of it is read (and one that grows past it while it is read is
// refused when the byte after the limit arrives), and hattsheet-convert
// converts it in constant memory.
inline constexpr std::uintmax_t kOpenLimitBytes = std::uintmax_t{64} << 20;

// A file opened into a panel: its path (UTF-8) and the layout it was in.
struct OpenedFile {
    std::string path;
    KeptLayout layout;
};

// Appends the point lines of a chosen coordinate file to the panel; a file
// larger than kOpenLimitBytes is refused unread. Says how many points came
// in. Gives the path opened and its layout, none on a cancel or a refusal.
std::optional<OpenedFile> openIntoPanel(Fields& fields, Dialogs& dialogs, Panel panel);
// The same for a file already named (UTF-8): `hattsheet FILE`. Gives the
// layout it was in, none on a refusal.
std::optional<KeptLayout> openFileIntoPanel(Fields& fields, Dialogs& dialogs, Panel panel, const std::string& path);
// Writes the panel's non-blank lines to a chosen ".txt" file; when that file
// exists, only after a Yes to the question whether to replace it (No goes
// back to the dialog, the name offered again). The name is looked up again
// after the answer: when it leads elsewhere now (a link swapped in while the
// question was open), the question is asked again. A panel without a
// non-blank line is not saved: that is said, and no dialog opens.
// `suggested` is the path the dialog offers first (empty: none). With
// `inLayout` the lines go in that list's layout (its separator, decimal mark
// and header line: inListLayout) and the message says which one; without it
// in the program's own comma layout. Gives the path written.
std::optional<std::string> savePanel(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, Panel panel,
                                     const std::string& suggested = {}, const KeptLayout* inLayout = nullptr);
// What a save dialog's answer names: the path written (the dialog's with an
// extension forced or added) from the path and type chosen.
using NameOfChoice = std::function<std::string(const Dialogs::ChosenSave&)>;
struct ChosenTarget {
    std::string path;         // UTF-8, as nameOf gave it
    std::size_t filter = 0;   // the type chosen: an index in the filters (their count: none)
};
// The dialog of every save, for any types: filters shown, `offered` first
// (empty: none); the name written is nameOf(answer), and when anything is
// there it is asked about as savePanel says (No: the dialog again, with
// that name). file: opened on that name, to be written and committed.
// Empty on a cancel.
std::optional<ChosenTarget> chooseFileToWrite(Dialogs& dialogs, const std::vector<FileFilter>& filters,
                                              std::string offered, const NameOfChoice& nameOf,
                                              std::optional<files::SafeWriter>& file);
// The types of savePanel's dialog: the comma lists (.txt, .csv) first.
std::vector<FileFilter> listSaveFilters();
// The rest of savePanel once its file is open: the panel's text written
// (in inLayout when given) and committed, the by-product TempFile.Dat
// written, and the message; a failure is said. True when written.
bool writeListFile(Dialogs& dialogs, const TempPlaces& temp, std::string panelText, files::SafeWriter& file,
                   const std::string& path, const KeptLayout* inLayout);
// Whether a panel text has a line that a save would write.
bool hasNonBlankLine(std::string_view text);
// A path as the system writes it, for a message: the file dialogs give "/"
// between folders on Windows too, where "C:\Users\..." is what users read.
std::string shownPath(const std::string& utf8);

// A panel's text (UTF-8) in a list's layout: its header line first when it
// has one, then the non-blank lines, each point line this program wrote
// rewritten with the layout's separator and decimal mark (a line edited
// into something else is kept as it is); every line ended by CR LF.
std::string inListLayout(std::string_view panelText, const KeptLayout& kept);
// Empties the panel; asks nothing, writes nothing.
void clearPanel(Fields& fields, Panel panel);

} // namespace hattsheet::operations
