#pragma once
// The "Προσαρμογή" dialog: a plane transformation fitted to the common
// points of panel 1 (source) and panel 2 (target), paired by code; the
// model chosen, each point's residual in a table whose check column leaves
// a point out or takes it back (the fit is redone at once), the RMS and the
// largest residual, the parameters with their standard deviations; the fit
// saved or a saved one opened, and panel 1's list carried into panel 2
// through it. Modeless: the panels may be edited while it is open, and
// "Διάβασμα λιστών" reads them again. The widgets only bind; the fit and
// its texts are operations/fit_operations.h's.

#include "operations/fit_operations.h"
#include "ui/widget_fields.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace hattsheet::ui {

class FitDialog final : public QDialog {
    Q_OBJECT
public:
    // fields, dialogs: the main window's; panel2: what its panel 2 holds (an
    // apply asks before it mixes systems there, and its lines are unsaved after).
    FitDialog(WidgetFields& fields, operations::Dialogs& dialogs, operations::PanelContents& panel2, QWidget* parent);

    // Reads the common points from the panels again and fits them.
    void readPanels();  // cmdFitRead, and each opening from the menu

protected:
    // The first show fits the dialog, frame included, into its screen's
    // available area (screen_fit.h).
    void showEvent(QShowEvent* event) override;

private:
    QLayout* addModel();
    QWidget* addTable();
    QLayout* addButtons();
    // Shows the session's report: rows, marks, RMS or the refusal, parameters.
    void showReport();
    void fillRow(int row, const operations::FitRow& fit);

    void modelChosen();                    // cboFitModel
    void rowChecked(QTableWidgetItem* item);  // tblFitResiduals' check column
    void saveFit();                        // cmdFitSave
    void openFit();                        // cmdFitOpen
    void applyFit();                       // cmdFitApply
    // Runs an operation; no exception (no memory left) unwinds through Qt's
    // event loop: it ends as a message.
    template <typename Operation>
    void run(Operation&& operation);

    WidgetFields& m_fields;
    operations::Dialogs& m_dialogs;
    operations::PanelContents& m_panel2;
    operations::FitSession m_session;
    QComboBox* m_model = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;     // RMS and the largest, or the refusal
    QPlainTextEdit* m_parameters = nullptr;
    QLabel* m_source = nullptr;      // which fit an apply uses
    QPushButton* m_save = nullptr;
    QPushButton* m_apply = nullptr;
    bool m_fitted = false;
};

} // namespace hattsheet::ui
