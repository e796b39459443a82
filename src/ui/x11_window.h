#pragma once
// What only the X Window System needs. The rest of the window speaks Qt.
// x11_window.cpp uses xcb and is built only where xcb is found
// (HATTSHEET_X11); elsewhere (Windows, macOS) the function does nothing.

class QWidget;

namespace hattsheet::ui {

// Makes the window name that window managers and tools read
// (_NET_WM_NAME) empty, as its title is. Qt writes the program's name there
// for a window without a title. Does nothing on other window systems, or
// before the window has been created.
#ifdef HATTSHEET_X11
void clearWindowName(QWidget& window);
#else
inline void clearWindowName(QWidget&) {}
#endif

} // namespace hattsheet::ui
