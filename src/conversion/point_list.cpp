#include "point_list.h"

namespace hattsheet::conversion {

// Placeholder until the coordinate-file reader lands.
void convertPointList(Fields&, Dialogs&, const TempPlaces&) {}

} // namespace hattsheet::conversion
