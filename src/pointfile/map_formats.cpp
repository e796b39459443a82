#include "pointfile/map_formats.h"

#include "text/number_format.h"
#include "text/text_codec.h"

#include <array>
#include <cstdio>

namespace hattsheet::pointfile {

namespace {

// Degrees of WGS84 in 9 decimals: 1e-9 degree is 0.1 mm on the ground.
constexpr int kDegreeDecimals = 9;
// A DXF code's TEXT: its height, and its insertion point east and north of
// the point (metres), so the label stands beside the point, not on it.
constexpr double kTextHeightM = 1.0;
constexpr double kTextOffsetM = 0.5;
// U+FFFD for the control characters XML 1.0 cannot hold in any form.
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool equalsAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'A' && a[i] <= 'Z') ? char(a[i] - 'A' + 'a') : a[i];
        if (x != b[i]) return false;
    }
    return true;
}

struct Name {
    std::string_view text;
    MapFormat format;
};
constexpr std::array<Name, 5> kNames{{{"csv", MapFormat::Csv},
                                      {"kml", MapFormat::Kml},
                                      {"geojson", MapFormat::GeoJson},
                                      {"dxf", MapFormat::Dxf},
                                      {"gpx", MapFormat::Gpx}}};

void appendXml(std::string& out, std::string_view utf8)
{
    for (const char c : utf8) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        case '\t': out += "&#9;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += kReplacement;
            } else {
                out += c;
            }
        }
    }
}

void appendJsonString(std::string& out, std::string_view utf8)
{
    out += '"';
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[12];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendDxfUnit(std::string& out, unsigned unit)
{
    char escaped[12];
    std::snprintf(escaped, sizeof escaped, "\\U+%04X", unit);
    out += escaped;
}

// A DXF TEXT value in the drawing's code page, Windows-1253 ($DWGCODEPAGE
// ANSI_1253: the Greek letters as one byte each). A value is one line, so
// the control characters, and whatever the code page lacks, go as the
// drawing's \U+XXXX (beyond U+FFFF as its two UTF-16 halves).
void appendDxfText(std::string& out, std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();) {
        const text::Utf8Char ch = text::readUtf8Char(utf8, i);
        const std::size_t length = ch.length == 0 ? 1 : ch.length;
        const char32_t cp = ch.length == 0 ? U'\uFFFD' : ch.codePoint;
        const auto greek = cp >= 0x80 && ch.wellFormed ? text::utf8ToWindows1253(utf8.substr(i, length)) : std::nullopt;
        i += length;
        if (cp >= 0x20 && cp < 0x7F) {
            out += static_cast<char>(cp);
        } else if (greek && cp >= 0xA0) {
            out += *greek;
        } else if (cp > 0xFFFF) {
            appendDxfUnit(out, 0xD800 + ((cp - 0x10000) >> 10));
            appendDxfUnit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            appendDxfUnit(out, static_cast<unsigned>(cp));
        }
    }
}

// "E = 1.000, N = 2.000, H = 3.000 (egsa87)" for KML's description and GPX's desc.
std::string coordinateText(const MapTarget& target, const MapPoint& p)
{
    std::string s(target.aName);
    s += " = ";
    text::appendFixed(s, p.a, target.decimals);
    s.append(", ").append(target.bName).append(" = ");
    text::appendFixed(s, p.b, target.decimals);
    s += ", H = ";
    text::appendFixed(s, p.h, text::kCoordinateDecimals);
    s.append(" (").append(target.id);
    if (!target.centre.empty()) s.append(" ").append(target.centre);
    return s += ")";
}

// Longitude, latitude (degrees) and height (metres) between sep: KML's
// coordinates and GeoJSON's position, in that order.
void appendPlace(std::string& out, const MapPoint& p, std::string_view sep)
{
    text::appendFixed(out, p.lonDeg, kDegreeDecimals);
    out += sep;
    text::appendFixed(out, p.latDeg, kDegreeDecimals);
    out += sep;
    text::appendFixed(out, p.h, text::kCoordinateDecimals);
}

void appendDxfPair(std::string& out, int code, std::string_view value)
{
    out.append(std::to_string(code)).append("\r\n").append(value).append("\r\n");
}

void appendDxfNumber(std::string& out, int code, double value)
{
    out.append(std::to_string(code)).append("\r\n");
    text::appendFixed(out, value, text::kCoordinateDecimals);
    out += "\r\n";
}

void appendDxfPoint(std::string& out, const MapPoint& p)
{
    appendDxfPair(out, 0, "POINT");
    appendDxfPair(out, 8, "POINTS");
    appendDxfNumber(out, 10, p.a);
    appendDxfNumber(out, 20, p.b);
    appendDxfNumber(out, 30, p.h);
    appendDxfPair(out, 0, "TEXT");
    appendDxfPair(out, 8, "CODES");
    appendDxfNumber(out, 10, p.a + kTextOffsetM);
    appendDxfNumber(out, 20, p.b + kTextOffsetM);
    appendDxfNumber(out, 30, p.h);
    appendDxfNumber(out, 40, kTextHeightM);
    std::string code;
    appendDxfText(code, codeAsUtf8(p.code));
    appendDxfPair(out, 1, code);
}

