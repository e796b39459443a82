#pragma once
// The window's texts as the widgets take them. Every text a user reads lives
// in operations/: the captions, menus and About lines in
// operations/window_texts.h (captions::), the message boxes' titles and
// messages in its WindowTexts table (windowTexts()), the messages that take
// data in the book (windowBook(), operations/message_book.h). All are UTF-8;
// fromUtf8 makes the widgets' QString of one.

#include "operations/window_texts.h"

#include <QString>

#include <string_view>

namespace hattsheet::ui {

inline QString fromUtf8(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The window's captions, under a name that leaves hattsheet::text visible.
namespace captions = hattsheet::operations::captions;

} // namespace hattsheet::ui
