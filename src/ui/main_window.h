#pragma once
// frmMyHatt, the one main window: two sheet centres with one point each, the
// geodetic display, the two point panels with their buttons and the batch
// button, on a layout of 652 × 586 pixels below the menu bar ("Πρόγραμμα"
// opens the About window, "Εργασίες" holds the swap of the two centres, the
// batch back and the save of panel 2 in its list's layout). The window opens
// no larger than the screen's available area (screen_fit.h): the panels
// give up height first. It can be resized; the panels
// take the difference, every other control keeps its size.
// The widgets only bind: each click runs one operation of src/operations/
// through the field and dialog interface (operations/window_ports.h). Where
// each control sits is in window_layout.h, how the controls follow the
// window's size in client_area.h.

#include "operations/panel_contents.h"
#include "operations/point_results.h"
#include "operations/window_ports.h"
#include "ui/about_window.h"
#include "ui/field_guard.h"
#include "ui/widget_fields.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <string>

class QCloseEvent;
class QSessionManager;

namespace hattsheet::ui {

class FitDialog;
class QtDialogs;
class SystemsDialog;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // temp: where the operations keep their two temporary files. dialogs:
    // the message boxes and file dialogs to use; none gives Qt's own, a test
    // passes a fake that answers from a script.
    explicit MainWindow(operations::TempPlaces temp, operations::Dialogs* dialogs = nullptr);
    ~MainWindow() override;

    // Opens a file named on the command line into panel 1, as "Άνοιγμα" does.
    void openFile(const QString& path);
    // The same once the window stands framed where it stays and is active,
    // so that the message of the open stands over it: `hattsheet FILE`.
    void openFileOnceShown(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The quit question; on Yes the About window closes and the program may end.
    bool confirmQuit();
    // The desktop session is ending: Qt 6 sends no close event then, so the
    // question is asked here, and No cancels the logout where the session
    // manager allows it.
    void sessionEnding(QSessionManager& manager);

    // The controls, each kind from its table in window_layout.h (the
    // buttons' in main_window.cpp).
    void buildWidgets();
    // After the last fit: a file named on the command line may open now.
    void placed();
    void openPendingFile();
    void addFields(QWidget* const places[]);
    void addPanels(QWidget* client);
    void addButtons(QWidget* const places[]);
    void setFocusOrder();

    // What each button and the menu entry start; the control is named beside.
    void convertOldToNew();  // cmdOne ">"
    void convertNewToOld();  // cmd2 "<"
    void convertList();      // cmdAll
    void convertListBackward();  // mnuBackward
    void swapCentres();      // mnuSwap
    void openPanel1();       // cmdOp1
    void openPanel2();       // cmdOp2
    void savePanel1();       // cmdSav1
    void savePanel2();       // cmdSav2
    void savePanel2InLayout();  // mnuSaveInLayout
    void savePanel2As();        // mnuSaveAs
    void clearPanel1();      // cmdEr1
    void clearPanel2();      // cmdEr2
    void showAbout();        // mnuabout
    void openPanel(operations::Panel panel);
    // inListLayout: in the layout of the list panel 2's lines came from.
    void savePanel(operations::Panel panel, bool inListLayout = false);
    // A list opened into a panel: its layout, for a save in it.
    void keepLayout(operations::Panel panel, operations::KeptLayout layout);
    std::string& panelFile(operations::Panel panel) { return m_panelFile[panel == operations::Panel::One ? 0 : 1]; }
    void chooseSheetFrom();  // mnuSheetFrom
    void chooseSheetTo();    // mnuSheetTo
    void pointToGrid();      // mnuPointToGrid
    void listToGrid();       // mnuListToGrid
    void listFromGrid();     // mnuListFromGrid
    void showSystems();      // mnuSystemsDialog
    void installGrid();      // mnuInstallGrid
    void showFit();          // mnuFitDialog: read the panels anew each time

    // An operation that appends converted lines to panel 2: asked first
    // when they would join lines of another system, noted as unsaved after.
    void fillPanel2(operations::PanelFill fill);
    // A field typed in: a centre's change takes the results computed with
    // it away, a result typed over is the user's.
    void fieldTyped(operations::FieldId id);

    void addMenus();
    // The sheet chooser for one side; its sheet's centre goes into that side.
    void chooseSheet(bool fromSide);
    void chooseSheetFor(bool fromSide);
    // After ">" or "<": the sheet the point lies on, in the button's tooltip.
    void showSheetOfPoint(bool fromSide, QWidget* button);

    // Runs an operation; an exception (no memory for a huge list) must not
    // unwind through Qt's event loop, so it ends as a message.
    template <typename Operation>
    void run(Operation&& operation);

    operations::TempPlaces m_temp;
    // The factor of the twips layout for the desktop font (twips.h).
    double m_scale;
    std::unique_ptr<QtDialogs> m_ownDialogs;
    WidgetFields m_fields;
    // What the operations get: the dialogs, each shown only after the
    // panels hold everything appended so far.
    std::unique_ptr<operations::Dialogs> m_dialogs;
    FieldGuard m_guard;
    QPointer<AboutWindow> m_about;
    QPointer<SystemsDialog> m_systems;
    QPointer<FitDialog> m_fit;
    bool m_quitConfirmed = false;
    // The file each panel was opened from or saved to last (UTF-8): its save
    // offers that name, never the other panel's.
    std::array<std::string, 2> m_panelFile;
    // What panel 2's lines are, and whether they were saved since.
    operations::PanelContents m_panel2{operations::Panel::Two};
    // Which point the last ">" or "<" wrote.
    operations::PointResults m_results;
    bool m_fitted = false;
    // One of the fits after the show (screen_fit.h's kFrameFitMs): then a
    // file named on the command line may open (ms).
    static constexpr int kPlacedAtMs = 300;
    // How long a file named on the command line waits for the window's
    // activation, which a desktop without a window manager never gives (ms).
    static constexpr int kActivationWaitMs = 1500;
    QString m_pendingFile;
    bool m_placed = false;
    bool m_activated = false;
};

} // namespace hattsheet::ui
