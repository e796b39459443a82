#pragma once
// The batch conversion of panel 1 into panel 2 (button "Μετατροπή ομάδας σημείων").

#include "window_ports.h"

namespace hattsheet::conversion {

void convertPointList(Fields& fields, Dialogs& dialogs, const TempPlaces& temp);

} // namespace hattsheet::conversion
