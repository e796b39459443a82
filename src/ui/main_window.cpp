#include "ui/main_window.h"

#include "operations/egsa87_operations.h"
#include "operations/map_export.h"
#include "operations/window_texts.h"
#include "operations/panel_operations.h"
#include "operations/point_list.h"
#include "operations/single_point.h"
#include "ui/about_window.h"
#include "ui/client_area.h"
#include "ui/field_edit.h"
#include "ui/fit_dialog.h"
#include "ui/flushing_dialogs.h"
#include "ui/latin_mnemonics.h"
#include "ui/qt_dialogs.h"
#include "ui/dialog_parts.h"
#include "ui/screen_fit.h"
#include "ui/sheet_chooser.h"
#include "ui/systems_dialog.h"
#include "ui/twips.h"
#include "ui/ui_texts.h"
#include "ui/window_layout.h"
#include "ui/window_look.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolTip>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

#include <algorithm>
#include <cstddef>
#include <exception>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace hattsheet::ui {

using operations::FieldId;
using operations::Panel;

MainWindow::MainWindow(operations::TempPlaces temp, operations::Dialogs* dialogs)
    : m_temp(std::move(temp)),
      m_scale(ui::layoutScale(QApplication::font(this))),
      m_ownDialogs(dialogs == nullptr ? std::make_unique<QtDialogs>(this) : nullptr),
      m_dialogs(std::make_unique<FlushingDialogs>(dialogs == nullptr ? *m_ownDialogs : *dialogs, m_fields))
{
    setObjectName(QStringLiteral("frmMyHatt"));
    setWindowTitle(fromUtf8(captions::kWindowTitle));
    buildWidgets();
    setFocusOrder();
    resize(fittedSize(*this, QSize()));
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::sessionEnding);
    // Every mnemonic on a Latin keyboard layout too, in this window and
    // those it opens.
    qApp->installEventFilter(new LatinMnemonics(this));
}

MainWindow::~MainWindow() = default;

void MainWindow::buildWidgets()
{
    auto* client = new ClientArea(twipsSize(kClientWidthTw, kClientHeightTw, m_scale), this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    QAction* about = menuBar()->addAction(fromUtf8(captions::kMenuAboutEntry));
    about->setObjectName(QStringLiteral("mnuabout"));
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
    addMenus();

    QWidget* places[kPlaces] = {client};
    for (std::size_t i = 0; i < std::size(kBoxes); ++i) places[i + 1] = addBox(client, kBoxes[i], m_scale);
    for (const LabelRow& row : kLabels) addLabel(places[static_cast<std::size_t>(row.in)], row, m_scale);
    addFields(places);
    addPanels(client);
    addButtons(places);

    // The panels give up height down to a few lines of text; every other
    // control keeps its size.
    auto* credits = client->findChild<QWidget*>(QStringLiteral("Label12"));
    client->follow(credits, Follow::Credits);
    const auto* panel = client->findChild<QPlainTextEdit*>(QString::fromLatin1(operations::fieldObjectName(FieldId::File1)));
    const int panelMin = kPanelMinLines * panel->fontMetrics().lineSpacing() + 2 * panel->frameWidth();
    client->setMinimumSize(client->sizeHint() - QSize(0, std::max(0, panel->height() - panelMin)));
}

void MainWindow::showEvent(QShowEvent* event)
{
    if (m_fitted) {
        QMainWindow::showEvent(event);
        return;
    }
    m_fitted = true;
    // The screen the window opens on is known now; once the window manager
    // has framed the window, the frame too (title bar and borders, which X
    // window managers announce in _NET_FRAME_EXTENTS and Qt reads there)
    // goes inside the available area. A window manager frames the window
    // some time after it is shown, on a loaded machine later: the fit is
    // done again a few times, each only shrinking and moving the window.
    fitOnFirstShow(*this, [this](int ms) {
        if (ms == kPlacedAtMs) placed();
    });
    QMainWindow::showEvent(event);
}

void MainWindow::openFileOnceShown(const QString& path)
{
    m_pendingFile = path;
    // Without a window manager no activation may come.
    QTimer::singleShot(kActivationWaitMs, this, [this] {
        m_activated = true;
        openPendingFile();
    });
}

void MainWindow::placed()
{
    m_placed = true;
    openPendingFile();
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !m_activated) {
        m_activated = true;
        QTimer::singleShot(0, this, &MainWindow::openPendingFile);
    }
    return QMainWindow::event(event);
}

