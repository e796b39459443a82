#pragma once
// The window's texts under the short names its code and tests use: each is
// the window's table (window_texts.h) or the Greek book's (message_book.h),
// never a text of its own.

#include "operations/message_book.h"
#include "operations/window_ports.h"
#include "operations/window_texts.h"

#include <string>
#include <string_view>

namespace hattsheet::operations::msg {

inline constexpr const char* kTitleWarning = kGreekWindowTexts.titleWarning;
inline constexpr const char* kTitleWarningPlain = kGreekWindowTexts.titleWarningPlain;
inline constexpr const char* kTitleInfo = kGreekWindowTexts.titleInfo;
inline constexpr const char* kTitleInfoPlain = kGreekWindowTexts.titleInfoPlain;
inline constexpr const char* kTitleQuit = kGreekWindowTexts.titleQuit;
inline constexpr const char* kNoList = kGreekWindowTexts.noList;
inline constexpr const char* kBatchDone = kGreekWindowTexts.batchDone;
inline constexpr const char* kInvalidFile = kGreekWindowTexts.invalidFile;
inline constexpr const char* kOpened = kGreekWindowTexts.opened;
inline constexpr const char* kSaved = kGreekWindowTexts.saved;
inline constexpr const char* kNothingToSave = kGreekWindowTexts.nothingToSave;
inline constexpr const char* kQuit = kGreekWindowTexts.quit;
inline constexpr const char* kQuitUnsaved = kGreekWindowTexts.quitUnsaved;
inline constexpr const char* kOperationFailed = kGreekWindowTexts.operationFailed;
inline constexpr const char* kOpenTitle = kGreekWindowTexts.openTitle;
inline constexpr const char* kSaveTitle = kGreekWindowTexts.saveTitle;
inline constexpr const char* kFilterTxt = kGreekWindowTexts.filterTxt;


inline constexpr const char* kBatchFailed = kGreekWindowTexts.batchFailed;

// A message with a second line that gives how many points it concerns.
inline std::string withPointCount(std::string_view first, unsigned long long count)
{
    return std::string(first).append("\n").append(windowBook().pointCount(count));
}

} // namespace hattsheet::operations::msg

namespace hattsheet::operations {

// A refusal or a failure as the operations show it: under "Προσοχή!" with the
// critical icon.
inline void showWarning(Dialogs& dialogs, const std::string& text)
{
    dialogs.showMessage(text, msg::kTitleWarning, MessageIcon::Critical);
}

} // namespace hattsheet::operations
