#include "ui/main_window.h"

#include "operations/grid_operations.h"
#include "operations/messages.h"
#include "operations/panel_operations.h"
#include "operations/point_list.h"
#include "operations/single_point.h"
#include "ui/about_window.h"
#include "ui/field_edit.h"
#include "ui/qt_dialogs.h"
#include "ui/sheet_chooser.h"
#include "ui/twips.h"
#include "ui/ui_texts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
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
#include <vector>

namespace hattsheet::ui {

using operations::FieldId;
using operations::Panel;

namespace {

const QColor kLightGreen(192, 255, 192);
const QColor kLightYellow(255, 255, 192);
const QColor kCaptionBlue(0, 0, 255);
const QColor kCaptionBlueOnDark(128, 160, 255);  // 5:1 or more against dark greys
const QColor kFixedBackgroundText(0, 0, 0);
const QColor kCreditsRed(255, 0, 0);

constexpr int kClientWidthTw = 9780;
constexpr int kClientHeightTw = 8790;
constexpr double kPanelPointSize = 9.0;

// A control's place in its parent (twips): left, top, width, height.
struct Twips {
    int left, top, width, height;
};

// Where a control sits: the client area or one of the three frames.
enum class In { Client, Frame1, Frame2, Frame3 };
constexpr std::size_t kPlaces = 4;

// The fixed backgrounds: the old sheet's and the geodetic labels and panel 1
// light green, the new sheet's light yellow; the credits line red on the
// system's menu-text colour.
enum class Tint { Green, Yellow, Credits };

struct FrameRow {
    const char* name;
    const char* caption;
    Twips at;
};
// In the order of In: row i is In(i + 1).
constexpr FrameRow kFrames[] = {
    {"Frame1", text::kFrameOld, {60, 0, 4815, 855}},
    {"Frame2", text::kFrameNew, {4920, 0, 4815, 855}},
    {"Frame3", text::kFrameGeodetic, {60, 840, 9675, 615}},
};
static_assert(std::size(kFrames) + 1 == kPlaces);

struct LabelRow {
    const char* name;
    In in;
    const char* caption;
    Twips at;
    Tint tint;
    bool centred;
};
constexpr LabelRow kLabels[] = {
    {"Label1", In::Frame1, text::kPhi, {540, 180, 315, 255}, Tint::Green, true},
    {"Label2", In::Frame1, text::kDeltaLambda, {540, 480, 315, 255}, Tint::Green, true},
    {"Label5", In::Frame1, text::kEasting, {2760, 180, 315, 255}, Tint::Green, false},
    {"Label6", In::Frame1, text::kNorthing, {2760, 480, 315, 255}, Tint::Green, false},
    {"Label3", In::Frame2, text::kPhi, {540, 180, 315, 255}, Tint::Yellow, true},
    {"Label4", In::Frame2, text::kDeltaLambda, {540, 480, 315, 255}, Tint::Yellow, true},
    {"Label7", In::Frame2, text::kEasting, {2760, 180, 315, 255}, Tint::Yellow, false},
    {"Label8", In::Frame2, text::kNorthing, {2760, 480, 315, 255}, Tint::Yellow, false},
    {"Label9", In::Frame3, text::kPhi, {120, 240, 315, 255}, Tint::Green, true},
    {"Label10", In::Frame3, text::kDeltaLambda, {3780, 240, 315, 255}, Tint::Green, true},
    {"Label11", In::Frame3, text::kLambda, {7260, 240, 315, 255}, Tint::Green, true},
    {"Label12", In::Client, text::kCredits, {60, 8580, 9675, 195}, Tint::Credits, true},
};

// The eleven single-line fields; the object name comes with the FieldId
// (txtPhiOld ... txtl). The eight of the first two frames are input fields.
// name: the field's part of its accessible name, after its frame's caption.
struct FieldRow {
    FieldId id;
    In in;
    const char* initial;
    Twips at;
    const char* name;
};
constexpr FieldRow kFields[] = {
    {FieldId::PhiOld, In::Frame1, "40.51", {900, 180, 1035, 285}, text::kPhi},
    {FieldId::LambdaOld, In::Frame1, "-0.51", {900, 480, 1035, 285}, text::kDeltaLambda},
    {FieldId::X1, In::Frame1, "0.000", {3120, 180, 1275, 285}, "\u03A7"},
    {FieldId::Y1, In::Frame1, "0.000", {3120, 480, 1275, 285}, "\u03A5"},
    {FieldId::PhiNew, In::Frame2, "40.45", {900, 180, 1035, 285}, text::kPhi},
    {FieldId::LambdaNew, In::Frame2, "-0.45", {900, 480, 1035, 285}, text::kDeltaLambda},
    {FieldId::X2, In::Frame2, "0.000", {3120, 180, 1275, 285}, "\u03A7"},
    {FieldId::Y2, In::Frame2, "0.000", {3120, 480, 1275, 285}, "\u03A5"},
    {FieldId::Lat, In::Frame3, "", {480, 240, 1935, 285}, text::kPhi},
    {FieldId::LonAthens, In::Frame3, "", {4140, 240, 1815, 285}, text::kDeltaLambda},
    {FieldId::LonGreenwich, In::Frame3, "", {7620, 240, 1935, 285}, text::kLambda},
};

// frame: the caption whose sheet the panel's points are on, for its accessible name.
struct PanelRow {
    FieldId id;
    Twips at;
    Tint tint;
    const char* frame;
};
constexpr PanelRow kPanels[] = {
    {FieldId::File1, {60, 1800, 4815, 6435}, Tint::Green, text::kFrameOld},
    {FieldId::File2, {4920, 1800, 4815, 6435}, Tint::Yellow, text::kFrameNew},
};
// The panels' least height (lines of their text): what they keep when the
// window gives up height to fit the screen.
constexpr int kPanelMinLines = 3;

// Focus order: Tab, and Enter in the input fields, go round it; the window
// opens with the focus on its first control.
constexpr const char* kFocusOrder[] = {
    "txtFile1", "txtFile2", "cmdOp1", "cmdSav1", "cmdEr1", "cmdOp2", "cmdSav2", "cmdEr2",
    "cmdAll", "txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "cmdOne",
    "txtX2", "txtY2", "cmd2", "txtf", "txtm", "txtl",
};

QRect pixels(const Twips& at, double scale)
{
    return twipsRect(at.left, at.top, at.width, at.height, scale);
}

// How a control of the client area follows the window's size: the panels
// take every pixel the window gains or gives up (each half of the width),
// the buttons below them move with their lower edge (those of panel 2 also
// with its left edge), the credits line stays at the bottom across the
// width; everything else stays where the layout puts it.
enum class Follow { Stay, Panel1, Panel2, BelowPanel1, BelowPanel2, Credits };

class ClientArea final : public QWidget {
public:
    ClientArea(QSize design, QWidget* parent) : QWidget(parent), m_design(design) {}
    // The widget's geometry now is its place at the layout's own size.
    void follow(QWidget* widget, Follow how) { m_items.push_back({widget, widget->geometry(), how}); }
    QSize sizeHint() const override { return m_design; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        const int dw = width() - m_design.width();
        const int dh = height() - m_design.height();
        const int left = dw / 2;  // panel 1's share of the width gained
        for (const Item& item : m_items) {
            QRect at = item.at;
            switch (item.how) {
            case Follow::Stay: break;
            case Follow::Panel1: at.setSize(at.size() + QSize(left, dh)); break;
            case Follow::Panel2:
                at.translate(left, 0);
                at.setSize(at.size() + QSize(dw - left, dh));
                break;
            case Follow::BelowPanel1: at.translate(0, dh); break;
            case Follow::BelowPanel2: at.translate(left, dh); break;
            case Follow::Credits:
                at.translate(0, dh);
                at.setWidth(at.width() + dw);
                break;
            }
            item.widget->setGeometry(at);
        }
    }

private:
    struct Item {
        QWidget* widget;
        QRect at;
        Follow how;
    };
    QSize m_design;
    std::vector<Item> m_items;
};

// The panels' text size (points): the desktop font's, never below 9 pt.
double panelPointSize(const QFont& desktop, const QWidget* widget)
{
    double points = desktop.pointSizeF();
    if (points <= 0 && desktop.pixelSize() > 0) {
        constexpr double kPointsPerInch = 72.0;
        points = (desktop.pixelSize() * kPointsPerInch) / widget->logicalDpiY();
    }
    return std::max(kPanelPointSize, points);
}

// The frame captions' blue: the given RGB (0, 0, 255) on a light window
// colour; on a dark one that blue is hard to read, so a light blue with the
// same hue takes its place.
QColor captionBlue(const QPalette& system)
{
    constexpr int kDarkBelowLightness = 128;
    return system.color(QPalette::Window).lightness() < kDarkBelowLightness ? kCaptionBlueOnDark : kCaptionBlue;
}

// A frame whose caption is blue while its controls keep the system colours:
// the palette of the frame reaches its children, so they get the system
// text colours back explicitly. The outline runs through the middle of the
// caption, as the layout expects: the style's own frame would start below
// the caption and cross the first row of controls.
QGroupBox* addFrame(QWidget* parent, const FrameRow& row, double scale)
{
    auto* frame = new QGroupBox(fromUtf8(row.caption), parent);
    frame->setObjectName(QString::fromLatin1(row.name));
    frame->setGeometry(pixels(row.at, scale));
    const QColor blue = captionBlue(QApplication::palette(frame));
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, blue);
    frame->setPalette(palette);
    frame->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                                        " margin-top: 0.5em; }"
                                        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px;"
                                        " color: %1; background-color: palette(window); }")
                             .arg(blue.name()));
    return frame;
}

