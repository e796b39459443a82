#pragma once
// A drawn map of the 390 sheet outlines (degrees on the old Greek datum,
// longitude scaled by the cosine of the middle latitude), for the sheet
// chooser: the chosen sheet filled in the highlight colour, the sheet under
// the mouse outlined and named in a tooltip, a click picks it. Which sheet
// lies at a place is operations::sheetAtPlace's answer.

#include "geodesy/sheet_catalogue.h"

#include <QRectF>
#include <QWidget>

namespace hattsheet::ui {

class SheetMap final : public QWidget {
    Q_OBJECT
public:
    explicit SheetMap(QWidget* parent = nullptr);

    void setChosen(const geodesy::Sheet* sheet);
    const geodesy::Sheet* chosen() const { return m_chosen; }
    const geodesy::Sheet* hovered() const { return m_hovered; }
    // The widget point of a place (degrees, λ from Athens), and back.
    QPointF toWidget(double phiDeg, double lambdaDeg) const;
    QSize sizeHint() const override;

signals:
    void picked(const hattsheet::geodesy::Sheet* sheet);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    const geodesy::Sheet* sheetAt(QPointF widgetPoint) const;
    // The scale (pixels per degree of latitude) and the map's place in the widget.
    double scale() const;
    QPointF origin() const;

    QRectF m_bounds;  // x: λ from Athens × cos(middle latitude), y: φ (degrees)
    double m_cosMiddle = 1.0;
    const geodesy::Sheet* m_chosen = nullptr;
    const geodesy::Sheet* m_hovered = nullptr;
};

} // namespace hattsheet::ui
