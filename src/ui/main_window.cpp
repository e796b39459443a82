#include "ui/main_window.h"

#include "ui/about_window.h"
#include "ui/field_edit.h"
#include "operations/messages.h"
#include "operations/panel_operations.h"
#include "operations/point_list.h"
#include "ui/qt_dialogs.h"
#include "operations/single_point.h"
#include "ui/twips.h"
#include "ui/ui_texts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSessionManager>

#include <exception>

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

QString qs(const char* utf8)
{
    return QString::fromUtf8(utf8);
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
QGroupBox* addFrame(QWidget* parent, const char* objectName, const char* caption, const QRect& rect)
{
    auto* frame = new QGroupBox(qs(caption), parent);
    frame->setObjectName(QString::fromLatin1(objectName));
    frame->setGeometry(rect);
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

// Black text wherever the background is fixed (the light green and light
// yellow labels and panels): the system's text colour may be white under a
// dark desktop theme.
void blackTextOn(QWidget* widget, QPalette::ColorRole textRole, QPalette::ColorRole backgroundRole,
                 const QColor& background)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, textRole, kFixedBackgroundText);
        palette.setColor(group, backgroundRole, background);
    }
    widget->setPalette(palette);
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

QLabel* addLabel(QWidget* frame, const char* objectName, const char* caption, const QRect& rect,
                 const QColor& background, bool centred)
{
    auto* label = new QLabel(qs(caption), frame);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setGeometry(rect);
    label->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    blackTextOn(label, QPalette::WindowText, QPalette::Window, background);
    label->setAutoFillBackground(true);
    return label;
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
                                              const std::vector<operations::FileFilter>& filters) override
    {
        m_fields.flush();
        return m_dialogs.chooseSaveFile(title, filters);
    }

private:
    operations::Dialogs& m_dialogs;
    const WidgetFields& m_fields;
};

} // namespace

