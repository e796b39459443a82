#pragma once
// frmMyHatt, the one main window: two sheet centres with one point each, the
// geodetic display, the two point panels with their buttons and the batch
// button, on a fixed layout of 652 × 586 pixels below a one-entry menu bar.
// The widgets only bind: each click runs one operation of src/conversion/
// or src/pointfile/ through the field and dialog interface.

#include "about_window.h"
#include "field_guard.h"
#include "widget_fields.h"
#include "window_ports.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSessionManager;

namespace hattsheet::ui {

class QtDialogs;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // temp: where the operations keep their two temporary files. dialogs:
    // the message boxes and file dialogs to use; none gives Qt's own, a test
    // passes a fake that answers from a script.
    explicit MainWindow(conversion::TempPlaces temp, conversion::Dialogs* dialogs = nullptr);
    ~MainWindow() override;

    // The factor by which the twips layout grew for the desktop font (1 for
    // small fonts).
    double scale() const { return m_scale; }

    // The About window while it is open.
    AboutWindow* aboutWindow() const { return m_about; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The quit question; on Yes the About window closes and the program may end.
    bool confirmQuit();
    // The desktop session is ending: Qt 6 sends no close event then, so the
    // question is asked here, and No cancels the logout where the session
    // manager allows it.
    void sessionEnding(QSessionManager& manager);

    void buildWidgets();
    void connectButtons();
    void setFocusOrder();
    QLineEdit* addField(QWidget* frame, conversion::FieldId id, const char* initial, const QRect& rect);
    QPlainTextEdit* addPanel(conversion::FieldId id, const QRect& rect, const QColor& background);
    QPushButton* addButton(QWidget* parent, const char* objectName, const char* caption, const QRect& rect);

    // One handler per control, each running one operation.
    void cmdOneClick();
    void cmd2Click();
    void cmdAllClick();
    void cmdOp1Click();
    void cmdOp2Click();
    void cmdSav1Click();
    void cmdSav2Click();
    void cmdEr1Click();
    void cmdEr2Click();
    void mnuaboutClick();

    // Runs an operation; an exception (no memory for a huge list) must not
    // unwind through Qt's event loop, so it ends as a message.
    template <typename Operation>
    void run(Operation&& operation);

    conversion::TempPlaces m_temp;
    // The factor of the twips layout for the desktop font (twips.h).
    double m_scale;
    std::unique_ptr<QtDialogs> m_ownDialogs;
    WidgetFields m_fields;
    // What the operations get: the dialogs, each shown only after the
    // panels hold everything appended so far.
    std::unique_ptr<conversion::Dialogs> m_dialogs;
    FieldGuard m_guard;
    QPointer<AboutWindow> m_about;
    bool m_quitConfirmed = false;
};

} // namespace hattsheet::ui
