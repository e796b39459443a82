#pragma once
// The operations' message boxes and file dialogs (operations::Dialogs) as Qt
// widgets, in Greek. The dialogs are Qt's own (never the desktop's native
// ones), so they look and behave the same on every machine.
//
// A message box has one OK button ("Εντάξει"); a question the buttons "Ναι"
// and "Όχι", one of them the default, and Escape and the close box answer
// "Όχι". A file dialog shows the filters in their order and offers the path
// chosen last (a save dialog the path the operation suggests, its name
// selected, or else only the folder used last). An open dialog accepts the name of a file that does not exist
// (the operation then ends quietly); a save dialog does not ask before a
// file is replaced, because the operation writes the name with ".txt"
// forced, not the one the dialog would ask about (the operation asks). Sizes
// and dates read in the default locale (Greek), and the detail view's Size,
// Type and Date columns are as wide as their texts. No dialog is larger than
// the available area of the screen it opens on.

#include "operations/window_ports.h"

#include <QFileDialog>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace hattsheet::ui {

class QtDialogs final : public operations::Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : m_parent(parent) {}

    void showMessage(const std::string& text, const std::string& title, operations::MessageIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& title, operations::DefaultAnswer preselected) override;
    std::optional<std::string> chooseOpenFile(const std::string& title,
                                              const std::vector<operations::FileFilter>& filters) override;
    std::optional<std::string> chooseSaveFile(const std::string& title,
                                              const std::vector<operations::FileFilter>& filters,
                                              const std::string& suggested) override;
    // The type is the filter selected when the dialog was accepted.
    std::optional<ChosenSave> chooseSaveFileOfType(const std::string& title,
                                                   const std::vector<operations::FileFilter>& filters,
                                                   const std::string& suggested) override;

private:
    // filter: given, the index of the filter selected.
    std::optional<std::string> choose(const std::string& title, const std::vector<operations::FileFilter>& filters,
                                      QFileDialog::AcceptMode mode, const QString& offered,
                                      std::size_t* filter = nullptr);

    QWidget* m_parent;
    // The path chosen last in any of the four uses; offered again.
    QString m_lastPath;
};

} // namespace hattsheet::ui
