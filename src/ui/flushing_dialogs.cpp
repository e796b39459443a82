#include "ui/flushing_dialogs.h"

namespace hattsheet::ui {

void FlushingDialogs::showMessage(const std::string& text, const std::string& title, operations::MessageIcon icon)
{
    m_fields.flush();
    m_dialogs.showMessage(text, title, icon);
}

bool FlushingDialogs::askYesNo(const std::string& text, const std::string& title,
                               operations::DefaultAnswer preselected)
{
    m_fields.flush();
    return m_dialogs.askYesNo(text, title, preselected);
}

std::optional<std::string> FlushingDialogs::chooseOpenFile(const std::string& title,
                                                           const std::vector<operations::FileFilter>& filters)
{
    m_fields.flush();
    return m_dialogs.chooseOpenFile(title, filters);
}

std::optional<std::string> FlushingDialogs::chooseSaveFile(const std::string& title,
                                                           const std::vector<operations::FileFilter>& filters,
                                                           const std::string& suggested)
{
    m_fields.flush();
    return m_dialogs.chooseSaveFile(title, filters, suggested);
}

std::optional<operations::Dialogs::ChosenSave> FlushingDialogs::chooseSaveFileOfType(
    const std::string& title, const std::vector<operations::FileFilter>& filters, const std::string& suggested)
{
    m_fields.flush();
    return m_dialogs.chooseSaveFileOfType(title, filters, suggested);
}

} // namespace hattsheet::ui
