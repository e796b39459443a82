#include "ui/sheet_map.h"

#include "operations/window_texts.h"
#include "operations/sheet_names.h"
#include "ui/ui_texts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace hattsheet::ui {

namespace {

constexpr double kMarginPx = 6.0;
// The map's size in text lines, so that it grows with the font: what it
// asks for, and what it keeps when the dialog is made small.
constexpr int kWidthLines = 24;
constexpr int kHeightLines = 24;
constexpr int kLeastLines = 18;

QPolygonF outlinePolygon(const SheetMap& map, const geodesy::Sheet& sheet)
{
    QPolygonF polygon;
    for (const auto& c : sheet.outline) polygon << map.toWidget(c.phiDeg, c.lambdaDeg);
    return polygon;
}

QString nameOf(const geodesy::Sheet& sheet)
{
    return fromUtf8(operations::windowBook().sheetNamed(sheet));
}

} // namespace

SheetMap::SheetMap(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("mapSheets"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(kLeastLines * fontMetrics().height(), kLeastLines * fontMetrics().height());
    double minPhi = 90, maxPhi = -90, minLambda = 180, maxLambda = -180;
    for (const auto& sheet : geodesy::sheetCatalogue()) {
        for (const auto& c : sheet.outline) {
            minPhi = std::min(minPhi, c.phiDeg);
            maxPhi = std::max(maxPhi, c.phiDeg);
            minLambda = std::min(minLambda, c.lambdaDeg);
            maxLambda = std::max(maxLambda, c.lambdaDeg);
        }
    }
    m_cosMiddle = std::cos(geodesy::degreesToRadians((minPhi + maxPhi) / 2.0));
    m_bounds = QRectF(minLambda * m_cosMiddle, minPhi, (maxLambda - minLambda) * m_cosMiddle, maxPhi - minPhi);
}

QSize SheetMap::sizeHint() const
{
    const int line = fontMetrics().height();
    return {kWidthLines * line, kHeightLines * line};
}

double SheetMap::scale() const
{
    const double w = width() - 2 * kMarginPx, h = height() - 2 * kMarginPx;
    return std::max(1.0, std::min(w / m_bounds.width(), h / m_bounds.height()));
}

QPointF SheetMap::origin() const
{
    const double s = scale();
    return {(width() - (m_bounds.width() * s)) / 2.0, (height() - (m_bounds.height() * s)) / 2.0};
}

QPointF SheetMap::toWidget(double phiDeg, double lambdaDeg) const
{
    const double s = scale();
    const QPointF o = origin();
    return {o.x() + (((lambdaDeg * m_cosMiddle) - m_bounds.left()) * s), o.y() + ((m_bounds.bottom() - phiDeg) * s)};
}

const geodesy::Sheet* SheetMap::sheetAt(QPointF p) const
{
    const double s = scale();
    const QPointF o = origin();
    const double lambda = (((p.x() - o.x()) / s) + m_bounds.left()) / m_cosMiddle;
    const double phi = m_bounds.bottom() - ((p.y() - o.y()) / s);
    return operations::sheetAtPlace(phi, lambda);
}

void SheetMap::setChosen(const geodesy::Sheet* sheet)
{
    if (sheet == m_chosen) return;
    m_chosen = sheet;
    update();
}

void SheetMap::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& p = palette();
    painter.fillRect(rect(), p.color(QPalette::Base));
    QColor line = p.color(QPalette::Text);
    line.setAlpha(140);
    QColor land = p.color(QPalette::Text);
    land.setAlpha(22);
    // The six refused sheets in a muted red that reads on light and dark bases.
    const QColor refused(200, 70, 70, 110);
    painter.setPen(QPen(line, 0.8));
    for (const auto& sheet : geodesy::sheetCatalogue()) {
        painter.setBrush(geodesy::isUsable(sheet) ? land : refused);
        painter.drawPolygon(outlinePolygon(*this, sheet));
    }
    if (m_hovered != nullptr && m_hovered != m_chosen) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(p.color(QPalette::Highlight), 2.0));
        painter.drawPolygon(outlinePolygon(*this, *m_hovered));
    }
    if (m_chosen != nullptr) {
        QColor fill = p.color(QPalette::Highlight);
        painter.setBrush(fill);
        painter.setPen(QPen(p.color(QPalette::Text), 1.5));
        painter.drawPolygon(outlinePolygon(*this, *m_chosen));
    }
}

void SheetMap::mouseMoveEvent(QMouseEvent* event)
{
    const geodesy::Sheet* sheet = sheetAt(event->position());
    if (sheet != m_hovered) {
        m_hovered = sheet;
        update();
    }
    if (sheet != nullptr) {
        QToolTip::showText(event->globalPosition().toPoint(), nameOf(*sheet), this);
    } else {
        QToolTip::hideText();
    }
}

void SheetMap::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    if (const geodesy::Sheet* sheet = sheetAt(event->position())) {
        setChosen(sheet);
        emit picked(sheet);
    }
}

void SheetMap::leaveEvent(QEvent*)
{
    m_hovered = nullptr;
    update();
}

} // namespace hattsheet::ui
