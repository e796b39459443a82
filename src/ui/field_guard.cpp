#include "ui/field_guard.h"

#include "text/number_text.h"
#include "ui/ui_texts.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>

namespace hattsheet::ui {

namespace {

// Whether a field's text lets the user leave the field (field_guard.h).
bool testNumeric(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return hattsheet::text::parseWholeNumber(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())))
        .has_value();
}

// Focus changes the user makes inside the window. The others come from the
// window losing or regaining activation (another window, a message box, a
// file dialog, the About window) or from a popup or the menu bar borrowing
// the keyboard for a moment; they neither test nor select.
bool isMoveWithinWindow(Qt::FocusReason reason)
{
    switch (reason) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        return true;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
    case Qt::NoFocusReason:
        return false;
    }
    return false;
}

// How wide the note may be (characters of its font): two lines.
constexpr int kNoteWidthChars = 40;

bool isEnter(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

} // namespace

FieldGuard::FieldGuard(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

FieldGuard::~FieldGuard()
{
    qApp->removeEventFilter(this);
}

void FieldGuard::guard(QLineEdit* field)
{
    m_fields.append(field);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, &FieldGuard::hideNote);
}

bool FieldGuard::isGuarded(QObject* object) const
{
    for (QLineEdit* field : m_fields) {
        if (field == object) return true;
    }
    return false;
}

bool FieldGuard::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // The application-wide part: every press passes here first.
        if (swallowRefusedPress(watched)) return true;
        break;
    case QEvent::FocusIn:
        if (isGuarded(watched)) focusIn(static_cast<QLineEdit*>(watched), static_cast<QFocusEvent&>(*event));
        break;
    case QEvent::FocusOut:
        if (isGuarded(watched)) return focusOut(static_cast<QLineEdit*>(watched), static_cast<QFocusEvent&>(*event));
        break;
    case QEvent::KeyPress:
        if (isGuarded(watched) && isEnter(static_cast<QKeyEvent&>(*event))) {
            enterAsTab(static_cast<QLineEdit*>(watched));
            return true;
        }
        break;
    case QEvent::KeyRelease:
        // The release of a swallowed Enter belongs to the field that had it.
        if (isGuarded(watched) && isEnter(static_cast<QKeyEvent&>(*event))) return true;
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_selectOnRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_selectOnRelease->selectAll();
            m_selectOnRelease = nullptr;
        }
        break;
    default:
        break;
    }
    return false;
}

void FieldGuard::focusIn(QLineEdit* field, const QFocusEvent& event)
{
    if (!isMoveWithinWindow(event.reason())) return;
    field->selectAll();
    m_selectOnRelease = event.reason() == Qt::MouseFocusReason ? field : nullptr;
}

bool FieldGuard::focusOut(QLineEdit* field, const QFocusEvent& event)
{
    if (m_selectOnRelease == field) m_selectOnRelease = nullptr;
    if (m_returning || !isMoveWithinWindow(event.reason())) return false;
    // Qt has already made the new control the focus widget when the old one
    // hears of its loss.
    QWidget* next = QApplication::focusWidget();
    if (next == nullptr || next == field || next->window() != field->window()) return false;
    if (testNumeric(field->text())) {
        hideNote();
        return false;
    }
    const QByteArray typed = field->text().toUtf8();
    if (const auto withPoint = hattsheet::text::decimalCommaAsPoint(std::string_view(typed.constData(), static_cast<size_t>(typed.size())))) {
        field->setText(fromUtf8(*withPoint));
        hideNote();
        return false;
    }

    showNote(field);
    m_refusedPressTarget = event.reason() == Qt::MouseFocusReason ? next : nullptr;
    m_returning = true;
    field->setFocus(Qt::OtherFocusReason);
    m_returning = false;
    field->selectAll();
    // The field keeps the focus, so it must not hear of losing it (it would
    // drop its selection and stop its cursor).
    return true;
}

void FieldGuard::enterAsTab(QLineEdit* field)
{
    // One Tab press to the field: the window moves the focus to the next
    // control of the focus order, and the numeric test runs as for Tab.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &tab);
}

bool FieldGuard::swallowRefusedPress(QObject* receiver)
{
    if (m_refusedPressTarget.isNull()) return false;
    QWidget* target = m_refusedPressTarget;
    m_refusedPressTarget = nullptr;
    auto* widget = qobject_cast<QWidget*>(receiver);
    return widget != nullptr && (widget == target || target->isAncestorOf(widget));
}

void FieldGuard::showNote(QLineEdit* field)
{
    QWidget* window = field->window();
    if (m_note.isNull() || m_note->parentWidget() != window) {
        delete m_note;
        m_note = new QLabel(fromUtf8(captions::kNotANumber), window);
        m_note->setObjectName(QStringLiteral("noteNotNumber"));
        m_note->setWordWrap(true);
        m_note->setAttribute(Qt::WA_TransparentForMouseEvents);
        // The tooltip's colours and frame: a note, not a control.
        m_note->setForegroundRole(QPalette::ToolTipText);
        m_note->setBackgroundRole(QPalette::ToolTipBase);
        m_note->setAutoFillBackground(true);
        m_note->setFrameShape(QFrame::Box);
        m_note->setMargin(2);
    }
    // Below the field, from its left edge, inside the window.
    const int width = std::min(window->width(), m_note->fontMetrics().averageCharWidth() * kNoteWidthChars);
    m_note->setFixedWidth(width);
    m_note->adjustSize();
    const QPoint below = field->mapTo(window, QPoint(0, field->height() + 1));
    m_note->move(std::clamp(below.x(), 0, std::max(0, window->width() - m_note->width())),
                 std::min(below.y(), std::max(0, window->height() - m_note->height())));
    m_note->show();
    m_note->raise();
}

void FieldGuard::hideNote()
{
    if (m_note) m_note->hide();
}

} // namespace hattsheet::ui
