#pragma once
// Open, save and clear of the two point panels, and the writing of a panel's
// text to a file without blank lines.

#include "expected.h"
#include "file_io.h"
#include "text_codec.h"
#include "window_ports.h"

#include <filesystem>
#include <string_view>

namespace hattsheet::pointfile {

// The temporary files, both in the program's folder (or the per-user cache
// folder when that one is not writable), overwritten by each use.
inline constexpr char kFeedFileName[] = "TempFeed.Dat";  // the batch conversion's list
inline constexpr char kTempFileName[] = "TempFile.Dat";  // the last text written from a panel

// The folder for the temporary files; empty when neither place is writable.
std::filesystem::path tempFolder(const conversion::TempPlaces& places);

// Writes the non-blank lines of a panel's text (UTF-8), each ended by CR LF,
// to target and to the temporary file tempFile (same bytes), Windows-1253
// when every character fits, else UTF-8. Gives the encoding it wrote.
Expected<Encoding, FileError> writePanelToFile(std::string_view panelText, const std::filesystem::path& target,
                                               const std::filesystem::path& tempFile);

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
