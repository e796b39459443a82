#pragma once
// Open, save and clear of the two point panels.

#include "window_ports.h"

namespace hattsheet::pointfile {

// Appends the point lines of a chosen coordinate file to the panel.
void openIntoPanel(conversion::Fields& fields, conversion::Dialogs& dialogs, conversion::Panel panel);
// Writes the panel's non-blank lines to a chosen ".txt" file.
void savePanel(conversion::Fields& fields, conversion::Dialogs& dialogs, const conversion::TempPlaces& temp,
               conversion::Panel panel);
// Empties the panel; asks nothing, writes nothing.
void clearPanel(conversion::Fields& fields, conversion::Panel panel);

} // namespace hattsheet::pointfile