// Fixed text and background colours in every colour group. Black text
// wherever the background is fixed (the light green and light yellow labels
// and panels): the system's text colour may be white under a dark desktop
// theme.
void fixColours(QWidget* widget, QPalette::ColorRole textRole, const QColor& text,
                QPalette::ColorRole backgroundRole, const QColor& background)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, textRole, text);
        palette.setColor(group, backgroundRole, background);
    }
    widget->setPalette(palette);
}

void fixColours(QWidget* widget, QPalette::ColorRole textRole, QPalette::ColorRole backgroundRole, Tint tint)
{
    switch (tint) {
    case Tint::Green:
        fixColours(widget, textRole, kFixedBackgroundText, backgroundRole, kLightGreen);
        break;
    case Tint::Yellow:
        fixColours(widget, textRole, kFixedBackgroundText, backgroundRole, kLightYellow);
        break;
    case Tint::Credits:
        fixColours(widget, textRole, kCreditsRed, backgroundRole,
                   QApplication::palette("QMenu").color(QPalette::WindowText));
        break;
    }
}

void keepSystemTextColours(QWidget* widget)
{
    const QPalette system = QApplication::palette(widget);
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, role, system.color(group, role));
        }
    }
    widget->setPalette(palette);
}

void addLabel(QWidget* parent, const LabelRow& row, double scale)
{
    auto* label = new QLabel(fromUtf8(row.caption), parent);
    label->setObjectName(QString::fromLatin1(row.name));
    label->setGeometry(pixels(row.at, scale));
    label->setAlignment((row.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    fixColours(label, QPalette::WindowText, QPalette::Window, row.tint);
    label->setAutoFillBackground(true);
}

// Puts the collected panel appends into the panels before any message box
// or file dialog shows, so the window the user sees behind it is complete.
class FlushingDialogs final : public operations::Dialogs {
public:
    FlushingDialogs(operations::Dialogs& dialogs, const WidgetFields& fields) : m_dialogs(dialogs), m_fields(fields) {}
    void showMessage(const std::string& text, const std::string& title, operations::MessageIcon icon) override
    {
        m_fields.flush();
        m_dialogs.showMessage(text, title, icon);
    }
    bool askYesNo(const std::string& text, const std::string& title, operations::DefaultAnswer preselected) override
    {
        m_fields.flush();
        return m_dialogs.askYesNo(text, title, preselected);
    }
    std::optional<std::string> chooseOpenFile(const std::string& title,
                                              const std::vector<operations::FileFilter>& filters) override
    {
        m_fields.flush();
        return m_dialogs.chooseOpenFile(title, filters);
    }
    std::optional<std::string> chooseSaveFile(const std::string& title,
                                              const std::vector<operations::FileFilter>& filters,
                                              const std::string& suggested) override
    {
        m_fields.flush();
        return m_dialogs.chooseSaveFile(title, filters, suggested);
    }

private:
    operations::Dialogs& m_dialogs;
    const WidgetFields& m_fields;
};

} // namespace

MainWindow::MainWindow(operations::TempPlaces temp, operations::Dialogs* dialogs)
    : m_temp(std::move(temp)),
      m_scale(ui::layoutScale(QApplication::font(this))),
      m_ownDialogs(dialogs == nullptr ? std::make_unique<QtDialogs>(this) : nullptr),
      m_dialogs(std::make_unique<FlushingDialogs>(dialogs == nullptr ? *m_ownDialogs : *dialogs, m_fields))
{
    setObjectName(QStringLiteral("frmMyHatt"));
    setWindowTitle(fromUtf8(text::kWindowTitle));
    buildWidgets();
    setFocusOrder();
    resize(fittedSize(QSize()));
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::sessionEnding);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildWidgets()
{
    auto* client = new ClientArea(twipsSize(kClientWidthTw, kClientHeightTw, m_scale), this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    QAction* about = menuBar()->addAction(fromUtf8(text::kMenuAboutEntry));
    about->setObjectName(QStringLiteral("mnuabout"));
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
    addMenus();

    QWidget* places[kPlaces] = {client};
    for (std::size_t i = 0; i < std::size(kFrames); ++i) places[i + 1] = addFrame(client, kFrames[i], m_scale);
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

QSize MainWindow::fittedSize(QSize frame) const
{
    QSize size = sizeHint();
    if (const QScreen* where = screen()) size = size.boundedTo(where->availableGeometry().size() - frame);
    return size.expandedTo(minimumSizeHint());
}

void MainWindow::showEvent(QShowEvent* event)
{
    if (m_fitted) {
        QMainWindow::showEvent(event);
        return;
    }
    m_fitted = true;
    // The screen the window opens on is known now; once the window manager
    // has framed the window, the frame too goes inside the available area.
    fitInto(QSize());
    QMainWindow::showEvent(event);
    QTimer::singleShot(0, this, [this] { fitInto(frameGeometry().size() - size()); });
}

void MainWindow::fitInto(QSize frame)
{
    const QScreen* where = screen();
    if (where == nullptr) return;
    const QRect area = where->availableGeometry();
    resize(frame.isEmpty() ? fittedSize(frame) : size().boundedTo(fittedSize(frame)));
    const QRect outer(frameGeometry().topLeft(), size() + frame);
    if (!area.contains(outer)) {
        move(pos() + QPoint(std::min(0, area.right() - outer.right()) + std::max(0, area.left() - outer.left()),
                            std::min(0, area.bottom() - outer.bottom()) + std::max(0, area.top() - outer.top())));
    }
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
        {"mnuSheets", text::kMenuSheets,
         {{"mnuSheetFrom", text::kChooseSheetFrom, &MainWindow::chooseSheetFrom},
          {"mnuSheetTo", text::kChooseSheetTo, &MainWindow::chooseSheetTo}}},
        {"mnuGrid", text::kMenuGrid,
         {{"mnuPointToGrid", text::kPointToGrid, &MainWindow::pointToGrid},
          {"mnuListToGrid", text::kListToGrid, &MainWindow::listToGrid},
          {"mnuListFromGrid", text::kListFromGrid, &MainWindow::listFromGrid}}},
        {"mnuTasks", text::kMenuTasks,
         {{"mnuSwap", text::kMenuSwap, &MainWindow::swapCentres, QKeySequence(Qt::CTRL | Qt::Key_R)},
          {"mnuBackward", text::kMenuBackward, &MainWindow::convertListBackward}}},
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
        field->setAccessibleName(fromUtf8(kFrames[static_cast<std::size_t>(row.in) - 1].caption) +
                                 fromUtf8(text::kNameJoin) + fromUtf8(row.name));
        m_fields.bindLine(row.id, field);
        // The geodetic display has no behaviour of its own.
        if (row.in != In::Frame3) m_guard.guard(field);
    }
}

void MainWindow::addPanels(QWidget* client)
{
    for (const PanelRow& row : kPanels) {
        auto* panel = new QPlainTextEdit(client);
        panel->setObjectName(QString::fromLatin1(operations::fieldObjectName(row.id)));
        panel->setGeometry(pixels(row.at, m_scale));
        panel->setToolTip(fromUtf8(text::kPanelTip));
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
        panel->setAccessibleName(fromUtf8(row.frame) + fromUtf8(text::kNameJoin) + fromUtf8(text::kPanelName));
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
        {"cmdOne", In::Frame1, text::kOldToNewButton, {4440, 360, 315, 255}, &MainWindow::convertOldToNew, Follow::Stay},
        {"cmd2", In::Frame2, text::kNewToOldButton, {4440, 360, 315, 255}, &MainWindow::convertNewToOld, Follow::Stay},
        {"cmdAll", In::Client, text::kConvertListButton, {60, 1500, 9675, 255}, &MainWindow::convertList, Follow::Stay},
        {"cmdOp1", In::Client, text::kOpen1Button, {60, 8280, 1575, 255}, &MainWindow::openPanel1, Follow::BelowPanel1},
        {"cmdEr1", In::Client, text::kClear1Button, {1680, 8280, 1575, 255}, &MainWindow::clearPanel1, Follow::BelowPanel1},
        {"cmdSav1", In::Client, text::kSave1Button, {3300, 8280, 1575, 255}, &MainWindow::savePanel1, Follow::BelowPanel1},
        {"cmdOp2", In::Client, text::kOpen2Button, {4920, 8280, 1575, 255}, &MainWindow::openPanel2, Follow::BelowPanel2},
        {"cmdEr2", In::Client, text::kClear2Button, {6540, 8280, 1575, 255}, &MainWindow::clearPanel2, Follow::BelowPanel2},
        {"cmdSav2", In::Client, text::kSave2Button, {8160, 8280, 1575, 255}, &MainWindow::savePanel2, Follow::BelowPanel2},
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
    try {
        operation();
        m_fields.flush();
    } catch (const std::exception&) {
        // What was appended before the failure stays, as after any failure,
        // unless memory is too short even for that.
        try {
            m_fields.flush();
        } catch (const std::exception&) {
        }
        m_dialogs->showMessage(operations::msg::kOperationFailed, operations::msg::kTitleWarning,
                               operations::MessageIcon::Critical);
    }
}

void MainWindow::convertOldToNew()
{
    run([this] {
        m_fields.takeNotes();
        operations::convertOldToNew(m_fields, *m_dialogs);
        showSheetOfPoint(false, findChild<QWidget*>(QStringLiteral("cmdOne")));
    });
}

void MainWindow::convertNewToOld()
{
    run([this] {
        m_fields.takeNotes();
        operations::convertNewToOld(m_fields, *m_dialogs);
        showSheetOfPoint(true, findChild<QWidget*>(QStringLiteral("cmd2")));
    });
}

void MainWindow::showSheetOfPoint(bool fromFrame, QWidget* button)
{
    const std::string name = fromFrame ? operations::sheetNameOfPoint(m_fields.text(FieldId::PhiOld),
                                                                      m_fields.text(FieldId::LambdaOld),
                                                                      m_fields.text(FieldId::X1), m_fields.text(FieldId::Y1))
                                       : operations::sheetNameOfPoint(m_fields.text(FieldId::PhiNew),
                                                                      m_fields.text(FieldId::LambdaNew),
                                                                      m_fields.text(FieldId::X2), m_fields.text(FieldId::Y2));
    const QString tip = name.empty() ? fromUtf8(text::kNoSheetOfPoint) : fromUtf8(text::kSheetOfPoint) + fromUtf8(name);
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

void MainWindow::chooseSheet(bool fromFrame)
{
    run([this, fromFrame] { chooseSheetFor(fromFrame); });
}

void MainWindow::chooseSheetFor(bool fromFrame)
{
    SheetChooser chooser(fromUtf8(fromFrame ? text::kChooseSheetFrom : text::kChooseSheetTo).remove(QChar(0x2026)).remove(QLatin1Char('&')), this);
    // It opens on a sheet of the frame's centre, when the centre is a sheet's.
    const auto current = operations::SheetChoice::onCentre(m_fields.text(fromFrame ? FieldId::PhiOld : FieldId::PhiNew),
                                                           m_fields.text(fromFrame ? FieldId::LambdaOld : FieldId::LambdaNew));
    if (current) chooser.choose(current->candidates().front().sheet);
    if (chooser.exec() != QDialog::Accepted || chooser.chosen() == nullptr) return;
    operations::placeSheetCentre(m_fields, *chooser.chosen(),
                                 fromFrame ? operations::CentreFrame::From : operations::CentreFrame::To);
}

void MainWindow::pointToGrid()
{
    run([this] { operations::convertPointToGrid(m_fields, *m_dialogs); });
}

void MainWindow::listToGrid()
{
    run([this] { operations::convertListToGrid(m_fields, *m_dialogs, m_temp); });
}

void MainWindow::listFromGrid()
{
    run([this] { operations::convertListFromGrid(m_fields, *m_dialogs, m_temp); });
}

void MainWindow::convertList()
{
    run([this] { m_batchUnsaved = operations::convertPointList(m_fields, *m_dialogs, m_temp) > 0 || m_batchUnsaved; });
}

void MainWindow::convertListBackward()
{
    run([this] {
        m_batchUnsaved = operations::convertPointList(m_fields, *m_dialogs, m_temp, operations::Direction::NewToOld) > 0 ||
                         m_batchUnsaved;
    });
}

void MainWindow::swapCentres()
{
    run([this] { operations::swapCentres(m_fields); });
}

void MainWindow::openPanel(Panel panel)
{
    run([this, panel] {
        if (auto opened = operations::openIntoPanel(m_fields, *m_dialogs, panel)) panelFile(panel) = std::move(*opened);
    });
}

void MainWindow::openFile(const QString& path)
{
    run([this, &path] {
        const std::string utf8 = path.toStdString();
        if (operations::openFileIntoPanel(m_fields, *m_dialogs, Panel::One, utf8)) panelFile(Panel::One) = utf8;
    });
}

void MainWindow::savePanel(Panel panel)
{
    run([this, panel] {
        if (auto saved = operations::savePanel(m_fields, *m_dialogs, m_temp, panel, panelFile(panel))) {
            panelFile(panel) = std::move(*saved);
            if (panel == Panel::Two) m_batchUnsaved = false;
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
    run([this] { operations::clearPanel(m_fields, Panel::One); });
}

void MainWindow::clearPanel2()
{
    run([this] { operations::clearPanel(m_fields, Panel::Two); });
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
        // The lines of the last batch still in panel 2 and not saved since.
        std::string question = operations::msg::kQuit;
        if (m_batchUnsaved && m_fields.text(FieldId::File2).find_first_not_of(" \r\n") != std::string::npos) {
            question.append("\n").append(operations::msg::kQuitUnsaved);
        }
        m_quitConfirmed = m_dialogs->askYesNo(question, operations::msg::kTitleQuit, operations::DefaultAnswer::Yes);
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
