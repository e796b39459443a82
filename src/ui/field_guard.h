#pragma once
// The behaviour of the eight input fields (the sheet centres and the plane
// coordinates): the whole text is selected when a field is entered, Enter is
// swallowed and moves the focus on like Tab, and a field whose text is not a
// number keeps the focus when the user tries to move to another control:
// apart from leading and trailing spaces one number, "." as the only decimal
// point whatever the locale (so it agrees with how the conversions read the
// fields), an optional exponent; the empty text fails. A number typed with
// one decimal comma (a Greek keypad's decimal key) is taken as that number:
// the comma becomes a point as the field is left. Any other text keeps the
// focus, and a note below the field says why, without a box to close; it
// goes when the text is edited or the field is left.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class QFocusEvent;
class QLabel;
class QLineEdit;
class QWidget;

namespace hattsheet::ui {

class FieldGuard final : public QObject {
    Q_OBJECT
public:
    // Watches the whole application for the one mouse press that follows a
    // refused focus change (see eventFilter).
    explicit FieldGuard(QObject* parent = nullptr);
    ~FieldGuard() override;

    void guard(QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isGuarded(QObject* object) const;
    void focusIn(QLineEdit* field, const QFocusEvent& event);
    bool focusOut(QLineEdit* field, const QFocusEvent& event);
    void enterAsTab(QLineEdit* field);
    bool swallowRefusedPress(QObject* receiver);
    void showNote(QLineEdit* field);
    void hideNote();

    QVector<QLineEdit*> m_fields;
    // The field entered by a mouse press: the press places the cursor, so the
    // whole text is selected again when that button is released.
    QPointer<QLineEdit> m_selectOnRelease;
    // The control a mouse press tried to give the focus to while the field
    // being left held no number. The press itself arrives right after the
    // refused focus change and is swallowed, so a button does not run.
    QPointer<QWidget> m_refusedPressTarget;
    // True while the focus is given back to a refusing field: the control
    // that had it for that moment is not tested, so two fields without a
    // number never pass the focus back and forth.
    bool m_returning = false;
    // The note beside a refusing field ("noteNotNumber"), made when first needed.
    QPointer<QLabel> m_note;
};

} // namespace hattsheet::ui