void MainWindow::openPendingFile()
{
    if (!m_placed || !m_activated || m_pendingFile.isEmpty()) return;
    openFile(std::exchange(m_pendingFile, QString()));
}

void MainWindow::addMenus()
{
    struct EntryRow {
        const char* name;
        const char* caption;
        void (MainWindow::*trigger)();
        QKeySequence shortcut = {};
    };
    struct MenuRow {
        const char* name;
        const char* caption;
        std::initializer_list<EntryRow> entries;
    };
    const MenuRow menus[] = {
        {"mnuSheets", captions::kMenuSheets,
         {{"mnuSheetFrom", captions::kChooseSheetFrom, &MainWindow::chooseSheetFrom},
          {"mnuSheetTo", captions::kChooseSheetTo, &MainWindow::chooseSheetTo}}},
        {"mnuGrid", captions::kMenuEgsa87,
         {{"mnuPointToGrid", captions::kPointToEgsa87, &MainWindow::pointToGrid},
          {"mnuListToGrid", captions::kListToEgsa87, &MainWindow::listToGrid},
          {"mnuListFromGrid", captions::kListFromEgsa87, &MainWindow::listFromGrid}}},
        {"mnuTasks", captions::kMenuTasks,
         {{"mnuSwap", captions::kMenuSwap, &MainWindow::swapCentres, QKeySequence(Qt::CTRL | Qt::Key_R)},
          {"mnuBackward", captions::kMenuBackward, &MainWindow::convertListBackward},
          {"mnuSaveInLayout", captions::kMenuSaveInLayout, &MainWindow::savePanel2InLayout},
          {"mnuSaveAs", captions::kMenuSaveAs, &MainWindow::savePanel2As}}},
        {"mnuSystems", captions::kMenuSystems,
         {{"mnuSystemsDialog", captions::kMenuSystemsDialog, &MainWindow::showSystems},
          {"mnuInstallGrid", captions::kMenuInstallGrid, &MainWindow::installGrid},
          {"mnuFitDialog", captions::kMenuFitDialog, &MainWindow::showFit}}},
    };
    for (const MenuRow& row : menus) {
        QMenu* menu = menuBar()->addMenu(fromUtf8(row.caption));
        menu->setObjectName(QString::fromLatin1(row.name));
        for (const EntryRow& entry : row.entries) {
            QAction* action = menu->addAction(fromUtf8(entry.caption));
            action->setObjectName(QString::fromLatin1(entry.name));
            action->setShortcut(entry.shortcut);
            connect(action, &QAction::triggered, this, entry.trigger);
        }
    }
}

void MainWindow::addFields(QWidget* const places[])
{
    for (const FieldRow& row : kFields) {
        auto* field = new FieldEdit(fromUtf8(row.initial), places[static_cast<std::size_t>(row.in)]);
        field->setObjectName(QString::fromLatin1(operations::fieldObjectName(row.id)));
        field->setGeometry(pixels(row.at, m_scale));
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        keepSystemTextColours(field);
        // A flat one-pixel border; the style's sunken frame would leave too
        // little room for the text at 19 pixels.
        field->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(dark); padding: 0 1px; }"));
        field->setAccessibleName(fromUtf8(kBoxes[static_cast<std::size_t>(row.in) - 1].caption) +
                                 fromUtf8(captions::kNameJoin) + fromUtf8(row.name));
        m_fields.bindLine(row.id, field);
        connect(field, &QLineEdit::textEdited, this, [this, id = row.id] { fieldTyped(id); });
        // The geodetic display has no behaviour of its own.
        if (row.in != In::Box3) m_guard.guard(field);
    }
}

void MainWindow::addPanels(QWidget* client)
{
    for (const PanelRow& row : kPanels) {
        auto* panel = new QPlainTextEdit(client);
        panel->setObjectName(QString::fromLatin1(operations::fieldObjectName(row.id)));
        panel->setGeometry(pixels(row.at, m_scale));
        panel->setToolTip(fromUtf8(captions::kPanelTip));
        panel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        panel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        panel->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        // Tab moves on to the next control, as in the other fields; Enter adds a line.
        panel->setTabChangesFocus(true);
        QFont font(QStringLiteral("Liberation Mono"));
        font.setStyleHint(QFont::TypeWriter);  // the system's monospace when it is missing
        font.setFixedPitch(true);
        font.setPointSizeF(panelPointSize(QApplication::font(this), this));
        panel->setFont(font);
        panel->setAccessibleName(fromUtf8(row.box) + fromUtf8(captions::kNameJoin) + fromUtf8(captions::kPanelName));
        static_cast<ClientArea*>(client)->follow(panel, row.id == FieldId::File1 ? Follow::Panel1 : Follow::Panel2);
        fixColours(panel, QPalette::Text, QPalette::Base, row.tint);
        m_fields.bindPanel(row.id, panel);
    }
}

