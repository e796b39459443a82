#pragma once
// Greek users switch keyboard layouts all day. Qt matches a mnemonic
// ("&Φύλλα": Alt+Φ) on the character a key gives, so on a Latin layout
// Alt+F opens nothing, and the letter lands in the focused field. Here every
// mnemonic of the program's windows answers as well to the Latin letter on
// the same key of the standard Greek layout (φ–F, μ–M, ε–E, π–P ...): the
// menu bar's titles and the buttons with Alt, the entries of an open menu
// without it. An Alt+letter that is no mnemonic on either layout types
// nothing into a field. Under the Greek layout Qt's own matching answers
// first, and nothing here takes part.

#include <QChar>
#include <QObject>

class QWidget;

namespace hattsheet::ui {

// The Latin letter on the key of a Greek letter in the standard Greek
// layout (capital or small: Φ and φ give Qt::Key_F), Qt's key code; 0 for a
// character on no letter key. Final ς is on W.
int latinKeyOf(QChar greek);
// The Greek capital on the key of a Latin letter (Qt::Key_F gives Φ); a
// null QChar for every other key. W gives Σ, the capital of its ς.
QChar greekCapitalOn(int qtKey);

// Installed on the application, it watches every key press.
class LatinMnemonics final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace hattsheet::ui
