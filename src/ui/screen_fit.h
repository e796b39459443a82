#pragma once
// Fitting a top-level window into the available area of its screen (the
// screen less the panels: _NET_WORKAREA on X11), its frame included: title
// bar and borders, which X window managers announce in _NET_FRAME_EXTENTS
// some time after the window is shown (on a loaded machine later).

#include <QSize>

#include <functional>

class QWidget;

namespace hattsheet::ui {

// The window's size hint, no larger than the available area of its screen
// less `frame` (pixels), no smaller than its least size hint.
QSize fittedSize(const QWidget& window, QSize frame);

// Resizes the window to fittedSize (only ever smaller once `frame` is known)
// and moves it, frame included, into the available area.
void fitInto(QWidget& window, QSize frame);

// From a window's first show: fits it without a frame now, then again a few
// times once it may be framed, each time only shrinking and moving it;
// `fitted(ms)` runs after each of those (ms after the show).
void fitOnFirstShow(QWidget& window, const std::function<void(int ms)>& fitted = {});

// When after the show the frame is fitted again (ms).
inline constexpr int kFrameFitMs[] = {0, 100, 300, 1000};

} // namespace hattsheet::ui
