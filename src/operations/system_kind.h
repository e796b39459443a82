#pragma once
// The systems beside Hatt by name: their ids and spellings, and what kind of
// coordinates each has (operations/systems.h converts between them).

#include <optional>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

enum class SystemKind {
    Hatt,              // Hatt on a centre, old datum (Bessel 1841): X, Y (metres)
    Egsa87,            // ΕΓΣΑ87 / TM87 (EPSG:2100): E, N (metres)
    Egsa87Geographic,  // ΕΓΣΑ87 geographic, GRS80 (EPSG:4121): φ, λ (degrees)
    Tm07,              // HTRS07 / TM07: E, N (metres)
    Htrs07,            // HTRS07 geographic, GRS80: φ, λ (degrees), h (metres, ellipsoidal)
    Wgs84,             // WGS84 geographic (EPSG:4326): φ, λ (degrees)
    Tm3West,           // TM3 zones of the old datum: E, N (metres)
    Tm3Central,
    Tm3East,
};

// One row of the systems' table: the id --from and --to take, and its
// other spellings (case, accents and Greek or Latin letters do not count).
struct SystemInfo {
    SystemKind kind;
    std::string_view id;
    std::vector<std::string_view> aliases;
};
// Every system but Hatt (whose id is a centre or a sheet), in the order
// --systems lists them.
const std::vector<SystemInfo>& systemTable();
const SystemInfo& systemInfo(SystemKind kind);
// The system a text names, by its id or an alias; empty for any other text
// (a Hatt centre or sheet name).
std::optional<SystemKind> systemNamed(std::string_view text);

bool isGeographic(SystemKind kind);   // φ, λ in degrees (else plane, metres)
bool isOldDatum(SystemKind kind);     // Hatt and TM3: Bessel 1841
bool needsHeposGrid(SystemKind kind); // TM07 and HTRS07
// Whether the route through this system is approximate (WGS84: about 1 m).
bool isApproximate(SystemKind kind);

} // namespace hattsheet::operations
