#include "ui/about_window.h"

#include "base/version.h"

#include "ui/twips.h"
#include "ui/ui_texts.h"
#include "ui/x11_window.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace hattsheet::ui {

namespace {

const QColor kLightBlue(192, 192, 255);   // the window's background
const QColor kLightGreen(192, 255, 192);  // Shape1
const QColor kTitleColour(192, 64, 0);
const QColor kCreditsColour(192, 0, 192);
const QColor kYearColour(0, 128, 0);
const QColor kNameColour(0, 0, 255);
const QColor kCloseColour(255, 0, 0);

constexpr int kClientWidthTw = 4560;
constexpr int kClientHeightTw = 3000;
constexpr int kLabelWidthTw = 4575;
constexpr int kShapePenPx = 3;  // Shape1's outline (pixels)
// The version line: right of the year "2026", clear of Shape1's outline.
constexpr int kVersionLeftTw = 3000;
constexpr int kVersionRightTw = 120;
constexpr int kVersionTopTw = 2580;
constexpr int kVersionHeightTw = 300;
constexpr double kVersionPointSize = 7.5;
// Between the ink of "MIT", "Olvani" and "2026" (pixels).
constexpr int kInkGapPx = 2;

struct AboutLine {
    const char* objectName;
    const char* text;
    int topTw, heightTw;
    double pointSize;
    QColor colour;
};

// One line of the text, bold Arial in its own size and colour.
void addLine(QWidget* window, const AboutLine& line)
{
    auto* label = new QLabel(fromUtf8(line.text), window);
    label->setObjectName(QString::fromLatin1(line.objectName));
    label->setGeometry(twipsRect(0, line.topTw, kLabelWidthTw, line.heightTw));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPointSizeF(line.pointSize);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, line.colour);
    label->setPalette(palette);
}

// Where a label's text is inked (pixels, in the window): from the top of
// its glyphs to the bottom, its first line drawn from the label's top.
struct Ink {
    int top, bottom;
};
Ink inkOf(const QLabel& label)
{
    const QFontMetrics metrics(label.font());
    const QRect glyphs = metrics.tightBoundingRect(label.text());  // from the baseline
    const int baseline = label.y() + metrics.ascent();
    return {baseline + glyphs.top(), baseline + glyphs.bottom()};
}

// Moves a label so that its ink starts at `inkTop` (pixels).
void moveInkTo(QLabel& label, int inkTop)
{
    label.move(label.x(), label.y() + inkTop - inkOf(label).top);
}

// "MIT" above the name "Olvani" and the year below it, each kInkGapPx clear
// of the name's ink, whatever font stands in for Arial: placed at fixed
// twips they touched the name on Linux, and under Windows' Arial the year
// covered its lower half.
void stackAroundName(QWidget& window)
{
    auto* licence = window.findChild<QLabel*>(QStringLiteral("Label4"));
    auto* name = window.findChild<QLabel*>(QStringLiteral("Label3"));
    auto* year = window.findChild<QLabel*>(QStringLiteral("Label5"));
    const Ink nameInk = inkOf(*name);
    const Ink licenceInk = inkOf(*licence);
    moveInkTo(*licence, nameInk.top - kInkGapPx - (licenceInk.bottom - licenceInk.top));
    moveInkTo(*year, nameInk.bottom + kInkGapPx + 1);
}

// The version, small at the bottom right, on the year's line.
void addVersion(QWidget* window)
{
    auto* version = new QLabel(fromUtf8(captions::kAboutVersion) + QStringLiteral(HATTSHEET_VERSION), window);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setGeometry(twipsRect(kVersionLeftTw, kVersionTopTw, kLabelWidthTw - kVersionLeftTw - kVersionRightTw,
                                   kVersionHeightTw));
    version->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    QFont versionFont(QStringLiteral("Arial"));
    versionFont.setStyleHint(QFont::SansSerif);
    versionFont.setPointSizeF(kVersionPointSize);
    version->setFont(versionFont);
    QPalette versionPalette = version->palette();
    versionPalette.setColor(QPalette::WindowText, kCreditsColour);
    version->setPalette(versionPalette);
}

} // namespace

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmab"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twipsSize(kClientWidthTw, kClientHeightTw));

    const AboutLine lines[] = {
        {"Label1", captions::kAboutLine1, 180, 315, 12.0, kTitleColour},
        {"Label7", captions::kAboutLine2, 480, 315, 12.0, kTitleColour},
        {"Label8", captions::kAboutLine3, 780, 315, 12.0, kTitleColour},
        {"Label2", captions::kAboutProject, 1260, 315, 9.75, kCreditsColour},
        {"Label6", captions::kAboutFree, 1560, 315, 9.75, kCreditsColour},
        {"Label4", captions::kAboutLicence, 1980, 255, 9.75, kYearColour},
        {"Label3", captions::kAboutName, 2040, 555, 26.25, kNameColour},
        {"Label5", captions::kAboutYear, 2520, 315, 9.75, kYearColour},
    };
    for (const AboutLine& line : lines) addLine(this, line);
    stackAroundName(*this);
    addVersion(this);

    auto* close = new QPushButton(fromUtf8(captions::kAboutClose), this);
    close->setObjectName(QStringLiteral("Command1"));
    close->setGeometry(twipsRect(4380, 0, 195, 195));
    // The style's own button would draw its gradient over the red.
    // Black on the fixed red, whatever the theme's button text colour.
    close->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: black; border: 1px solid black; padding: 0; }")
                             .arg(kCloseColour.name()));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void AboutWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    clearWindowName(*this);
}

void AboutWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kLightBlue);
    // Shape1 spans the whole client area; drawn as a light green outline
    // inside the window's one-pixel border.
    QPen shapePen(kLightGreen, kShapePenPx);
    shapePen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(shapePen);
    painter.drawRect(rect().adjusted(1 + kShapePenPx / 2, 1 + kShapePenPx / 2, -1 - kShapePenPx / 2,
                                     -1 - kShapePenPx / 2));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

bool AboutWindow::isBackground(const QPoint& pos) const
{
    return rect().contains(pos) && childAt(pos) == nullptr;
}

void AboutWindow::mousePressEvent(QMouseEvent* event)
{
    // A press on a label reaches here too (labels ignore the mouse), so the
    // point decides, not the receiver.
    m_pressedOnBackground = event->button() == Qt::LeftButton && isBackground(event->position().toPoint());
    event->accept();
}

void AboutWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AboutWindow::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressedOnBackground && event->button() == Qt::LeftButton &&
                       isBackground(event->position().toPoint());
    m_pressedOnBackground = false;
    if (click) close();
}

} // namespace hattsheet::ui
