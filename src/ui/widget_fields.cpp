#include "widget_fields.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace hattsheet::ui {

using conversion::FieldId;

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// CR LF, lone CR and lone LF each become one "\n"; counts them.
std::string toLineFeeds(std::string_view text, int& lineEnds)
{
    std::string out;
    out.reserve(text.size());
    lineEnds = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += '\n';
            ++lineEnds;
        } else {
            if (c == '\n') ++lineEnds;
            out += c;
        }
    }
    return out;
}

} // namespace

QString panelTextToWidget(std::string_view panelText)
{
    int lineEnds = 0;
    return fromUtf8(toLineFeeds(panelText, lineEnds));
}

std::string widgetTextToPanel(const QString& plain)
{
    const QByteArray utf8 = plain.toUtf8();
    std::string out;
    out.reserve(static_cast<std::size_t>(utf8.size()) + static_cast<std::size_t>(utf8.count('\n')));
    for (const char c : utf8) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

void appendToPanel(QPlainTextEdit* panel, std::string_view panelText)
{
    if (panelText.empty()) return;
    int lineEnds = 0;
    QString text = fromUtf8(toLineFeeds(panelText, lineEnds));
    if (lineEnds > kPlainLineLimit) {
        int inParagraph = 0;
        for (QChar& c : text) {
            if (c != QLatin1Char('\n')) continue;
            if (++inParagraph < kLinesPerParagraph) {
                c = QChar(QChar::LineSeparator);
            } else {
                inParagraph = 0;
            }
        }
    }
    QTextCursor end(panel->document());
    end.movePosition(QTextCursor::End);
    end.beginEditBlock();
    end.insertText(text);
    end.endEditBlock();
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
    if (QPlainTextEdit* panel = m_panels[index(id)]) {
        flush(index(id));
        return widgetTextToPanel(panel->toPlainText());
    }
    return {};
}

void WidgetFields::setText(FieldId id, const std::string& text)
{
    if (QLineEdit* line = m_lines[index(id)]) {
        line->setText(fromUtf8(text));
    } else if (QPlainTextEdit* panel = m_panels[index(id)]) {
        m_pending[index(id)].clear();
        panel->clear();
        appendToPanel(panel, text);
    }
}

void WidgetFields::appendText(FieldId id, const std::string& text)
{
    if (m_panels[index(id)] == nullptr) {
        Fields::appendText(id, text);
        return;
    }
    m_pending[index(id)] += text;
}

bool WidgetFields::endsInsideLine(FieldId id) const
{
    QPlainTextEdit* panel = m_panels[index(id)];
    if (panel == nullptr) return Fields::endsInsideLine(id);
    const std::string& pending = m_pending[index(id)];
    if (!pending.empty()) return pending.back() != '\n' && pending.back() != '\r';
    // The document ends with its own paragraph separator; the character
    // before it is the text's last (a line separator inside a paragraph
    // is a line end too).
    const QTextDocument* document = panel->document();
    const int count = document->characterCount();
    if (count < 2) return false;
    const QChar last = document->characterAt(count - 2);
    return last != QChar::ParagraphSeparator && last != QChar::LineSeparator && last != QLatin1Char('\n');
}

void WidgetFields::flush() const
{
    for (std::size_t i = 0; i < kCount; ++i) flush(i);
}

void WidgetFields::flush(std::size_t i) const
{
    if (m_pending[i].empty()) return;
    std::string pending;
    pending.swap(m_pending[i]);
    appendToPanel(m_panels[i], pending);
}

} // namespace hattsheet::ui
