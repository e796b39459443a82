#pragma once
// What the lines of a point panel are: the coordinate system each operation
// wrote them in (a sheet centre's Hatt plane, or ΕΓΣΑ87), and whether the
// converted lines were saved since. Panel 2 receives every conversion; the
// window keeps one of these for it, so that
// - lines of a second system are added only after a question (No, the
//   default, adds nothing): a save would otherwise write two systems into
//   one file without a word;
// - the quit question and the panel's clear say when converted lines would
//   be lost, and then Enter (the default answer) keeps them.
// - a save in the list's layout writes the lines in the layout of the list
//   they were converted from (the one opened into panel 1 last), or of the
//   list opened into the panel itself.
// A panel whose text has no non-blank line holds nothing: whatever it held
// was emptied by hand or cleared, and it starts again.

#include "operations/direction.h"
#include "operations/kept_layout.h"
#include "operations/window_ports.h"

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace hattsheet::operations {

// The coordinate system of the lines one operation writes.
struct LineSystem {
    enum class Kind { Hatt, Egsa87, Other };
    Kind kind = Kind::Egsa87;
    // Hatt: the sheet centre, as its fields held it (degrees-minutes texts).
    std::string phi, lambda;
    // Other: a system of the systems dialog (TM07, WGS84, a TM3 zone...), by
    // the name the window gives it.
    std::string name;
};

// Whether two systems are the same: both ΕΓΣΑ87, or both Hatt on centres
// that read to the same degrees ("40.51" and "40.510" are one centre).
bool sameSystem(const LineSystem& a, const LineSystem& b);
// The Hatt plane of the centre a side's φ and Δλ fields hold now.
LineSystem hattSystemOf(const Fields& fields, Side side);

// The window's operations that append converted lines to panel 2.
enum class PanelFill {
    Batch,            // "Μετατροπή ομάδας σημείων": onto "Σε Κ.Φ."
    BatchBackward,    // the batch back: onto "Από Κ.Φ."
    PointToEgsa87,    // the point of "Από Κ.Φ." to ΕΓΣΑ87
    ListToEgsa87,     // panel 1 to ΕΓΣΑ87
    ListFromEgsa87,   // panel 1 from ΕΓΣΑ87 onto "Σε Κ.Φ."
};
// The system of the lines an operation would append with the fields as
// they stand.
LineSystem systemOfFill(const Fields& fields, PanelFill fill);

class PanelContents {
public:
    explicit PanelContents(Panel panel) : m_panel(panel) {}
    FieldId field() const { return panelField(m_panel); }

    // Before an operation appends lines of `system`: true to go on. When
    // the panel holds lines of other systems, asks whether to add these to
    // them, No the default.
    bool mayAppend(const Fields& fields, Dialogs& dialogs, const LineSystem& system);
    // After the operation: `any` says whether it appended lines; they are
    // unsaved from now on. `fromList`: they were converted from the list of
    // panel 1, and take its layout.
    void appended(const LineSystem& system, bool any, bool fromList = false);
    // Panel 1 now holds a list read in `layout` (none: it was cleared).
    void sourceOpened(std::optional<KeptLayout> layout) { m_sourceLayout = std::move(layout); }
    // A list in `layout` was opened into this panel itself.
    void opened(KeptLayout layout)
    {
        m_layout = std::move(layout);
        m_openedLines = true;
    }
    // The layout of the list its lines came from; the program's own comma
    // layout when they came from no list (a point converted, or nothing
    // since the panel started again).
    const KeptLayout& layout() const
    {
        static const KeptLayout programs;
        return m_layout ? *m_layout : programs;
    }
    // The panel's text was written to a file.
    void saved() { m_unsaved = false; }
    // The systems of the converted lines it holds, in the order they came,
    // and whether lines opened from a file (of no system known) are among
    // them: what a map file of the panel would be in (operations/map_export.h).
    const std::vector<LineSystem>& systems() const { return m_systems; }
    bool holdsOpenedLines() const { return m_openedLines; }
    // Whether the panel holds converted lines that were not saved since.
    bool holdsUnsaved(const Fields& fields) const;
    // Empties the panel; when it holds unsaved converted lines, only after
    // a Yes to the question (No the default). Gives whether it was emptied.
    bool clear(Fields& fields, Dialogs& dialogs);

private:
    // Forgets what a panel emptied by hand held.
    void startAgainIfEmpty(const Fields& fields);

    Panel m_panel;
    std::vector<LineSystem> m_systems;  // of the converted lines it holds, in the order they came
    bool m_unsaved = false;
    bool m_openedLines = false;  // lines of a list opened into the panel itself
    std::optional<KeptLayout> m_sourceLayout;  // of the list in panel 1
    std::optional<KeptLayout> m_layout;        // of the list these lines came from
};

// Runs `fill` as the window's button or menu entry does, into the panel of
// `contents` (panel 2): asked first when its lines would join lines of
// another system (No runs nothing), and its lines noted as unsaved after,
// also those a failing record or an exception left.
void fillPanel(PanelContents& contents, Fields& fields, Dialogs& dialogs, const TempPlaces& temp, PanelFill fill);

// Fields that pass everything to others and note which fields an operation
// appended to or set: what came into a panel, whatever the operation.
class WatchedFields final : public Fields {
public:
    explicit WatchedFields(Fields& inner) : m_inner(inner) {}
    bool changed(FieldId id) const { return m_changed[static_cast<std::size_t>(id)]; }

    std::string text(FieldId id) const override { return m_inner.text(id); }
    void setText(FieldId id, const std::string& text) override
    {
        note(id);
        m_inner.setText(id, text);
    }
    void appendText(FieldId id, const std::string& text) override
    {
        if (!text.empty()) note(id);
        m_inner.appendText(id, text);
    }
    bool endsInsideLine(FieldId id) const override { return m_inner.endsInsideLine(id); }
    void selectLine(FieldId id, unsigned long long line) override { m_inner.selectLine(id, line); }
    void focus(FieldId id) override { m_inner.focus(id); }
    void showNote(FieldId id, const std::string& text) override { m_inner.showNote(id, text); }

private:
    void note(FieldId id) { m_changed[static_cast<std::size_t>(id)] = true; }

    Fields& m_inner;
    bool m_changed[std::size(kAllFields)] = {};
};

} // namespace hattsheet::operations
