#pragma once
// What the window's "Συστήματα" dialog starts (operations/systems.h does the
// conversions): one point between two systems as the dialog's result text,
// the route's accuracy beside it, panel 1 into panel 2 through the route as
// the batch converts every list, and the installation of the HEPOS grid from
// the two files the user picks. Texts in the window's language; refusals of
// the menu entries under "Προσοχή!" as every operation shows them.

#include "base/expected.h"
#include "operations/panel_contents.h"
#include "operations/systems.h"
#include "operations/window_ports.h"
#include "operations/window_texts.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

// The HEPOS grid as the window holds it between conversions: looked up
// (findHeposGrid({})) the first time a route needs it and kept once found;
// a lookup that found nothing is tried again next time (the user may have
// installed the files meanwhile).
class GridSlot {
public:
    // The grid a route between the two systems needs; null when it needs none.
    Expected<std::shared_ptr<const geodesy::HeposGrid>, GridLookup> gridFor(SystemKind from, SystemKind to);
    // After an installation: the next route reads the new files.
    void forget() { m_grid.reset(); }

private:
    std::shared_ptr<const geodesy::HeposGrid> m_grid;
};

// The route between two systems, or the message of its refusal: a Hatt
// end's centre or sheets, the grid not found (where the agency publishes it
// and where to put it, as the command line says) or found and refused.
Expected<SystemRoute, std::string> makeSystemRoute(const SystemId& from, const SystemId& to, GridSlot& grid,
                                                   Language language = kWindowLanguage);

// One point as the dialog shows it: the lines of convertPointTexts (those
// --point prints), one a line, or the message of the refusal; and apart,
// the warning of a point far outside its named sheet.
struct SystemPointOutcome {
    std::string text;
    std::string warning;
    bool refused = false;
};
// a, b: the point in the from-system's order (metres, or degrees for a
// geographic system); h: its height (metres; empty is 0), passed through.
SystemPointOutcome convertSystemPoint(const SystemId& from, const SystemId& to, GridSlot& grid, std::string_view aText,
                                      std::string_view bText, std::string_view hText);

// The names of a system's coordinates in the window's words, without their
// units: "E, N (m)" gives E and N; HTRS07's third is h.
std::vector<std::string> coordinateNameList(SystemKind kind);

// What the route between two systems is accurate to: for each end but
// ΕΓΣΑ87 its accuracy to ΕΓΣΑ87 (MessageBook::accuracyToEgsa87); between
// two systems of the old datum, that no polynomial is used.
std::string routeAccuracy(SystemKind from, SystemKind to);

// Panel 1 from one system to the other into panel 2, through the batch
// (runBatch with a SystemLineConverter). Gives the number of points
// appended; 0 when the list is empty or the route refused (its message
// shown, no field changed).
unsigned long long convertListBetweenSystems(Fields& fields, Dialogs& dialogs, const TempPlaces& temp,
                                             const SystemId& from, const SystemId& to, GridSlot& grid);
// The system of the lines a conversion into `to` appends to panel 2, for the
// panel's check against mixing systems.
LineSystem lineSystemOf(const SystemId& to);

// Asks for east.grd and then north.grd; a cancel ends it with nothing done.
// The two are checked and copied into the per-user folder (installHeposGrid),
// and a message says where, or which file was refused and why. True when
// the grid was installed.
bool installGridFiles(Dialogs& dialogs);

} // namespace hattsheet::operations
