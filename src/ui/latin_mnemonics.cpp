#include "ui/latin_mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QWidget>

#include <iterator>

namespace hattsheet::ui {

namespace {

// The standard Greek layout's letters, row by row, each with the Latin
// letter of a US keyboard on the same key. Q holds the accent (';'), W the
// final ς, whose capital is Σ (S) for Qt's matching.
struct KeyPair {
    char16_t greekCapital;
    char latin;
};
constexpr KeyPair kGreekLayout[] = {
    {u'Ε', 'E'}, {u'Ρ', 'R'}, {u'Τ', 'T'}, {u'Υ', 'Y'}, {u'Θ', 'U'}, {u'Ι', 'I'}, {u'Ο', 'O'}, {u'Π', 'P'},
    {u'Α', 'A'}, {u'Σ', 'S'}, {u'Δ', 'D'}, {u'Φ', 'F'}, {u'Γ', 'G'}, {u'Η', 'H'}, {u'Ξ', 'J'}, {u'Κ', 'K'}, {u'Λ', 'L'},
    {u'Ζ', 'Z'}, {u'Χ', 'X'}, {u'Ψ', 'C'}, {u'Ω', 'V'}, {u'Β', 'B'}, {u'Ν', 'N'}, {u'Μ', 'M'},
};

// The capital a mnemonic is matched on (Qt compares capitals), null for a
// text without one.
QChar mnemonicOf(const QString& text)
{
    const QKeySequence sequence = QKeySequence::mnemonic(text);
    if (sequence.isEmpty()) return {};
    const int key = sequence[0].key();
    return key > 0 && key <= 0xFFFF ? QChar(static_cast<char16_t>(key)) : QChar();
}

// The entry of an open menu, or the title of a menu bar with the keys,
// whose mnemonic is `capital`.
QAction* entryOf(const QWidget& menu, QChar capital)
{
    for (QAction* action : menu.actions()) {
        if (action->isVisible() && action->isEnabled() && mnemonicOf(action->text()) == capital) return action;
    }
    return nullptr;
}

// Does what Alt and the mnemonic `capital` do in a window: a title of its
// menu bar opens (an entry without a menu runs), a button is pressed, a
// label's buddy gets the focus. False when none has it.
bool activate(QWidget& window, QChar capital)
{
    for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        QAction* title = bar->isVisible() ? entryOf(*bar, capital) : nullptr;
        if (title == nullptr) continue;
        if (title->menu() != nullptr) bar->setActiveAction(title);
        else title->trigger();
        return true;
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || !button->isEnabled() || mnemonicOf(button->text()) != capital) continue;
        button->setFocus(Qt::ShortcutFocusReason);
        button->animateClick();
        return true;
    }
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->buddy() == nullptr || !label->isVisible() || mnemonicOf(label->text()) != capital) continue;
        label->buddy()->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return false;
}

} // namespace

int latinKeyOf(QChar greek)
{
    if (greek == QChar(u'ς')) return Qt::Key_W;
    const QChar capital = greek.toUpper();
    for (const KeyPair& pair : kGreekLayout) {
        if (capital == QChar(pair.greekCapital)) return Qt::Key_A + (pair.latin - 'A');
    }
    return 0;
}

QChar greekCapitalOn(int qtKey)
{
    if (qtKey == Qt::Key_W) return QChar(u'Σ');
    for (const KeyPair& pair : kGreekLayout) {
        if (qtKey == Qt::Key_A + (pair.latin - 'A')) return QChar(pair.greekCapital);
    }
    return {};
}

bool LatinMnemonics::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QChar capital = greekCapitalOn(key->key());
    auto* widget = static_cast<QWidget*>(watched);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    // An open menu, or a menu bar that has the keys (after Alt alone),
    // matches its entries on the letter alone: it gets the Greek key.
    if (qobject_cast<QMenu*>(widget) != nullptr || qobject_cast<QMenuBar*>(widget) != nullptr) {
        if (capital.isNull() || (modifiers & ~(Qt::AltModifier | Qt::ShiftModifier)) != 0 ||
            entryOf(*widget, capital) == nullptr) {
            return false;
        }
        QKeyEvent greek(QEvent::KeyPress, capital.unicode(), modifiers, QString(capital.toLower()));
        QCoreApplication::sendEvent(widget, &greek);
        return true;
    }
    if (modifiers != Qt::AltModifier) return false;
    if (!capital.isNull() && activate(*widget->window(), capital)) return true;
    // Alt and a letter that is no mnemonic on either layout: no text for a
    // field or a panel (a number field holding it could not be left).
    const bool text = qobject_cast<QLineEdit*>(widget) != nullptr || qobject_cast<QPlainTextEdit*>(widget) != nullptr;
    return text && !key->text().isEmpty() && key->text().front().isLetter();
}

} // namespace hattsheet::ui
