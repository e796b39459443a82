#include "ui/client_area.h"

#include <QResizeEvent>

namespace hattsheet::ui {

void ClientArea::resizeEvent(QResizeEvent* event)
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

} // namespace hattsheet::ui
