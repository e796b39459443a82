#pragma once
// The "Συστήματα" dialog: two system choosers (a Hatt end takes its centre
// typed or from the sheet chooser), one point in the from-system's
// coordinates, its result beside the route's accuracy, and a button that
// converts panel 1 into panel 2 through the chosen route. Modeless: panel 1
// may be edited while it is open. The widgets only bind; the conversions
// and their texts are operations/systems_operations.h's.

#include "operations/direction.h"
#include "operations/systems_operations.h"
#include "ui/widget_fields.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace hattsheet::geodesy {
struct Sheet;
}

namespace hattsheet::ui {

class SystemsDialog final : public QDialog {
    Q_OBJECT
public:
    // fields, dialogs, temp: the main window's; panel2: what its panel 2
    // holds (a conversion of panel 1 asks before it mixes systems there, and
    // its lines are unsaved after, as after the window's own batch).
    SystemsDialog(WidgetFields& fields, operations::Dialogs& dialogs, operations::TempPlaces temp,
                  operations::PanelContents& panel2, QWidget* parent);

    // After the grid was installed: the next route reads the new files.
    void forgetGrid() { m_grid.forget(); }

protected:
    // The first show fits the dialog, frame included, into its screen's
    // available area: at large desktop fonts it is taller than a laptop's.
    void showEvent(QShowEvent* event) override;

private:
    // One end of the route: its system, and for Hatt its centre.
    struct End {
        QComboBox* system = nullptr;
        QLineEdit* phi = nullptr;
        QLineEdit* lambda = nullptr;
        QPushButton* sheet = nullptr;
        const geodesy::Sheet* chosen = nullptr;  // the sheet chooser's, until the centre is typed over
    };
    QWidget* addEnd(End& end, operations::Side side, QWidget* in);
    QWidget* addPoint(QWidget* in);
    QWidget* addResult(QWidget* in);
    QLayout* addButtons();
    operations::SystemKind kindOf(const End& end) const;
    operations::SystemId idOf(const End& end) const;

    void systemChanged();            // cboSystemFrom, cboSystemTo: labels, centres, h, accuracy
    void chooseSheet(End& end);      // cmdSheetFrom, cmdSheetTo
    void convertPoint();             // cmdSystemPoint
    void convertList();              // cmdSystemList

    WidgetFields& m_fields;
    operations::Dialogs& m_dialogs;
    operations::TempPlaces m_temp;
    operations::PanelContents& m_panel2;
    operations::GridSlot m_grid;
    End m_from, m_to;
    QLabel* m_names = nullptr;           // the from-system's coordinates, as the book names them
    QLabel* m_pointLabels[3] = {};       // a, b, h
    QLineEdit* m_point[3] = {};
    QPlainTextEdit* m_result = nullptr;
    QLabel* m_accuracy = nullptr;
    QLabel* m_warning = nullptr;         // a point far outside its named sheet
    bool m_fitted = false;
};

} // namespace hattsheet::ui
