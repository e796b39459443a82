#include "operations/panel_contents.h"

#include "geodesy/centre.h"
#include "operations/egsa87_operations.h"
#include "operations/point_list.h"
#include "operations/window_texts.h"

#include <algorithm>

namespace hattsheet::operations {

namespace {

// Whether a panel text has a line that a save would write.
bool hasNonBlankLine(const std::string& text)
{
    return text.find_first_not_of(" \r\n") != std::string::npos;
}

} // namespace

bool sameSystem(const LineSystem& a, const LineSystem& b)
{
    if (a.kind != b.kind) return false;
    if (a.kind == LineSystem::Kind::Egsa87) return true;
    if (a.kind == LineSystem::Kind::Other) return a.name == b.name;
    const auto first = geodesy::readCentre(a.phi, a.lambda);
    const auto second = geodesy::readCentre(b.phi, b.lambda);
    // Centres that cannot be read are never converted to: only their texts
    // can tell them apart.
    if (!first || !second) return a.phi == b.phi && a.lambda == b.lambda;
    return first->phi0Deg == second->phi0Deg && first->lambda0Deg == second->lambda0Deg;
}

LineSystem hattSystemOf(const Fields& fields, Side side)
{
    const bool from = side == Side::From;
    return {LineSystem::Kind::Hatt, fields.text(from ? FieldId::PhiOld : FieldId::PhiNew),
            fields.text(from ? FieldId::LambdaOld : FieldId::LambdaNew), {}};
}

LineSystem systemOfFill(const Fields& fields, PanelFill fill)
{
    switch (fill) {
    case PanelFill::Batch: return hattSystemOf(fields, Side::To);
    case PanelFill::BatchBackward: return hattSystemOf(fields, Side::From);
    case PanelFill::PointToEgsa87:
    case PanelFill::ListToEgsa87: return {};
    case PanelFill::ListFromEgsa87: return hattSystemOf(fields, Side::To);
    }
    return {};
}

void PanelContents::startAgainIfEmpty(const Fields& fields)
{
    if (hasNonBlankLine(fields.text(panelField(m_panel)))) return;
    m_systems.clear();
    m_unsaved = false;
    m_openedLines = false;
    m_layout.reset();
}

bool PanelContents::mayAppend(const Fields& fields, Dialogs& dialogs, const LineSystem& system)
{
    startAgainIfEmpty(fields);
    const auto same = [&system](const LineSystem& held) { return sameSystem(held, system); };
    if (m_systems.empty() || std::any_of(m_systems.begin(), m_systems.end(), same)) return true;
    std::vector<std::string> held;
    for (const LineSystem& s : m_systems) held.push_back(systemName(s));
    return dialogs.askYesNo(mixSystemsQuestion(held, systemName(system)), windowTexts().titleWarning,
                            DefaultAnswer::No);
}

void PanelContents::appended(const LineSystem& system, bool any, bool fromList)
{
    if (!any) return;
    m_unsaved = true;
    if (fromList) m_layout = m_sourceLayout;
    const auto same = [&system](const LineSystem& held) { return sameSystem(held, system); };
    if (std::none_of(m_systems.begin(), m_systems.end(), same)) m_systems.push_back(system);
}

bool PanelContents::holdsUnsaved(const Fields& fields) const
{
    return m_unsaved && hasNonBlankLine(fields.text(panelField(m_panel)));
}

bool PanelContents::clear(Fields& fields, Dialogs& dialogs)
{
    if (holdsUnsaved(fields) &&
        !dialogs.askYesNo(windowTexts().clearUnsaved, windowTexts().titleWarning, DefaultAnswer::No)) {
        return false;
    }
    fields.setText(panelField(m_panel), "");
    m_systems.clear();
    m_unsaved = false;
    m_openedLines = false;
    m_layout.reset();
    return true;
}

namespace {

void runFill(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, PanelFill fill)
{
    switch (fill) {
    case PanelFill::Batch: convertPointList(fields, dialogs, temp, Direction::Forward); return;
    case PanelFill::BatchBackward: convertPointList(fields, dialogs, temp, Direction::Backward); return;
    case PanelFill::PointToEgsa87: convertPointToEgsa87(fields, dialogs); return;
    case PanelFill::ListToEgsa87: convertListToEgsa87(fields, dialogs, temp); return;
    case PanelFill::ListFromEgsa87: convertListFromEgsa87(fields, dialogs, temp); return;
    }
}

} // namespace

void fillPanel(PanelContents& contents, Fields& fields, Dialogs& dialogs, const TempPlaces& temp, PanelFill fill)
{
    const LineSystem system = systemOfFill(fields, fill);
    if (!contents.mayAppend(fields, dialogs, system)) return;
    const bool fromList = fill != PanelFill::PointToEgsa87;
    WatchedFields watched(fields);
    try {
        runFill(watched, dialogs, temp, fill);
    } catch (...) {
        // The lines appended before the failure stay in the panel.
        contents.appended(system, watched.changed(contents.field()), fromList);
        throw;
    }
    contents.appended(system, watched.changed(contents.field()), fromList);
}

} // namespace hattsheet::operations
