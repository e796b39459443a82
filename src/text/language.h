#pragma once
// The two languages of this program's messages: Greek (the window always,
// the command line under a Greek locale) and English (the command line
// elsewhere).

namespace hattsheet::text {

enum class Language { Greek, English };

} // namespace hattsheet::text
