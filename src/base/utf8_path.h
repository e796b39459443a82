#pragma once
// Paths from and to UTF-8 texts, the same on every system: through char8_t
// a path takes its text as UTF-8 (a std::string would go through the ANSI
// code page on Windows).

#include <filesystem>
#include <string>
#include <string_view>

namespace hattsheet::platform {

// The path of a UTF-8 text, without the narrow code page on Windows.
std::filesystem::path pathFromUtf8(std::string_view utf8);
// A path as UTF-8, for messages.
std::string pathToUtf8(const std::filesystem::path& path);

} // namespace hattsheet::platform
