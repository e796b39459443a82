#pragma once
// The dialogs the operations get from the main window: each one shows only
// after the panels hold everything appended so far.

#include "operations/window_ports.h"
#include "ui/widget_fields.h"

#include <optional>
#include <string>
#include <vector>

namespace hattsheet::ui {

// Puts the collected panel appends into the panels before any message box
// or file dialog shows, so the window the user sees behind it is complete.
class FlushingDialogs final : public operations::Dialogs {
public:
    FlushingDialogs(operations::Dialogs& dialogs, const WidgetFields& fields) : m_dialogs(dialogs), m_fields(fields) {}
    void showMessage(const std::string& text, const std::string& title, operations::MessageIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& title, operations::DefaultAnswer preselected) override;
    std::optional<std::string> chooseOpenFile(const std::string& title,
                                              const std::vector<operations::FileFilter>& filters) override;
    std::optional<std::string> chooseSaveFile(const std::string& title,
                                              const std::vector<operations::FileFilter>& filters,
                                              const std::string& suggested) override;
    std::optional<ChosenSave> chooseSaveFileOfType(const std::string& title,
                                                   const std::vector<operations::FileFilter>& filters,
                                                   const std::string& suggested) override;

private:
    operations::Dialogs& m_dialogs;
    const WidgetFields& m_fields;
};

} // namespace hattsheet::ui
