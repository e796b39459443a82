#pragma once
// Greek for Qt's own texts: the context menus of the fields and panels, the
// file dialog's labels, columns, tool buttons and questions. Qt ships no
// Greek catalogue, so the program carries its own (translations/
// hattsheet_el.ts, compiled at build time), and sets Greek as the default
// locale, so sizes, dates and file types in the file dialog read Greek too.
// Numbers in fields and files never go through the locale.

class QCoreApplication;

namespace hattsheet::ui {

// Loads the Greek catalogue into app (it lives as long as app); false when
// it could not be loaded, and the program then goes on in Qt's English.
bool installGreek(QCoreApplication& app);

} // namespace hattsheet::ui
