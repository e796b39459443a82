#include "ui/qt_paths.h"

namespace hattsheet::ui {

std::filesystem::path pathFromQString(const QString& path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(path.toStdString());
#endif
}

} // namespace hattsheet::ui
