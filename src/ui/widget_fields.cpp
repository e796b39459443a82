#include "ui/widget_fields.h"

#include "text/text_codec.h"
#include "ui/ui_texts.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>

#include <utility>

namespace hattsheet::ui {

using operations::FieldId;

namespace {

constexpr char16_t kLineSeparator = 0x2028;  // the document's line break inside a paragraph
// A panel text goes into the document this many bytes at a time (more when
// a line is longer), ended after a line end.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

// The characters the document would break a line at, kept as stand-ins.
bool breaksLine(char16_t c)
{
    return c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}
char16_t standInFor(char16_t c)
{
    return static_cast<char16_t>(0xDC00 | (c & 0xFF));
}
// The character a lone surrogate stands for; U+FFFD for one that stands
// for nothing.
char32_t standsFor(char16_t c)
{
    switch (c) {
    case 0xDC28: return 0x2028;
    case 0xDC29: return 0x2029;
    case 0xDCD0: return 0xFDD0;
    case 0xDCD1: return 0xFDD1;
    default: return 0xFFFD;
    }
}

// The UTF-8 of a piece of a block's text: U+2028 is a line end (CR LF), a
// stand-in its character.
void appendUtf8(std::string& out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            out += static_cast<char>(u);
            continue;
        }
        char32_t c = u;
        if (u == kLineSeparator) {
            out += "\r\n";
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(u, text[++i].unicode());
        } else if (QChar::isSurrogate(u)) {
            c = standsFor(u);
        }
        hattsheet::text::appendUtf8(out, c);
    }
}

// The line ends of a panel text: CR LF, lone CR and lone LF each count one.
std::size_t countLineEnds(std::string_view text)
{
    std::size_t ends = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++ends;
    }
    return ends;
}

// Where the piece from `from` ends: after the last LF within kPieceBytes;
// in a longer line, before a character's UTF-8 sequence, never between a CR
// and its LF. Each piece then decodes on its own.
std::size_t pieceEnd(std::string_view text, std::size_t from)
{
    if (text.size() - from <= kPieceBytes) return text.size();
    std::size_t end = from + kPieceBytes;
    const std::size_t lf = text.rfind('\n', end - 1);
    if (lf != std::string_view::npos && lf >= from) return lf + 1;
    const auto continues = [&](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
    for (int back = 0; back < 3 && continues(end); ++back) --end;
    if (text[end - 1] == '\r' && text[end] == '\n') ++end;
    return end;
}

// Inserts a panel text (CR LF, or a lone CR or LF, between lines) at the end
// of a text widget in one edit (one undo step, or part of the previous one
// with joinPrevious), in pieces of about a MiB so that the text is never held
// whole in a second form. The lines of a large append (more than
// kGroupedAppend lines: an opened list, a batch's output), and all lines once
// the panel would hold more than kPlainLineLimit paragraphs, go a hundred to
// a paragraph, joined by U+2028: the widget shows and gives them back as
// separate lines, but each paragraph costs the document time and memory of
// its own (the measured figures are in the README, Development). The scroll
// bar counts a paragraph not yet shown as one line, and a triple click
// selects a paragraph.
constexpr std::size_t kGroupedAppend = 10000;
constexpr std::size_t kPlainLineLimit = 100000;
constexpr int kLinesPerParagraph = 100;

void appendToPanel(QPlainTextEdit* panel, std::string_view panelText, bool joinPrevious = false)
{
    if (panelText.empty()) return;
    const std::size_t lineEnds = countLineEnds(panelText);
    const auto paragraphs = static_cast<std::size_t>(panel->document()->blockCount());
    const bool grouped = lineEnds > kGroupedAppend || paragraphs + lineEnds > kPlainLineLimit;
    int inParagraph = 0;
    // A byte order mark at the start is data like any other character.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString piece;
    QTextCursor end(panel->document());
    end.movePosition(QTextCursor::End);
    if (joinPrevious) {
        end.joinPreviousEditBlock();
    } else {
        end.beginEditBlock();
    }
    for (std::size_t from = 0; from < panelText.size();) {
        const std::size_t to = pieceEnd(panelText, from);
        const QByteArrayView bytes(panelText.data() + from, static_cast<qsizetype>(to - from));
        piece.resize(decoder.requiredSpace(bytes.size()));
        QChar* const first = piece.data();
        const qsizetype decoded = decoder.appendToBuffer(first, bytes) - first;
        // Line ends to the document's breaks, line-breaking characters to
        // their stand-ins; in place, as the text only shrinks.
        qsizetype w = 0;
        for (qsizetype r = 0; r < decoded; ++r) {
            char16_t c = first[r].unicode();
            if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && r + 1 < decoded && first[r + 1] == u'\n') ++r;
                if (grouped && ++inParagraph < kLinesPerParagraph) {
                    c = kLineSeparator;
                } else {
                    c = u'\n';
                    inParagraph = 0;
                }
            } else if (breaksLine(c)) {
                c = standInFor(c);
            }
            first[w++] = QChar(c);
        }
        piece.truncate(w);
        end.insertText(piece);
        from = to;
    }
    end.endEditBlock();
}

