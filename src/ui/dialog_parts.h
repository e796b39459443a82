#pragma once
// Pieces the window's dialogs share: a note label, a row of push buttons
// from a table, and an operation run so that a failure still shows what it
// appended and says so.

#include "ui/ui_texts.h"
#include "ui/widget_fields.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QString>

#include <exception>
#include <initializer_list>

namespace hattsheet::ui {

// A wrapped label whose text can be selected and copied (a message the user
// may paste into a report); found by its object name.
inline QLabel* noteLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// One push button of a dialog's row: its object name, its UTF-8 caption
// with the mnemonic, and its slot; no slot closes the dialog and stands
// apart at the row's end.
template <typename Dialog>
struct DialogButton {
    const char* name;
    const char* caption;
    void (Dialog::*click)();
};

// autoDefault false: Enter presses no button of the row.
template <typename Dialog>
QHBoxLayout* buttonRow(Dialog* dialog, std::initializer_list<DialogButton<Dialog>> buttons, bool autoDefault)
{
    auto* row = new QHBoxLayout;
    for (const DialogButton<Dialog>& b : buttons) {
        auto* button = new QPushButton(fromUtf8(b.caption), dialog);
        button->setObjectName(QString::fromLatin1(b.name));
        if (!autoDefault) button->setAutoDefault(false);
        if (b.click == nullptr) {
            row->addStretch(1);
            QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::close);
        } else {
            QObject::connect(button, &QPushButton::clicked, dialog, b.click);
        }
        row->addWidget(button);
    }
    return row;
}

// Runs an operation and shows its appends. When it throws (memory short),
// what it appended before the failure is still shown, unless memory is too
// short even for that, and failed() tells the user.
template <typename Operation, typename Failed>
void runShown(const WidgetFields& fields, Operation&& operation, Failed&& failed)
{
    try {
        operation();
        fields.flush();
    } catch (const std::exception&) {
        try {
            fields.flush();
        } catch (const std::exception&) {
        }
        failed();
    }
}

} // namespace hattsheet::ui
