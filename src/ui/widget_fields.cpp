#include "widget_fields.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace hattsheet::ui {

using conversion::FieldId;

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString panelTextToWidget(std::string_view panelText)
{
    QString text = fromUtf8(panelText);
    // CR LF first, so that its CR does not count as a line end of its own.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::string widgetTextToPanel(const QString& plain)
{
    QString text = plain;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.toStdString();
}

void WidgetFields::bindLine(FieldId id, QLineEdit* field)
{
    m_lines[index(id)] = field;
}

void WidgetFields::bindPanel(FieldId id, QPlainTextEdit* panel)
{
    m_panels[index(id)] = panel;
}

std::string WidgetFields::text(FieldId id) const
{
    if (QLineEdit* line = m_lines[index(id)]) return line->text().toStdString();
    if (QPlainTextEdit* panel = m_panels[index(id)]) return widgetTextToPanel(panel->toPlainText());
    return {};
}

void WidgetFields::setText(FieldId id, const std::string& text)
{
    if (QLineEdit* line = m_lines[index(id)]) {
        line->setText(fromUtf8(text));
    } else if (QPlainTextEdit* panel = m_panels[index(id)]) {
        panel->setPlainText(panelTextToWidget(text));
    }
}

void WidgetFields::appendText(FieldId id, const std::string& text)
{
    QPlainTextEdit* panel = m_panels[index(id)];
    if (panel == nullptr) {
        Fields::appendText(id, text);
        return;
    }
    QTextCursor end(panel->document());
    end.movePosition(QTextCursor::End);
    end.insertText(panelTextToWidget(text));
}

} // namespace hattsheet::ui
