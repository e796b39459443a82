#pragma once
// What only the X Window System needs. The rest of the window speaks Qt.

class QWidget;

namespace hattsheet::ui {

// Makes the window name that window managers and tools read
// (_NET_WM_NAME) empty, as its title is. Qt writes the program's name there
// for a window without a title. Does nothing on other window systems, or
// before the window has been created.
void clearWindowName(QWidget& window);

} // namespace hattsheet::ui
