#pragma once
// The one error of the base layer: what the system refused, as data. Only
// the message books turn it into words (the errno through the system's own
// text, the program's own codes through theirs).

#include "base/expected.h"

#include <string>
#include <utility>

namespace hattsheet {

struct SystemError {
    // The errno of the failure (Windows errors are mapped to errno values),
    // or one of the program's own codes (platform::kReservedName,
    // kNotRegularFile, kWouldWait, kOthersFile).
    int code = 0;
    // The file or folder it was attempted on (UTF-8); empty where the caller
    // knows it better (a step of the platform layer on a descriptor).
    std::string path;
};

inline Unexpected<SystemError> systemFailure(int code, std::string path = {})
{
    return unexpected(SystemError{code, std::move(path)});
}

} // namespace hattsheet
