#pragma once
// The window's fields as the operations see them (conversion::Fields): the
// eleven single-line fields and the two point panels, found by FieldId.
// Panel texts are CR LF between lines for the operations and "\n" inside
// the text widget; the conversion happens here, both ways.

#include "window_ports.h"

#include <QString>

#include <array>
#include <string>
#include <string_view>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace hattsheet::ui {

// A panel text from the operations (CR LF, or a lone CR or LF) as the text
// widget holds it ("\n" between lines).
QString panelTextToWidget(std::string_view panelText);
// A text widget's plain text ("\n" between lines) as the operations read it
// (CR LF between lines), UTF-8.
std::string widgetTextToPanel(const QString& plain);

class WidgetFields final : public conversion::Fields {
public:
    void bindLine(conversion::FieldId id, QLineEdit* field);
    void bindPanel(conversion::FieldId id, QPlainTextEdit* panel);

    std::string text(conversion::FieldId id) const override;
    void setText(conversion::FieldId id, const std::string& text) override;
    // Inserts at the panel's end in one edit, without reading the panel's
    // text back: a batch may append a million lines at once.
    void appendText(conversion::FieldId id, const std::string& text) override;

private:
    static constexpr std::size_t kCount = std::size(conversion::kAllFields);
    static std::size_t index(conversion::FieldId id) { return static_cast<std::size_t>(id); }
    std::array<QLineEdit*, kCount> m_lines{};
    std::array<QPlainTextEdit*, kCount> m_panels{};
};

} // namespace hattsheet::ui
