#include "ui/qt_paths.h"

#include "base/platform.h"

namespace hattsheet::ui {

std::filesystem::path pathFromQString(const QString& path)
{
    return platform::pathFromUtf8(path.toStdString());
}

} // namespace hattsheet::ui
