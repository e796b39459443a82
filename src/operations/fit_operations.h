#pragma once
// What the window's "Προσαρμογή" dialog starts: common points read from the
// two panels (panel 1 the source, panel 2 the target, paired by code as
// hattsheet-convert --fit --common pairs two lists), a plane fit of the
// points in use (any of them may be left out and taken back), its report as
// the command line prints it (fit_report.h), its file as --save-fit writes
// it, a fit file opened instead, and panel 1's list carried into panel 2
// through the fit as --apply-fit converts a list. Texts in the window's
// language; refusals of the files and of the apply under "Προσοχή!".

#include "geodesy/plane_fit.h"
#include "operations/fit_report.h"
#include "operations/panel_contents.h"
#include "operations/window_ports.h"

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

// One common point's row of the dialog's table.
struct FitRow {
    std::string code;
    bool used = true;
    bool largest = false;        // the longest residual of the points in use
    std::string dx, dy, length;  // metres, "0.000"; empty while the fit is refused
};

// The fit of the points in use and what the dialog shows of it.
struct FitReport {
    std::vector<FitRow> rows;                 // every common point, in panel 1's order
    std::optional<geodesy::FitResult> result; // none: refused
    std::string refusal;                      // why, in the window's words; empty with a fit
    std::string rms;                          // metres, "0.000", over the points in use; empty when refused
    std::string summary;                      // RMS and the largest residual, a line for below the table
    std::string parameters;                   // as --fit prints them after the residuals
};

class FitSession {
public:
    // Reads the common points from panels 1 and 2 and fits them again. A
    // code left out before stays out while the panels still hold it. A
    // line that cannot be read, a code in one panel only or given twice
    // refuses the fit with no rows.
    void readPanels(const Fields& fields);
    void chooseModel(geodesy::FitModel model);
    // Leaves the point of a row out of the fit, or takes it back, and fits again.
    void setUsed(std::size_t row, bool used);

    geodesy::FitModel model() const { return m_model; }
    const FitReport& report() const { return m_report; }
    // The fit an apply uses: the file's opened since the last fit, else the
    // fit's; null when there is none (the fit refused, nothing opened).
    const geodesy::PlaneFit* fitToApply() const;
    // The file the fit to apply was read from; empty for the points' own.
    const std::string& openedFile() const { return m_openedFile; }

    // Writes the fit and its points in use as --save-fit does, with this
    // date line (fitFileDate()), to a file the user chooses (an existing
    // one replaced after a question, No the default). True when written.
    bool save(Dialogs& dialogs, std::string_view date);
    // Reads a fit file the user chooses; from now on it is the fit to apply.
    // A file that cannot be read or is no fit file is refused by name and
    // the fit to apply stays as it was.
    bool open(Dialogs& dialogs);
    // Carries panel 1's list into panel 2 through the fit to apply (panel
    // 2's question before it mixes systems, No the default). A record that
    // cannot be read or converted is named and its line selected, and
    // nothing is appended. Gives the number of points appended.
    unsigned long long apply(Fields& fields, Dialogs& dialogs, PanelContents& panel2) const;

private:
    void refit();
    // The points read that are not left out, in their order.
    std::vector<geodesy::CommonPoint> usedPoints() const;

    geodesy::FitModel m_model = geodesy::FitModel::Similarity;
    std::vector<geodesy::CommonPoint> m_points;
    std::string m_readRefusal;  // the panels' reading
    std::set<std::string, std::less<>> m_excluded;
    FitReport m_report;
    std::optional<geodesy::PlaneFit> m_opened;
    std::string m_openedFile;
    std::string m_lastFile;  // saved or opened last: offered again
};

} // namespace hattsheet::operations
