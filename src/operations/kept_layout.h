#pragma once
// The layout of a list read into a panel, kept so that the panel (or the
// lines converted from it) can be saved back in it: a list read with ";",
// decimal commas and a header goes back with them (the window's "save in
// the list's layout"; hattsheet-convert --keep-layout does the same).

#include "pointfile/point_layout.h"

#include <string>

namespace hattsheet::operations {

struct KeptLayout {
    pointfile::PointLayout layout;  // as recogniseLayout found it
    std::string header;             // the header line (UTF-8, without its line end); empty: none
};

} // namespace hattsheet::operations
