#pragma once
// The program keeps no settings. Qt's own file dialog, though, stores its
// last folder, history, view mode and column widths in Qt's settings file
// each time one closes (~/.config/QtProject.conf), which nobody asked for
// and which removing the package would leave behind.

namespace hattsheet::ui {

// From here on QSettings files (Qt's file dialog's included) are read from
// and written to a place where nothing exists and nothing can be created:
// no file, no folder, no temporary file. On Windows Qt keeps the dialog's
// state in the registry instead, which this does not reach: see
// ForgetDialogState.
void keepNoSettings();

// Made before a file dialog and destroyed after it: takes back the state
// the dialog left in Qt's settings (on Windows the registry key
// HKEY_CURRENT_USER\Software\QtProject\OrganizationDefaults\FileDialog,
// shared by every Qt program) unless it was there before, and the keys
// above it (HKEY_CURRENT_USER\Software\QtProject) when they were not there
// before and are empty then.
class ForgetDialogState {
public:
    ForgetDialogState();
    ~ForgetDialogState();
    ForgetDialogState(const ForgetDialogState&) = delete;
    ForgetDialogState& operator=(const ForgetDialogState&) = delete;

private:
    bool m_wasThere;
    bool m_organisationWasThere;
};

} // namespace hattsheet::ui
