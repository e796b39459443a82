#pragma once
// The small interface through which the operations reach the window: its
// fields as texts, its message boxes and its file dialogs. The Qt window
// implements it (src/ui/); tests pass a fake that records what happened.
// Texts are UTF-8. Panel texts use CR LF between lines.

#include "operations/direction.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace hattsheet::operations {

enum class FieldId {
    PhiOld,     // txtPhiOld: φ0 of the old sheet centre (degrees-minutes text)
    LambdaOld,  // txtLamdaOld: Δλ0 of the old sheet centre, from Athens (degrees-minutes text)
    PhiNew,     // txtPhiNew
    LambdaNew,  // txtLamdaNew
    X1,         // txtX1: easting on the old sheet (metres)
    Y1,         // txtY1: northing on the old sheet (metres)
    X2,         // txtX2: easting on the new sheet (metres)
    Y2,         // txtY2: northing on the new sheet (metres)
    Lat,        // txtf: latitude of the point (degrees-minutes-seconds text)
    LonAthens,  // txtm: longitude from the Athens meridian (degrees-minutes-seconds text)
    LonGreenwich, // txtl: longitude from Greenwich (degrees-minutes-seconds text)
    File1,      // txtFile1: panel 1, the list to convert
    File2,      // txtFile2: panel 2, the converted list
};

inline constexpr FieldId kAllFields[] = {
    FieldId::PhiOld, FieldId::LambdaOld, FieldId::PhiNew, FieldId::LambdaNew, FieldId::X1,
    FieldId::Y1, FieldId::X2, FieldId::Y2, FieldId::Lat, FieldId::LonAthens,
    FieldId::LonGreenwich, FieldId::File1, FieldId::File2,
};

// The widget object name of a field ("txtPhiOld", ...).
const char* fieldObjectName(FieldId id);

class Fields {
public:
    virtual ~Fields() = default;
    virtual std::string text(FieldId id) const = 0;
    virtual void setText(FieldId id, const std::string& text) = 0;
    // Appends to a field's text; a panel may do this faster than get + set.
    virtual void appendText(FieldId id, const std::string& text) { setText(id, this->text(id) + text); }
    // Whether the field's text ends inside a line: it is not empty and its
    // last character is no line end.
    virtual bool endsInsideLine(FieldId id) const
    {
        const std::string t = text(id);
        return !t.empty() && t.back() != '\n' && t.back() != '\r';
    }
    // Scrolls a panel to its 1-based line (CR LF, CR or LF end a line) and
    // selects the line: where a refused record stands.
    virtual void selectLine(FieldId id, unsigned long long line) { (void)id, (void)line; }
    // Gives a field the focus: the field a refusal names, after its message.
    virtual void focus(FieldId id) { (void)id; }
    // A short note beside a field that asks for nothing and blocks nothing
    // (no message box): how a text was read.
    virtual void showNote(FieldId id, const std::string& text) { (void)id, (void)text; }
};

// The two point panels; each has its own open, save and clear buttons.
enum class Panel { One, Two };
inline FieldId panelField(Panel p) { return p == Panel::One ? FieldId::File1 : FieldId::File2; }

enum class MessageIcon { Critical, Information, Question };

// The button of a question that Enter presses.
enum class DefaultAnswer { Yes, No };

struct FileFilter {
    std::string description;  // "Αρχεία κειμένου txt (*.txt)"
    std::string pattern;      // "*.txt"
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal message box with one OK button.
    virtual void showMessage(const std::string& text, const std::string& title, MessageIcon icon) = 0;
    // A question with Yes and No, one of them the default; true for Yes.
    // Closing the box without an answer is No.
    virtual bool askYesNo(const std::string& text, const std::string& title, DefaultAnswer preselected) = 0;
    // The common file dialogs; empty optional on a cancel. Paths are UTF-8.
    // The open dialog offers the path chosen last in any use again.
    virtual std::optional<std::string> chooseOpenFile(const std::string& title,
                                                      const std::vector<FileFilter>& filters) = 0;
    // The save dialog offers `suggested` with its name selected, so typing
    // replaces it; an empty one offers the folder used last, without a name.
    virtual std::optional<std::string> chooseSaveFile(const std::string& title,
                                                      const std::vector<FileFilter>& filters,
                                                      const std::string& suggested) = 0;
    // The save dialog where the type chosen counts ("Αποθήκευση ως…"): the
    // path, and the index in filters of the type selected when the user
    // accepted. Without a dialog that tells, chooseSaveFile's path and the
    // index filters.size(): no type chosen, the name alone decides.
    struct ChosenSave {
        std::string path;
        std::size_t filter = 0;
    };
    virtual std::optional<ChosenSave> chooseSaveFileOfType(const std::string& title,
                                                           const std::vector<FileFilter>& filters,
                                                           const std::string& suggested)
    {
        auto path = chooseSaveFile(title, filters, suggested);
        if (!path) return std::nullopt;
        return ChosenSave{std::move(*path), filters.size()};
    }
};

// Where the two temporary files may go: the program's directory first, the
// per-user cache directory when that one is not writable (an installed
// program).
struct TempPlaces {
    std::filesystem::path programDir;
    std::filesystem::path cacheDir;
};

} // namespace hattsheet::operations
