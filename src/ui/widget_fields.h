#pragma once
// The window's fields as the operations see them (operations::Fields): the
// eleven single-line fields and the two point panels, found by FieldId.
// Panel texts are UTF-8 with CR LF between lines for the operations; the
// conversion to and from the text widget happens here, both ways, and gives
// back every character the user sees, unchanged.
//
// The text document takes U+2029, U+FDD0, U+FDD1 (and CR, LF) as paragraph
// breaks when text is inserted, and shows U+2028 as a line break. Those four
// characters of the user's data (a point code may hold any of them) are held
// in the document as stand-ins, lone low surrogates (U+DC28, U+DC29, U+DCD0,
// U+DCD1), which no decoded text can contain; the widget shows each as one
// replacement glyph, inside its line. What the document holds as a break,
// a paragraph end or a U+2028, is a line end: the program's own, or one the
// user typed (Enter, Shift+Enter). U+00A0 and every other character are held
// and given back as they are.
//
// Appends to a panel are collected and put into the widget in one edit when
// anything reads or shows the panel (flush): an operation runs to its end
// inside one click, so nobody sees the difference, and a batch of a million
// point lines appended line by line costs one insertion instead of a million.
// A large append (an opened list, a batch's output in pieces) goes in at
// once, so it is never held twice; the appends of one operation make one
// undo step. Setting a panel's text (clearing it) is one undo step too.

#include "operations/window_ports.h"

#include <QString>

#include <QString>

#include <array>
#include <string>

class QLineEdit;
class QPlainTextEdit;

namespace hattsheet::ui {

class WidgetFields final : public operations::Fields {
public:
    void bindLine(operations::FieldId id, QLineEdit* field);
    void bindPanel(operations::FieldId id, QPlainTextEdit* panel);

    std::string text(operations::FieldId id) const override;
    void setText(operations::FieldId id, const std::string& text) override;
    void appendText(operations::FieldId id, const std::string& text) override;
    bool endsInsideLine(operations::FieldId id) const override;
    void selectLine(operations::FieldId id, unsigned long long line) override;
    void focus(operations::FieldId id) override;
    // A tooltip beside the field, for some seconds.
    void showNote(operations::FieldId id, const std::string& text) override;
    // The notes shown since the last call: a tooltip shown after them (the
    // sheet's name after ">") would take their place, so it shows them too.
    QString takeNotes();

    // Puts every collected append into its panel, and ends the undo step of
    // the large appends so far. The window calls it after each operation and
    // before each message box or file dialog.
    void flush() const;

private:
    static constexpr std::size_t kCount = std::size(operations::kAllFields);
    // An append this long goes into the widget at once (bytes).
    static constexpr std::size_t kDirectAppend = 1 << 16;
    static std::size_t index(operations::FieldId id) { return static_cast<std::size_t>(id); }
    void flush(std::size_t i) const;

    std::array<QLineEdit*, kCount> m_lines{};
    std::array<QPlainTextEdit*, kCount> m_panels{};
    mutable std::array<std::string, kCount> m_pending;
    mutable std::array<bool, kCount> m_joinUndo{};  // an insertion since the last flush()
    QString m_notes;  // shown since takeNotes(), a line each
};

} // namespace hattsheet::ui
