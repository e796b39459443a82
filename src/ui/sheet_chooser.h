#pragma once
// The sheet chooser of the menu "Φύλλα": type to filter the 390 sheets by
// name or agency number (operations::sheetsMatching: accents and case do
// not count), or pick one on the map. Accepting gives the chosen sheet;
// the window puts its centre into the side it was opened for.

#include "geodesy/sheet_catalogue.h"

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace hattsheet::ui {

class SheetMap;

class SheetChooser final : public QDialog {
    Q_OBJECT
public:
    // title: the dialog's title, naming the side it fills.
    SheetChooser(const QString& title, QWidget* parent);

    const geodesy::Sheet* chosen() const { return m_chosen; }
    // Selects a sheet as a click on the map does.
    void choose(const geodesy::Sheet* sheet);

private:
    void filter(const QString& text);
    void rowChanged(int row);

    QLineEdit* m_filter;
    QListWidget* m_list;
    SheetMap* m_map;
    const geodesy::Sheet* m_chosen = nullptr;
};

} // namespace hattsheet::ui
