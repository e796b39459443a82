#pragma once
// The window's fields as the operations see them (conversion::Fields): the
// eleven single-line fields and the two point panels, found by FieldId.
// Panel texts are CR LF between lines for the operations and "\n" inside
// the text widget; the conversion happens here, both ways.
//
// Appends to a panel are collected and put into the widget in one edit when
// anything reads or shows the panel (flush): an operation runs to its end
// inside one click, so nobody sees the difference, and a batch of a million
// point lines appended line by line costs one insertion instead of a million.

#include "window_ports.h"

#include <QString>

#include <array>
#include <string>
#include <string_view>

class QLineEdit;
class QPlainTextEdit;

namespace hattsheet::ui {

// A panel text from the operations (CR LF, or a lone CR or LF) as the text
// widget holds it ("\n" between lines).
QString panelTextToWidget(std::string_view panelText);
// A text widget's plain text ("\n" between lines) as the operations read it
// (CR LF between lines), UTF-8.
std::string widgetTextToPanel(const QString& plain);

// Inserts a panel text at the end of a text widget in one edit (one undo
// step). Beyond kPlainLineLimit lines the lines go ten to a paragraph,
// joined by line separators (U+2028): the widget shows and returns them as
// separate lines, but a million paragraphs would take the text document
// about 3 s to build, ten times what the grouped form takes. The scroll bar
// then counts a paragraph not yet shown as one line.
inline constexpr int kPlainLineLimit = 100000;
inline constexpr int kLinesPerParagraph = 10;
void appendToPanel(QPlainTextEdit* panel, std::string_view panelText);

class WidgetFields final : public conversion::Fields {
public:
    void bindLine(conversion::FieldId id, QLineEdit* field);
    void bindPanel(conversion::FieldId id, QPlainTextEdit* panel);

    std::string text(conversion::FieldId id) const override;
    void setText(conversion::FieldId id, const std::string& text) override;
    void appendText(conversion::FieldId id, const std::string& text) override;
    bool endsInsideLine(conversion::FieldId id) const override;

    // Puts every collected append into its panel. The window calls it after
    // each operation and before each message box or file dialog.
    void flush() const;

private:
    static constexpr std::size_t kCount = std::size(conversion::kAllFields);
    static std::size_t index(conversion::FieldId id) { return static_cast<std::size_t>(id); }
    void flush(std::size_t i) const;

    std::array<QLineEdit*, kCount> m_lines{};
    std::array<QPlainTextEdit*, kCount> m_panels{};
    mutable std::array<std::string, kCount> m_pending;
};

} // namespace hattsheet::ui