MainWindow::MainWindow(operations::TempPlaces temp, operations::Dialogs* dialogs)
    : m_temp(std::move(temp)), m_scale(ui::layoutScale(QApplication::font(this)))
{
    if (dialogs == nullptr) {
        m_ownDialogs = std::make_unique<QtDialogs>(this);
        dialogs = m_ownDialogs.get();
    }
    m_dialogs = std::make_unique<FlushingDialogs>(*dialogs, m_fields);
    setObjectName(QStringLiteral("frmMyHatt"));
    setWindowTitle(qs(text::kWindowTitle));
    buildWidgets();
    connectButtons();
    setFocusOrder();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::sessionEnding);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildWidgets()
{
    const auto tw = [scale = m_scale](int left, int top, int width, int height) {
        return twipsRect(left, top, width, height, scale);
    };
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsSize(kClientWidthTw, kClientHeightTw, m_scale));
    setCentralWidget(client);
    // Not resizable: the window is as large as its client area and menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    QAction* about = menuBar()->addAction(qs(text::kMenuAbout));
    about->setObjectName(QStringLiteral("mnuabout"));
    connect(about, &QAction::triggered, this, &MainWindow::mnuaboutClick);

    QGroupBox* frame1 = addFrame(client, "Frame1", text::kFrameOld, tw(60, 0, 4815, 855));
    addLabel(frame1, "Label1", text::kPhi, tw(540, 180, 315, 255), kLightGreen, true);
    addField(frame1, FieldId::PhiOld, "40.51", tw(900, 180, 1035, 285));
    addLabel(frame1, "Label2", text::kDeltaLambda, tw(540, 480, 315, 255), kLightGreen, true);
    addField(frame1, FieldId::LambdaOld, "-0.51", tw(900, 480, 1035, 285));
    addLabel(frame1, "Label5", text::kEasting, tw(2760, 180, 315, 255), kLightGreen, false);
    addField(frame1, FieldId::X1, "0.000", tw(3120, 180, 1275, 285));
    addLabel(frame1, "Label6", text::kNorthing, tw(2760, 480, 315, 255), kLightGreen, false);
    addField(frame1, FieldId::Y1, "0.000", tw(3120, 480, 1275, 285));
    addButton(frame1, "cmdOne", text::kOldToNew, tw(4440, 360, 315, 255));

    QGroupBox* frame2 = addFrame(client, "Frame2", text::kFrameNew, tw(4920, 0, 4815, 855));
    addLabel(frame2, "Label3", text::kPhi, tw(540, 180, 315, 255), kLightYellow, true);
    addField(frame2, FieldId::PhiNew, "40.45", tw(900, 180, 1035, 285));
    addLabel(frame2, "Label4", text::kDeltaLambda, tw(540, 480, 315, 255), kLightYellow, true);
    addField(frame2, FieldId::LambdaNew, "-0.45", tw(900, 480, 1035, 285));
    addLabel(frame2, "Label7", text::kEasting, tw(2760, 180, 315, 255), kLightYellow, false);
    addField(frame2, FieldId::X2, "0.000", tw(3120, 180, 1275, 285));
    addLabel(frame2, "Label8", text::kNorthing, tw(2760, 480, 315, 255), kLightYellow, false);
    addField(frame2, FieldId::Y2, "0.000", tw(3120, 480, 1275, 285));
    addButton(frame2, "cmd2", text::kNewToOld, tw(4440, 360, 315, 255));

    QGroupBox* frame3 = addFrame(client, "Frame3", text::kFrameGeodetic, tw(60, 840, 9675, 615));
    addLabel(frame3, "Label9", text::kPhi, tw(120, 240, 315, 255), kLightGreen, true);
    addField(frame3, FieldId::Lat, "", tw(480, 240, 1935, 285));
    addLabel(frame3, "Label10", text::kDeltaLambda, tw(3780, 240, 315, 255), kLightGreen, true);
    addField(frame3, FieldId::LonAthens, "", tw(4140, 240, 1815, 285));
    addLabel(frame3, "Label11", text::kLambda, tw(7260, 240, 315, 255), kLightGreen, true);
    addField(frame3, FieldId::LonGreenwich, "", tw(7620, 240, 1935, 285));

    addButton(client, "cmdAll", text::kConvertList, tw(60, 1500, 9675, 255));
    addPanel(FieldId::File1, tw(60, 1800, 4815, 6435), kLightGreen);
    addPanel(FieldId::File2, tw(4920, 1800, 4815, 6435), kLightYellow);
    addButton(client, "cmdOp1", text::kOpen, tw(60, 8280, 1575, 255));
    addButton(client, "cmdEr1", text::kClear, tw(1680, 8280, 1575, 255));
    addButton(client, "cmdSav1", text::kSave, tw(3300, 8280, 1575, 255));
    addButton(client, "cmdOp2", text::kOpen, tw(4920, 8280, 1575, 255));
    addButton(client, "cmdEr2", text::kClear, tw(6540, 8280, 1575, 255));
    addButton(client, "cmdSav2", text::kSave, tw(8160, 8280, 1575, 255));

    auto* credits = new QLabel(qs(text::kCredits), client);
    credits->setObjectName(QStringLiteral("Label12"));
    credits->setGeometry(tw(60, 8580, 9675, 195));
    credits->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette creditsPalette = credits->palette();
    creditsPalette.setColor(QPalette::WindowText, kCreditsRed);
    // The background is the system's menu-text colour.
    creditsPalette.setColor(QPalette::Window, QApplication::palette("QMenu").color(QPalette::WindowText));
    credits->setPalette(creditsPalette);
    credits->setAutoFillBackground(true);
}

QLineEdit* MainWindow::addField(QWidget* frame, FieldId id, const char* initial, const QRect& rect)
{
    auto* field = new FieldEdit(qs(initial), frame);
    field->setObjectName(QString::fromLatin1(operations::fieldObjectName(id)));
    field->setGeometry(rect);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    keepSystemTextColours(field);
    // A flat one-pixel border; the style's sunken frame would leave too
    // little room for the text at 19 pixels.
    field->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(dark); padding: 0 1px; }"));
    m_fields.bindLine(id, field);
    const bool isInput = id != FieldId::Lat && id != FieldId::LonAthens && id != FieldId::LonGreenwich;
    if (isInput) m_guard.guard(field);
    return field;
}

