#pragma once
// The operations' message boxes and file dialogs (conversion::Dialogs) as Qt
// widgets. The dialogs are Qt's own (never the desktop's native ones), so
// they look and behave the same on every machine. The builders are separate
// from showing, so tests can check a box without running its modal loop.

#include "window_ports.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace hattsheet::ui {

// A message box with one OK button ("Εντάξει").
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const std::string& text, const std::string& title,
                                            conversion::MessageIcon icon);
// A question with the buttons "Ναι" and "Όχι", one of them the default;
// Escape and the close box answer "Όχι".
std::unique_ptr<QMessageBox> makeQuestionBox(QWidget* parent, const std::string& text, const std::string& title,
                                             conversion::DefaultAnswer preselected);
// A file dialog with the title, the filters in their order and the path
// chosen last (empty: none yet). An open dialog accepts the name of a file
// that does not exist (the operation then ends quietly); a save dialog does
// not ask before a file is replaced, because the operation writes the name
// with ".txt" forced, not the one the dialog would ask about (the operation
// asks). Sizes and dates read in the default locale (Greek), and the detail
// view's Size, Type and Date columns are as wide as their texts.
std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const std::string& title,
                                            const std::vector<conversion::FileFilter>& filters,
                                            QFileDialog::AcceptMode mode, const QString& lastPath);

class QtDialogs final : public conversion::Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : m_parent(parent) {}

    void showMessage(const std::string& text, const std::string& title, conversion::MessageIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& title, conversion::DefaultAnswer preselected) override;
    std::optional<std::string> chooseOpenFile(const std::string& title,
                                              const std::vector<conversion::FileFilter>& filters) override;
    std::optional<std::string> chooseSaveFile(const std::string& title,
                                              const std::vector<conversion::FileFilter>& filters) override;

    // The path chosen last in any of the four uses; offered again.
    const QString& lastPath() const { return m_lastPath; }

private:
    std::optional<std::string> choose(const std::string& title, const std::vector<conversion::FileFilter>& filters,
                                      QFileDialog::AcceptMode mode);

    QWidget* m_parent;
    QString m_lastPath;
};

} // namespace hattsheet::ui
