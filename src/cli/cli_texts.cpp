#include "cli/cli_texts.h"

#include "cli/exit_codes.h"

#include <cerrno>
#include <cstdio>

namespace hattsheet::cli {

Language messageLanguage() { return operations::userLanguage(); }

const operations::MessageBook& book()
{
    static const operations::MessageBook& chosen = operations::messageBook(messageLanguage());
    return chosen;
}

void say(const std::string& text) { std::fprintf(stderr, "hattsheet-convert: %s\n", text.c_str()); }

int finishStdout()
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) {
        return kExitDone;
    }
    say(book().cannotWrite("-", errno));
    return kExitFailed;
}

} // namespace hattsheet::cli
