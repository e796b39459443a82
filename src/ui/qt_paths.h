#pragma once
// Paths from Qt to the core. A QString names a file in UTF-16; the core's
// std::filesystem::path takes it on Windows as UTF-16 (wchar_t) and
// elsewhere as UTF-8 bytes, never through the ANSI code page, which would
// lose every Greek letter of a folder name on a Windows without a Greek
// code page.

#include <QString>

#include <filesystem>

namespace hattsheet::ui {

std::filesystem::path pathFromQString(const QString& path);

} // namespace hattsheet::ui
