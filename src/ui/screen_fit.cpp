#include "ui/screen_fit.h"

#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace hattsheet::ui {

QSize fittedSize(const QWidget& window, QSize frame)
{
    QSize size = window.sizeHint();
    if (const QScreen* where = window.screen()) size = size.boundedTo(where->availableGeometry().size() - frame);
    return size.expandedTo(window.minimumSizeHint());
}

void fitInto(QWidget& window, QSize frame)
{
    const QScreen* where = window.screen();
    if (where == nullptr) return;
    const QRect area = where->availableGeometry();
    window.resize(frame.isEmpty() ? fittedSize(window, frame) : window.size().boundedTo(fittedSize(window, frame)));
    const QRect outer(window.frameGeometry().topLeft(), window.size() + frame);
    if (!area.contains(outer)) {
        window.move(window.pos() + QPoint(std::min(0, area.right() - outer.right()) + std::max(0, area.left() - outer.left()),
                                          std::min(0, area.bottom() - outer.bottom()) + std::max(0, area.top() - outer.top())));
    }
}

void fitOnFirstShow(QWidget& window, const std::function<void(int ms)>& fitted)
{
    fitInto(window, QSize());
    QPointer<QWidget> guarded(&window);
    for (const int ms : kFrameFitMs) {
        QTimer::singleShot(ms, &window, [guarded, ms, fitted] {
            if (!guarded) return;
            // Qt gives the frame in whole logical pixels, rounded: at a
            // device pixel ratio above 1 it can be a device pixel short.
            QSize frame = guarded->frameGeometry().size() - guarded->size();
            if (!frame.isNull() && guarded->devicePixelRatioF() > 1.0) frame += QSize(1, 1);
            fitInto(*guarded, frame);
            if (fitted) fitted(ms);
        });
    }
}

} // namespace hattsheet::ui
