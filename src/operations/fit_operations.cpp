#include "operations/fit_operations.h"

#include "base/platform.h"
#include "base/safe_file.h"
#include "operations/list_source.h"
#include "operations/panel_operations.h"
#include "operations/plane_fit_file.h"
#include "operations/window_texts.h"

#include <filesystem>
#include <system_error>

namespace hattsheet::operations {

namespace {

namespace geo = hattsheet::geodesy;
namespace fs = std::filesystem;

// A fit file is read whole, up to this (bytes), as the command line reads it.
constexpr std::uintmax_t kLongestFitFile = std::uintmax_t(64) << 20;

// The common points of the two panels, or why they cannot be paired.
Expected<std::vector<geo::CommonPoint>, std::string> commonPointsOfPanels(const Fields& fields)
{
    std::vector<CodedPoint> sides[2];
    for (const Panel panel : {Panel::One, Panel::Two}) {
        auto side = readSideList(fields.text(panelField(panel)));
        if (!side) return unexpected(fitPanelLine(panel, side.error().stop));
        sides[panel == Panel::One ? 0 : 1] = std::move(*side);
    }
    auto paired = pairByCode(sides[0], sides[1]);
    if (!paired) return unexpected(fitPanelCodes(paired.error().onlyFrom, paired.error().onlyTo, paired.error().duplicate));
    return std::move(*paired);
}

// The table's numbers: the points in use against the fit, and those left
// out against it too (as --check points), the largest of those in use marked.
void fillResiduals(FitReport& report, const std::vector<geo::CommonPoint>& points, const std::vector<geo::CommonPoint>& used)
{
    const geo::PlaneFit& fit = report.result->fit;
    const ResidualTable all = residualTable(fit, points);
    const ResidualTable inUse = residualTable(fit, used);
    report.rms = inUse.rms;
    const ResidualRow& largest = inUse.rows[*inUse.largest];
    for (std::size_t i = 0; i < report.rows.size(); ++i) {
        FitRow& row = report.rows[i];
        row.dx = all.rows[i].dx;
        row.dy = all.rows[i].dy;
        row.length = all.rows[i].length;
        row.largest = row.used && row.code == largest.code;
    }
    report.summary = fitSummary(inUse.rms, used.size(), largest.code, largest.length);
}

} // namespace

void FitSession::readPanels(const Fields& fields)
{
    auto points = commonPointsOfPanels(fields);
    m_points = points ? std::move(*points) : std::vector<geo::CommonPoint>{};
    m_readRefusal = points ? std::string() : points.error();
    refit();
}

void FitSession::chooseModel(geo::FitModel model)
{
    m_model = model;
    refit();
}

void FitSession::setUsed(std::size_t row, bool used)
{
    if (row >= m_points.size()) return;
    if (used) {
        m_excluded.erase(m_points[row].code);
    } else {
        m_excluded.insert(m_points[row].code);
    }
    refit();
}

void FitSession::refit()
{
    // A new fit replaces a fit opened from a file as the one to apply.
    m_opened.reset();
    m_openedFile.clear();
    m_report = FitReport{};
    for (const geo::CommonPoint& p : m_points) m_report.rows.push_back({p.code, !m_excluded.count(p.code), false, {}, {}, {}});
    const std::vector<geo::CommonPoint> used = usedPoints();
    if (!m_readRefusal.empty()) {
        m_report.refusal = m_readRefusal;
        return;
    }
    auto result = geo::fitPlane(m_model, used);
    if (!result) {
        m_report.refusal = fitRefusedInWindow(result.error(), m_model, used.size());
        return;
    }
    m_report.result = std::move(*result);
    fillResiduals(m_report, m_points, used);
    m_report.parameters = parameterText(*m_report.result, windowBook());
}

std::vector<geo::CommonPoint> FitSession::usedPoints() const
{
    std::vector<geo::CommonPoint> used;
    for (const geo::CommonPoint& p : m_points) {
        if (!m_excluded.count(p.code)) used.push_back(p);
    }
    return used;
}

const geo::PlaneFit* FitSession::fitToApply() const
{
    if (m_opened) return &*m_opened;
    return m_report.result ? &m_report.result->fit : nullptr;
}

bool FitSession::save(Dialogs& dialogs, std::string_view date)
{
    if (!m_report.result) return false;
    const auto chosen = dialogs.chooseSaveFile(captions::kFitSaveTitle, {{captions::kFitFilter, "*.fit"},
                                                                         {windowTexts().filterAll, "*"}},
                                               m_lastFile);
    if (!chosen || chosen->empty()) return false;
    const fs::path path = platform::pathFromUtf8(*chosen);
    std::error_code statusError;
    if (fs::symlink_status(path, statusError).type() != fs::file_type::not_found &&
        !dialogs.askYesNo(replaceExisting(*chosen), captions::kFitSaveTitle, DefaultAnswer::No)) {
        return false;
    }
    files::SafeWriter file(path, platform::WriteKinds::FilesOnly);
    file.write(writeFitFile(m_report.result->fit, usedPoints(), date));
    const auto done = file.commit();
    if (!done) {
        showWarning(dialogs, windowBook().cannotWrite(*chosen, done.error().code));
        return false;
    }
    m_lastFile = *chosen;
    return true;
}

bool FitSession::open(Dialogs& dialogs)
{
    const auto chosen = dialogs.chooseOpenFile(captions::kFitOpenTitle, {{captions::kFitFilter, "*.fit"},
                                                                         {windowTexts().filterAll, "*"}});
    if (!chosen || chosen->empty()) return false;
    const auto text = files::readWholeFile(platform::pathFromUtf8(*chosen), kLongestFitFile);
    if (!text) {
        showWarning(dialogs, windowBook().cannotRead(*chosen, text.error().code));
        return false;
    }
    const auto fit = readFitFile(*text);
    if (!fit) {
        showWarning(dialogs, windowBook().fitFileRefused(*chosen, fit.error()));
        return false;
    }
    m_opened = *fit;
    m_openedFile = *chosen;
    m_lastFile = *chosen;
    return true;
}

unsigned long long FitSession::apply(Fields& fields, Dialogs& dialogs, PanelContents& panel2) const
{
    std::string list = fields.text(FieldId::File1);
    if (!hasNonBlankLine(list)) {
        showWarning(dialogs, windowTexts().noList);
        return 0;
    }
    const geo::PlaneFit* fit = fitToApply();
    if (fit == nullptr) {
        showWarning(dialogs, captions::kFitNone);
        return 0;
    }
    // The whole list is converted before panel 2 is touched: a failing
    // record leaves nothing half-done there.
    TextSource source(std::move(list));
    std::string lines, converted;
    const auto run = convertList(source, FitLineConverter(*fit), panelListOptions(), lines, [&](std::string& full) {
        converted += full;
        full.clear();
        return true;
    });
    converted += lines;
    if (!run) {
        showWarning(dialogs, std::string(windowTexts().batchFailed) + "\n" + windowBook().recordStopped(run.error()));
        fields.selectLine(FieldId::File1, run.error().line);
        return 0;
    }
    const LineSystem system{LineSystem::Kind::Other, {}, {}, captions::kFitTargetSystem};
    if (!panel2.mayAppend(fields, dialogs, system)) return 0;
    if (!converted.empty() && fields.endsInsideLine(FieldId::File2)) converted.insert(0, "\r\n");
    fields.appendText(FieldId::File2, converted);
    panel2.appended(system, run->records > 0, true);
    std::string done = withPointsRead(windowTexts().batchDone, run->records, run->layout);
    if (run->offLine != 0) done += std::string("\n") + windowBook().recordsShifted(run->offLine, run->firstOffLine);
    dialogs.showMessage(done, windowTexts().titleInfo, MessageIcon::Information);
    return run->records;
}

} // namespace hattsheet::operations