void appendGeoJsonPoint(std::string& out, const MapTarget& target, const MapPoint& p)
{
    out += ",\n{\"type\": \"Feature\", \"geometry\": {\"type\": \"Point\", \"coordinates\": [";
    appendPlace(out, p, ", ");
    out += "]}, \"properties\": {\"code\": ";
    appendJsonString(out, codeAsUtf8(p.code));
    out += ", \"system\": ";
    appendJsonString(out, target.id);
    if (!target.centre.empty()) {
        out += ", \"centre\": ";
        appendJsonString(out, target.centre);
    }
    out.append(", \"").append(target.aName).append("\": ");
    text::appendFixed(out, p.a, target.decimals);
    out.append(", \"").append(target.bName).append("\": ");
    text::appendFixed(out, p.b, target.decimals);
    out += ", \"h\": ";
    text::appendFixed(out, p.h, text::kCoordinateDecimals);
    out += "}}";
}

} // namespace

std::optional<MapFormat> mapFormatNamed(std::string_view name)
{
    for (const Name& n : kNames) {
        if (equalsAscii(name, n.text)) return n.format;
    }
    return std::nullopt;
}

std::optional<MapFormat> mapFormatOfPath(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    // What follows the last dot: a dot in a folder's name leaves a "/" in it,
    // which names no format.
    if (dot == std::string_view::npos) return std::nullopt;
    const auto format = mapFormatNamed(path.substr(dot + 1));
    if (!format || *format == MapFormat::Csv) return std::nullopt;
    return format;
}

std::string codeAsUtf8(std::string_view code)
{
    return text::isValidUtf8(code) ? std::string(code) : text::windows1253ToUtf8(code);
}

std::string mapHeader(MapFormat format, const MapTarget& target)
{
    switch (format) {
    case MapFormat::Csv: return {};
    case MapFormat::Kml: {
        std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
                        "<Document>\n<name>";
        appendXml(s, target.centre.empty() ? target.id : target.id + " " + target.centre);
        return s += "</name>\n";
    }
    case MapFormat::GeoJson: return "{\"type\": \"FeatureCollection\", \"features\": [";
    case MapFormat::Gpx:
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"hattsheet-convert\" "
               "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    case MapFormat::Dxf:
        // R12 (AC1009), the version every reader takes; the points on one
        // layer and their codes on another, both continuous lines.
        return "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1009\r\n9\r\n$DWGCODEPAGE\r\n3\r\nANSI_1253\r\n"
               "9\r\n$INSUNITS\r\n70\r\n6\r\n"
               "0\r\nENDSEC\r\n0\r\nSECTION\r\n2\r\nTABLES\r\n"
               "0\r\nTABLE\r\n2\r\nLTYPE\r\n70\r\n1\r\n0\r\nLTYPE\r\n2\r\nCONTINUOUS\r\n70\r\n0\r\n3\r\nSolid line\r\n"
               "72\r\n65\r\n73\r\n0\r\n40\r\n0.0\r\n0\r\nENDTAB\r\n"
               "0\r\nTABLE\r\n2\r\nLAYER\r\n70\r\n2\r\n"
               "0\r\nLAYER\r\n2\r\nPOINTS\r\n70\r\n0\r\n62\r\n7\r\n6\r\nCONTINUOUS\r\n"
               "0\r\nLAYER\r\n2\r\nCODES\r\n70\r\n0\r\n62\r\n3\r\n6\r\nCONTINUOUS\r\n"
               "0\r\nENDTAB\r\n0\r\nENDSEC\r\n0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    }
    return {};
}

void appendMapPoint(std::string& out, MapFormat format, const MapTarget& target, const MapPoint& p)
{
    switch (format) {
    case MapFormat::Csv: return;
    case MapFormat::Kml:
        out += "<Placemark><name>";
        appendXml(out, codeAsUtf8(p.code));
        out += "</name><description>";
        appendXml(out, coordinateText(target, p));
        out += "</description><Point><coordinates>";
        appendPlace(out, p, ",");
        out += "</coordinates></Point></Placemark>\n";
        return;
    case MapFormat::GeoJson: appendGeoJsonPoint(out, target, p); return;
    case MapFormat::Gpx:
        out += "<wpt lat=\"";
        text::appendFixed(out, p.latDeg, kDegreeDecimals);
        out += "\" lon=\"";
        text::appendFixed(out, p.lonDeg, kDegreeDecimals);
        out += "\"><ele>";
        text::appendFixed(out, p.h, text::kCoordinateDecimals);
        out += "</ele><name>";
        appendXml(out, codeAsUtf8(p.code));
        out += "</name><desc>";
        appendXml(out, coordinateText(target, p));
        out += "</desc></wpt>\n";
        return;
    case MapFormat::Dxf: appendDxfPoint(out, p); return;
    }
}

std::size_t firstPieceSkip(MapFormat format) { return format == MapFormat::GeoJson ? 1 : 0; }

std::string mapFooter(MapFormat format)
{
    switch (format) {
    case MapFormat::Csv: return {};
    case MapFormat::Kml: return "</Document>\n</kml>\n";
    case MapFormat::GeoJson: return "\n]}\n";
    case MapFormat::Gpx: return "</gpx>\n";
    case MapFormat::Dxf: return "0\r\nENDSEC\r\n0\r\nEOF\r\n";
    }
    return {};
}

} // namespace hattsheet::pointfile