// A text widget's text as the operations read it: UTF-8, CR LF between lines.
std::string panelTextOf(const QTextDocument& document)
{
    std::string out;
    const auto units = static_cast<std::size_t>(document.characterCount());
    out.reserve(units + units / 16);  // room for a CR per line of 16 characters or more
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) out += "\r\n";
        appendUtf8(out, block.text());
    }
    return out;
}

} // namespace

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
        return panelTextOf(*panel->document());
    }
    return {};
}

void WidgetFields::setText(FieldId id, const std::string& text)
{
    if (QLineEdit* line = m_lines[index(id)]) {
        line->setText(fromUtf8(text));
    } else if (QPlainTextEdit* panel = m_panels[index(id)]) {
        // One undo step, so Ctrl+Z brings back what the panel held (after
        // "Απαλοιφή" too): QPlainTextEdit::clear() would forget it.
        m_pending[index(id)].clear();
        QTextCursor all(panel->document());
        all.beginEditBlock();
        all.select(QTextCursor::Document);
        all.removeSelectedText();
        all.endEditBlock();
        appendToPanel(panel, text, true);
        m_joinUndo[index(id)] = true;
    }
}

void WidgetFields::appendText(FieldId id, const std::string& text)
{
    QPlainTextEdit* panel = m_panels[index(id)];
    if (panel == nullptr) {
        Fields::appendText(id, text);
    } else if (text.size() >= kDirectAppend) {
        flush(index(id));
        appendToPanel(panel, text, std::exchange(m_joinUndo[index(id)], true));
    } else {
        m_pending[index(id)] += text;
    }
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

void WidgetFields::selectLine(FieldId id, unsigned long long line)
{
    QPlainTextEdit* panel = m_panels[index(id)];
    if (panel == nullptr || line == 0) return;
    flush(index(id));
    // A paragraph may hold many lines joined by U+2028 (appendToPanel).
    unsigned long long first = 1;  // the panel line a block's text starts with
    for (QTextBlock block = panel->document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const auto lines = static_cast<unsigned long long>(text.count(QChar(kLineSeparator))) + 1;
        if (line < first + lines) {
            qsizetype start = 0;
            for (unsigned long long n = first; n < line; ++n) start = text.indexOf(QChar(kLineSeparator), start) + 1;
            qsizetype end = text.indexOf(QChar(kLineSeparator), start);
            if (end < 0) end = text.size();
            QTextCursor cursor(block);
            cursor.setPosition(block.position() + static_cast<int>(start));
            cursor.setPosition(block.position() + static_cast<int>(end), QTextCursor::KeepAnchor);
            panel->setTextCursor(cursor);
            panel->ensureCursorVisible();
            panel->setFocus(Qt::OtherFocusReason);
            return;
        }
        first += lines;
    }
}

void WidgetFields::focus(FieldId id)
{
    if (QLineEdit* line = m_lines[index(id)]) {
        line->setFocus(Qt::OtherFocusReason);
        line->selectAll();
    } else if (QPlainTextEdit* panel = m_panels[index(id)]) {
        panel->setFocus(Qt::OtherFocusReason);
    }
}

void WidgetFields::showNote(FieldId id, const std::string& text)
{
    QWidget* widget = m_lines[index(id)];
    if (widget == nullptr) widget = m_panels[index(id)];
    if (widget == nullptr) return;
    constexpr int kNoteMilliseconds = 10000;
    widget->setProperty("note", fromUtf8(text));
    m_notes += (m_notes.isEmpty() ? QString() : QStringLiteral("\n")) + fromUtf8(text);
    QToolTip::showText(widget->mapToGlobal(QPoint(0, widget->height())), fromUtf8(text), widget, QRect(),
                       kNoteMilliseconds);
}

QString WidgetFields::takeNotes()
{
    return std::exchange(m_notes, QString());
}

void WidgetFields::flush() const
{
    for (std::size_t i = 0; i < kCount; ++i) {
        flush(i);
        m_joinUndo[i] = false;
    }
}

void WidgetFields::flush(std::size_t i) const
{
    if (m_pending[i].empty()) return;
    std::string pending;
    pending.swap(m_pending[i]);
    appendToPanel(m_panels[i], pending, std::exchange(m_joinUndo[i], true));
}

} // namespace hattsheet::ui