void MainWindow::addButtons(QWidget* const places[])
{
    struct ButtonRow {
        const char* name;
        In in;
        const char* caption;
        Twips at;
        void (MainWindow::*click)();
        Follow follow;
    };
    static constexpr ButtonRow kButtons[] = {
        {"cmdOne", In::Box1, captions::kOldToNewButton, {4440, 360, 315, 255}, &MainWindow::convertOldToNew, Follow::Stay},
        {"cmd2", In::Box2, captions::kNewToOldButton, {4440, 360, 315, 255}, &MainWindow::convertNewToOld, Follow::Stay},
        {"cmdAll", In::Client, captions::kConvertListButton, {60, 1500, 9675, 255}, &MainWindow::convertList, Follow::Stay},
        {"cmdOp1", In::Client, captions::kOpen1Button, {60, 8280, 1575, 255}, &MainWindow::openPanel1, Follow::BelowPanel1},
        {"cmdEr1", In::Client, captions::kClear1Button, {1680, 8280, 1575, 255}, &MainWindow::clearPanel1, Follow::BelowPanel1},
        {"cmdSav1", In::Client, captions::kSave1Button, {3300, 8280, 1575, 255}, &MainWindow::savePanel1, Follow::BelowPanel1},
        {"cmdOp2", In::Client, captions::kOpen2Button, {4920, 8280, 1575, 255}, &MainWindow::openPanel2, Follow::BelowPanel2},
        {"cmdEr2", In::Client, captions::kClear2Button, {6540, 8280, 1575, 255}, &MainWindow::clearPanel2, Follow::BelowPanel2},
        {"cmdSav2", In::Client, captions::kSave2Button, {8160, 8280, 1575, 255}, &MainWindow::savePanel2, Follow::BelowPanel2},
    };
    for (const ButtonRow& row : kButtons) {
        auto* button = new QPushButton(fromUtf8(row.caption), places[static_cast<std::size_t>(row.in)]);
        button->setObjectName(QString::fromLatin1(row.name));
        button->setGeometry(pixels(row.at, m_scale));
        if (row.follow != Follow::Stay) static_cast<ClientArea*>(places[0])->follow(button, row.follow);
        keepSystemTextColours(button);
        // Enter on a button that has the focus presses it (Qt does so only in
        // dialogs unless asked): the Enter path of the fields ends on ">" and "<".
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, row.click);
    }
}