QPlainTextEdit* MainWindow::addPanel(FieldId id, const QRect& rect, const QColor& background)
{
    auto* panel = new QPlainTextEdit(centralWidget());
    panel->setObjectName(QString::fromLatin1(operations::fieldObjectName(id)));
    panel->setGeometry(rect);
    panel->setToolTip(qs(text::kPanelTip));
    panel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    panel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panel->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on to the next control, as in the other fields; Enter adds a line.
    panel->setTabChangesFocus(true);
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);  // the system's monospace when it is missing
    font.setFixedPitch(true);
    font.setPointSizeF(kPanelPointSize);
    panel->setFont(font);
    blackTextOn(panel, QPalette::Text, QPalette::Base, background);
    m_fields.bindPanel(id, panel);
    return panel;
}

QPushButton* MainWindow::addButton(QWidget* parent, const char* objectName, const char* caption, const QRect& rect)
{
    auto* button = new QPushButton(qs(caption), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setGeometry(rect);
    keepSystemTextColours(button);
    // Enter on a button that has the focus presses it (Qt does so only in
    // dialogs unless asked): the Enter path of the fields ends on ">" and "<".
    button->setAutoDefault(true);
    return button;
}

void MainWindow::connectButtons()
{
    const auto bind = [this](const char* name, void (MainWindow::*handler)()) {
        auto* button = findChild<QPushButton*>(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, handler);
    };
    bind("cmdOne", &MainWindow::cmdOneClick);
    bind("cmd2", &MainWindow::cmd2Click);
    bind("cmdAll", &MainWindow::cmdAllClick);
    bind("cmdOp1", &MainWindow::cmdOp1Click);
    bind("cmdOp2", &MainWindow::cmdOp2Click);
    bind("cmdSav1", &MainWindow::cmdSav1Click);
    bind("cmdSav2", &MainWindow::cmdSav2Click);
    bind("cmdEr1", &MainWindow::cmdEr1Click);
    bind("cmdEr2", &MainWindow::cmdEr2Click);
}

void MainWindow::setFocusOrder()
{
    static constexpr const char* kOrder[] = {
        "txtFile1", "txtFile2", "cmdOp1", "cmdSav1", "cmdEr1", "cmdOp2", "cmdSav2", "cmdEr2",
        "cmdAll", "txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "cmdOne",
        "txtX2", "txtY2", "cmd2", "txtf", "txtm", "txtl",
    };
    QWidget* previous = nullptr;
    for (const char* name : kOrder) {
        auto* widget = findChild<QWidget*>(QString::fromLatin1(name));
        if (previous != nullptr) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    findChild<QWidget*>(QStringLiteral("txtFile1"))->setFocus(Qt::OtherFocusReason);
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

void MainWindow::cmdOneClick()
{
    run([this] { operations::convertOldToNew(m_fields, *m_dialogs); });
}

void MainWindow::cmd2Click()
{
    run([this] { operations::convertNewToOld(m_fields, *m_dialogs); });
}

void MainWindow::cmdAllClick()
{
    run([this] { operations::convertPointList(m_fields, *m_dialogs, m_temp); });
}

void MainWindow::cmdOp1Click()
{
    run([this] { operations::openIntoPanel(m_fields, *m_dialogs, Panel::One); });
}

void MainWindow::cmdOp2Click()
{
    run([this] { operations::openIntoPanel(m_fields, *m_dialogs, Panel::Two); });
}

void MainWindow::cmdSav1Click()
{
    run([this] { operations::savePanel(m_fields, *m_dialogs, m_temp, Panel::One); });
}

void MainWindow::cmdSav2Click()
{
    run([this] { operations::savePanel(m_fields, *m_dialogs, m_temp, Panel::Two); });
}

void MainWindow::cmdEr1Click()
{
    run([this] { operations::clearPanel(m_fields, Panel::One); });
}

void MainWindow::cmdEr2Click()
{
    run([this] { operations::clearPanel(m_fields, Panel::Two); });
}

void MainWindow::mnuaboutClick()
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
        m_quitConfirmed = m_dialogs->askYesNo(operations::msg::kQuit, operations::msg::kTitleQuit, operations::DefaultAnswer::Yes);
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
