#pragma once
// "Αποθήκευση ως…" of panel 2: its lines as a comma list (the save's own
// bytes) or as a map file (KML, GeoJSON, DXF, GPX), the type chosen in the
// file dialog. A map file is what `hattsheet-convert --from S --to S
// --format F` writes of the same lines, byte for byte: the same converter
// (map_converter.h) through the same engine, S the system the panel's
// lines were converted into (panel_contents.h), and for the formats that
// place a point on the globe, the route from S to WGS84 (a Hatt plane
// through its sheet's polynomial, TM07 and HTRS07 through the HEPOS grid
// installed from the menu "Συστήματα").
//
// All or nothing: a map file goes to the safe writer's temporary file,
// which takes the file's name only once every point converted, so a point
// that does not convert leaves an existing file exactly as it was, and the
// message names the point's line and why.

#include "base/expected.h"
#include "operations/panel_contents.h"
#include "operations/systems.h"
#include "operations/systems_operations.h"
#include "operations/window_ports.h"
#include "pointfile/map_formats.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

// The types the dialog offers, in its order: the comma lists first, as the
// save offers them, then the map formats.
std::vector<FileFilter> saveAsFilters();
// The format of the dialog's type at `filter`; empty past the last (no type
// chosen).
std::optional<pointfile::MapFormat> formatOfFilter(std::size_t filter);

// What a save-as writes and under which name: a typed extension of a known
// type (.txt and .csv the comma list, .kml, .geojson, .dxf, .gpx) decides;
// otherwise the type chosen (none: the comma list), with its extension
// added: ".txt" forced as the save does (forceTxtExtension), a map format's
// appended to the name as typed ("pts" -> "pts.kml", "pts.v2" -> "pts.v2.kml").
struct SaveAsTarget {
    pointfile::MapFormat format = pointfile::MapFormat::Csv;
    std::string path;  // UTF-8
};
SaveAsTarget saveAsTargetOf(const std::string& typed, std::optional<pointfile::MapFormat> chosen);

// The one system a map file of the panel is in: that of its converted
// lines, or a Greek refusal when it holds lines opened from a file (of no
// system known) or lines of two systems or more.
Expected<SystemId, std::string> mapSystemOf(const std::vector<LineSystem>& systems, bool openedLines);

// A map file of a panel's text (UTF-8) in `system`.
struct MapFile {
    std::string bytes;  // when no writer took them
    unsigned long long points = 0;
    // Placed in WGS84 through the ΕΓΣΑ87 to WGS84 shift (about 1 m): its
    // note goes with the message.
    bool throughWgs84Shift = false;
};
// Takes the file's bytes in their order as they are made.
using MapBytes = std::function<void(std::string_view)>;
// Refused, in Greek: DXF of a geographic system; a route that cannot be
// made (a Hatt centre on no sheet, no HEPOS grid: where to get it and how to
// install it); a record that cannot be read or converted (its line and why).
// write: given, the bytes go there as the list is converted (a megabyte at
// a time), and after a refusal what it took is to be thrown away; else they
// are collected in MapFile::bytes.
Expected<MapFile, std::string> mapFileOf(std::string panelText, const SystemId& system, pointfile::MapFormat format,
                                         GridSlot& grid, const MapBytes& write = {});

// The menu entry: asks for a name and a type, and writes panel 2 so (a
// file that exists only after a Yes, as the save asks). A map file is
// refused before anything is written when mapSystemOf or mapFileOf refuse.
// Gives what was written; none on a cancel, a refusal or a failure (said).
struct SavedAs {
    std::string path;
    pointfile::MapFormat format = pointfile::MapFormat::Csv;
};
std::optional<SavedAs> savePanelAs(Fields& fields, Dialogs& dialogs, const TempPlaces& temp,
                                   const PanelContents& contents, GridSlot& grid, const std::string& suggested);

} // namespace hattsheet::operations
