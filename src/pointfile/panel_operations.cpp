#include "panel_operations.h"

namespace hattsheet::pointfile {

// Placeholders until the coordinate-file reader lands.
void openIntoPanel(conversion::Fields&, conversion::Dialogs&, conversion::Panel) {}
void savePanel(conversion::Fields&, conversion::Dialogs&, const conversion::TempPlaces&, conversion::Panel) {}
void clearPanel(conversion::Fields& fields, conversion::Panel panel) { fields.setText(conversion::panelField(panel), ""); }

} // namespace hattsheet::pointfile
