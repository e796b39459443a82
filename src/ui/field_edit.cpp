#include "field_edit.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace hattsheet::ui {

namespace {

// Qt keeps two pixels between a field's frame and its text on each side and
// one above and below; the text scrolls inside what is left.
constexpr int kTextMarginXPx = 2;
constexpr int kTextMarginYPx = 1;
// Half a pixel of rounding in the text's width and position.
constexpr double kSlackPx = 0.5;
const QString kEllipsis = QStringLiteral("\u2026");

} // namespace

FieldEdit::FieldEdit(const QString& text, QWidget* parent) : QLineEdit(text, parent)
{
    connect(this, &QLineEdit::textChanged, this, &FieldEdit::updateTip);
    updateTip();
}

QRectF FieldEdit::textArea() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    area = area.marginsRemoved(textMargins());
    return QRectF(area.adjusted(kTextMarginXPx, kTextMarginYPx, -kTextMarginXPx, -kTextMarginYPx));
}

bool FieldEdit::isCut() const
{
    return QFontMetricsF(font()).horizontalAdvance(text()) > textArea().width() + kSlackPx;
}

void FieldEdit::updateTip()
{
    setToolTip(isCut() ? text() : QString());
}

void FieldEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    updateTip();
}

void FieldEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) updateTip();
}

void FieldEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (!isCut()) return;
    // Where the text starts: the cursor sits after the characters before it.
    const QFontMetricsF metrics(font());
    const QRectF area = textArea();
    const double textLeft =
        cursorRect().center().x() - metrics.horizontalAdvance(text().left(cursorPosition()));
    const double textRight = textLeft + metrics.horizontalAdvance(text());
    const double markWidth = metrics.horizontalAdvance(kEllipsis) + 2;
    // Where each character boundary falls (pixels): the mark ends on a
    // boundary, so no cut glyph peeks out beside it.
    const auto boundary = [&](qsizetype i) { return textLeft + metrics.horizontalAdvance(text().left(i)); };

    QPainter painter(this);
    const QColor base = palette().color(QPalette::Base);
    painter.setPen(palette().color(QPalette::Text));
    const auto mark = [&](double left, double right) {
        const QRectF where(left, area.top(), right - left, area.height());
        painter.fillRect(where, base);
        painter.drawText(where, Qt::AlignCenter, kEllipsis);
    };
    const qsizetype length = text().size();
    if (textLeft < area.left() - kSlackPx) {
        qsizetype i = 0;
        while (i < length && boundary(i) < area.left() + markWidth) ++i;
        mark(area.left() - kTextMarginXPx, boundary(i));
    }
    if (textRight > area.right() + kSlackPx) {
        qsizetype i = length;
        while (i > 0 && boundary(i) > area.right() - markWidth) --i;
        mark(boundary(i), area.right() + kTextMarginXPx);
    }
}

} // namespace hattsheet::ui