void MainWindow::setFocusOrder()
{
    QWidget* previous = nullptr;
    for (const char* name : kFocusOrder) {
        auto* widget = findChild<QWidget*>(QString::fromLatin1(name));
        if (previous != nullptr) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    findChild<QWidget*>(QString::fromLatin1(kFocusOrder[0]))->setFocus(Qt::OtherFocusReason);
}

template <typename Operation>
void MainWindow::run(Operation&& operation)
{
    runShown(m_fields, std::forward<Operation>(operation), [this] {
        m_dialogs->showMessage(operations::windowTexts().operationFailed, operations::windowTexts().titleWarning,
                               operations::MessageIcon::Critical);
    });
}

void MainWindow::convertOldToNew()
{
    run([this] {
        m_fields.takeNotes();
        operations::WatchedFields watched(m_fields);
        operations::convertOldToNew(watched, *m_dialogs);
        if (watched.changed(FieldId::X2)) m_results.converted(operations::Direction::Forward);
        showSheetOfPoint(false, findChild<QWidget*>(QStringLiteral("cmdOne")));
    });
}

void MainWindow::convertNewToOld()
{
    run([this] {
        m_fields.takeNotes();
        operations::WatchedFields watched(m_fields);
        operations::convertNewToOld(watched, *m_dialogs);
        if (watched.changed(FieldId::X1)) m_results.converted(operations::Direction::Backward);
        showSheetOfPoint(true, findChild<QWidget*>(QStringLiteral("cmd2")));
    });
}

void MainWindow::fieldTyped(FieldId id)
{
    switch (id) {
    case FieldId::PhiOld:
    case FieldId::LambdaOld: m_results.centreChanged(m_fields, operations::Side::From); break;
    case FieldId::PhiNew:
    case FieldId::LambdaNew: m_results.centreChanged(m_fields, operations::Side::To); break;
    case FieldId::X1:
    case FieldId::Y1:
    case FieldId::X2:
    case FieldId::Y2: m_results.pointTyped(id); break;
    default: break;
    }
}

void MainWindow::showSheetOfPoint(bool fromSide, QWidget* button)
{
    const std::string name = fromSide ? operations::sheetNameOfPoint(m_fields.text(FieldId::PhiOld),
                                                                      m_fields.text(FieldId::LambdaOld),
                                                                      m_fields.text(FieldId::X1), m_fields.text(FieldId::Y1))
                                       : operations::sheetNameOfPoint(m_fields.text(FieldId::PhiNew),
                                                                      m_fields.text(FieldId::LambdaNew),
                                                                      m_fields.text(FieldId::X2), m_fields.text(FieldId::Y2));
    const QString tip = name.empty() ? fromUtf8(captions::kNoSheetOfPoint) : fromUtf8(captions::kSheetOfPoint) + fromUtf8(name);
    button->setToolTip(tip);
    // A note of this conversion (a centre read with 60 minutes or more) stays
    // in sight below the name: one tooltip at a time is shown.
    const QString notes = m_fields.takeNotes();
    const QString shown = notes.isEmpty() ? tip : tip + QStringLiteral("\n") + notes;
    if (button->isVisible()) QToolTip::showText(button->mapToGlobal(QPoint(0, button->height())), shown, button);
}

void MainWindow::chooseSheetFrom()
{
    chooseSheet(true);
}

void MainWindow::chooseSheetTo()
{
    chooseSheet(false);
}

void MainWindow::chooseSheet(bool fromSide)
{
    run([this, fromSide] { chooseSheetFor(fromSide); });
}

void MainWindow::chooseSheetFor(bool fromSide)
{
    SheetChooser chooser(fromUtf8(fromSide ? captions::kChooseSheetFrom : captions::kChooseSheetTo).remove(QChar(0x2026)).remove(QLatin1Char('&')), this);
    // It opens on a sheet of the side's centre, when the centre is a sheet's.
    const auto current = operations::SheetChoice::onCentre(m_fields.text(fromSide ? FieldId::PhiOld : FieldId::PhiNew),
                                                           m_fields.text(fromSide ? FieldId::LambdaOld : FieldId::LambdaNew));
    if (current) chooser.choose(current->candidates().front().sheet);
    if (chooser.exec() != QDialog::Accepted || chooser.chosen() == nullptr) return;
    const auto side = fromSide ? operations::Side::From : operations::Side::To;
    const operations::LineSystem before = operations::hattSystemOf(m_fields, side);
    operations::placeSheetCentre(m_fields, *chooser.chosen(), side);
    if (!operations::sameSystem(before, operations::hattSystemOf(m_fields, side))) m_results.centreChanged(m_fields, side);
}

void MainWindow::fillPanel2(operations::PanelFill fill)
{
    run([this, fill] { operations::fillPanel(m_panel2, m_fields, *m_dialogs, m_temp, fill); });
}

void MainWindow::pointToGrid()
{
    fillPanel2(operations::PanelFill::PointToEgsa87);
}

void MainWindow::listToGrid()
{
    fillPanel2(operations::PanelFill::ListToEgsa87);
}

void MainWindow::listFromGrid()
{
    fillPanel2(operations::PanelFill::ListFromEgsa87);
}

void MainWindow::convertList()
{
    fillPanel2(operations::PanelFill::Batch);
}

void MainWindow::convertListBackward()
{
    fillPanel2(operations::PanelFill::BatchBackward);
}

void MainWindow::showSystems()
{
    if (!m_systems) {
        m_systems = new SystemsDialog(m_fields, *m_dialogs, m_temp, m_panel2, this);
    }
    m_systems->show();
    m_systems->raise();
    m_systems->activateWindow();
}

void MainWindow::showFit()
{
    if (!m_fit) {
        m_fit = new FitDialog(m_fields, *m_dialogs, m_panel2, this);
    } else {
        m_fit->readPanels();
    }
    m_fit->show();
    m_fit->raise();
    m_fit->activateWindow();
}

void MainWindow::installGrid()
{
    run([this] {
        if (operations::installGridFiles(*m_dialogs) && m_systems) m_systems->forgetGrid();
    });
}

void MainWindow::swapCentres()
{
    run([this] { m_results.swap(m_fields); });
}

void MainWindow::openPanel(Panel panel)
{
    run([this, panel] {
        if (auto opened = operations::openIntoPanel(m_fields, *m_dialogs, panel)) {
            panelFile(panel) = std::move(opened->path);
            keepLayout(panel, std::move(opened->layout));
        }
    });
}

void MainWindow::openFile(const QString& path)
{
    run([this, &path] {
        const std::string utf8 = path.toStdString();
        if (auto layout = operations::openFileIntoPanel(m_fields, *m_dialogs, Panel::One, utf8)) {
            panelFile(Panel::One) = utf8;
            keepLayout(Panel::One, std::move(*layout));
        }
    });
}

void MainWindow::keepLayout(Panel panel, operations::KeptLayout layout)
{
    if (panel == Panel::One) {
        m_panel2.sourceOpened(std::move(layout));
    } else {
        m_panel2.opened(std::move(layout));
    }
}

void MainWindow::savePanel(Panel panel, bool inListLayout)
{
    run([this, panel, inListLayout] {
        const operations::KeptLayout* layout = inListLayout ? &m_panel2.layout() : nullptr;
        if (auto saved = operations::savePanel(m_fields, *m_dialogs, m_temp, panel, panelFile(panel), layout)) {
            panelFile(panel) = std::move(*saved);
            if (panel == Panel::Two) m_panel2.saved();
        }
    });
}

void MainWindow::savePanel2InLayout()
{
    savePanel(Panel::Two, true);
}

// map export: panel 2 as a comma list or a map file. The grid is looked up
// anew each time: it may have been installed since. A map file is an export
// that cannot be opened back as a list: panel 2's lines stay unsaved, and
// its save still offers the list's name.
void MainWindow::savePanel2As()
{
    run([this] {
        operations::GridSlot grid;
        const auto saved = operations::savePanelAs(m_fields, *m_dialogs, m_temp, m_panel2, grid, panelFile(Panel::Two));
        if (saved && saved->format == pointfile::MapFormat::Csv) {
            panelFile(Panel::Two) = saved->path;
            m_panel2.saved();
        }
    });
}

void MainWindow::openPanel1()
{
    openPanel(Panel::One);
}

void MainWindow::openPanel2()
{
    openPanel(Panel::Two);
}

void MainWindow::savePanel1()
{
    savePanel(Panel::One);
}

void MainWindow::savePanel2()
{
    savePanel(Panel::Two);
}

void MainWindow::clearPanel1()
{
    run([this] {
        operations::clearPanel(m_fields, Panel::One);
        m_panel2.sourceOpened(std::nullopt);
    });
}

void MainWindow::clearPanel2()
{
    run([this] { m_panel2.clear(m_fields, *m_dialogs); });
}

void MainWindow::showAbout()
{
    if (!m_about) m_about = new AboutWindow(this);
    // Centred over the main window's outer frame where it stands now.
    const QRect outer = frameGeometry();
    // The About window is frameless, so its outer size is its size; Qt 6.4
    // gives the frame of a window not yet shown one pixel short each way.
    const QSize about = m_about->isVisible() ? m_about->frameGeometry().size() : m_about->size();
    m_about->move(outer.left() + (outer.width() - about.width()) / 2,
                  outer.top() + (outer.height() - about.height()) / 2);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

bool MainWindow::confirmQuit()
{
    if (!m_quitConfirmed) {
        // Converted lines still in panel 2 and not saved since: said, and
        // Enter keeps them.
        std::string question = operations::windowTexts().quit;
        const bool unsaved = m_panel2.holdsUnsaved(m_fields);
        if (unsaved) question.append("\n").append(operations::windowTexts().quitUnsaved);
        m_quitConfirmed = m_dialogs->askYesNo(question, operations::windowTexts().titleQuit,
                                              unsaved ? operations::DefaultAnswer::No : operations::DefaultAnswer::Yes);
    }
    if (m_quitConfirmed && m_about) m_about->close();
    return m_quitConfirmed;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (confirmQuit()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::sessionEnding(QSessionManager& manager)
{
    if (!manager.allowsInteraction()) return;
    const bool quit = confirmQuit();
    manager.release();
    if (!quit) manager.cancel();
}

} // namespace hattsheet::ui
