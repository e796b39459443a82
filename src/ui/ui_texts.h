#pragma once
// The window's texts as the widgets take them: every text is UTF-8 (the
// captions and messages of operations/window_texts.h); fromUtf8 makes the
// widgets' QString of one.

#include "operations/window_texts.h"

#include <QString>

#include <string_view>

namespace hattsheet::ui {

inline QString fromUtf8(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The window's captions are the Greek book's (operations/window_texts.h).
namespace text = hattsheet::operations::captions;

} // namespace hattsheet::ui
