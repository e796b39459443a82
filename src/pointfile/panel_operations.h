#pragma once
// Open, save and clear of the two point panels, and the writing of a panel's
// text to a file without blank lines.

#include "expected.h"
#include "file_io.h"
#include "text_codec.h"
#include "window_ports.h"

#include <filesystem>
#include <initializer_list>
#include <string_view>

namespace hattsheet::pointfile {

// The program's by-products, in the program's folder when it is the user's
// alone, else in the per-user cache folder; replaced by each use.
inline constexpr char kFeedFileName[] = "TempFeed.Dat";  // the batch conversion's list
inline constexpr char kTempFileName[] = "TempFile.Dat";  // the last text written from a panel

// The folder for the by-products; empty when neither place is the user's alone.
std::filesystem::path tempFolder(const conversion::TempPlaces& places);

// Writes the same bytes under each of the by-product names. A failure is
// shown (the file named) but stops nothing: these files are copies for the
// user to look at, never read back by the program.
void writeByProducts(conversion::Dialogs& dialogs, const conversion::TempPlaces& places,
                     std::initializer_list<const char*> names, std::string_view bytes);

// The file bytes of a panel's text (UTF-8): its non-blank lines, each ended
// by CR LF, in Windows-1253 when every character fits, else UTF-8.
EncodedText panelFileBytes(std::string_view panelText);

// Writes panelFileBytes(panelText) to the user's file target (SafeWriter);
// gives the bytes written.
Expected<EncodedText, FileError> writePanelToFile(std::string_view panelText, const std::filesystem::path& target);

// The save path with ".txt" forced: the file name's last "." and what follows
// it give way to ".txt" (pts.seq -> pts.txt, pts.old.xyh -> pts.old.txt,
// pts -> pts.txt); a "." in a folder name is not looked at.
std::string forceTxtExtension(const std::string& path);

// Appends the point lines of a chosen coordinate file to the panel.
void openIntoPanel(conversion::Fields& fields, conversion::Dialogs& dialogs, conversion::Panel panel);
// Writes the panel's non-blank lines to a chosen ".txt" file; when that file
// exists, only after a Yes to the question whether to replace it.
void savePanel(conversion::Fields& fields, conversion::Dialogs& dialogs, const conversion::TempPlaces& temp,
               conversion::Panel panel);
// Empties the panel; asks nothing, writes nothing.
void clearPanel(conversion::Fields& fields, conversion::Panel panel);

} // namespace hattsheet::pointfile
