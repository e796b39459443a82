#pragma once
// The map formats a list can be written in beside today's comma lines:
// KML 2.2, GeoJSON (RFC 7946), DXF (ASCII R12, drawing units of metres) and
// GPX 1.1. Each is a header, one piece per point and a footer, so a list is
// written as it streams, in constant memory.
//
// KML, GeoJSON and GPX place a point at its WGS84 longitude and latitude
// (degrees, 9 decimals: 0.1 mm) with H (metres, "0.000") as its height and
// carry the coordinates of the target system beside it; DXF draws it at
// (E, N, H) of a plane target, with its code as a TEXT beside it.
//
// Codes arrive as the list's bytes: valid UTF-8 is kept, anything else is
// read as Windows-1253 (the Greek code page of old lists), so a Greek code
// reaches every format intact. XML and JSON escape what their syntax needs;
// DXF is written in ASCII alone, every other character as \U+XXXX.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hattsheet::pointfile {

enum class MapFormat { Csv, Kml, GeoJson, Dxf, Gpx };

// The format --format names: csv, kml, geojson, dxf, gpx (ASCII case does
// not count); empty for any other text.
std::optional<MapFormat> mapFormatNamed(std::string_view name);
// The map format an output file's extension chooses: .kml, .geojson, .dxf,
// .gpx (ASCII case does not count); empty for any other name, which keeps
// today's comma lines.
std::optional<MapFormat> mapFormatOfPath(std::string_view path);

// The system the coordinates beside each point are in.
struct MapTarget {
    std::string id;                  // "egsa87", "hatt", ...
    std::string centre;              // a Hatt target's PHI,DL (degrees-minutes texts); else empty
    std::string_view aName, bName;   // the coordinates' names in their order ("E", "N"; "phi", "lambda")
    int decimals = 3;                // of a and b: 3 for metres, 9 for degrees
};

// One converted point.
struct MapPoint {
    std::string_view code;              // the list's bytes
    double a = 0.0, b = 0.0;            // in the target system (metres, or degrees)
    double h = 0.0;                     // metres, as the list gave it (0 for none)
    double latDeg = 0.0, lonDeg = 0.0;  // WGS84 (degrees, Greenwich); DXF does not use them
};

std::string mapHeader(MapFormat format, const MapTarget& target);
// Appends the point's piece. Every GeoJSON piece begins with the comma
// between features, so pieces converted apart join in any order; the
// writer drops the first piece's firstPieceSkip(format) bytes.
void appendMapPoint(std::string& out, MapFormat format, const MapTarget& target, const MapPoint& point);
std::size_t firstPieceSkip(MapFormat format);
std::string mapFooter(MapFormat format);

// The code as UTF-8: kept when valid, else read as Windows-1253.
std::string codeAsUtf8(std::string_view code);

} // namespace hattsheet::pointfile
