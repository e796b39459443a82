#include "cli/cli_texts.h"

#include <cstdio>

namespace hattsheet::cli {

Language messageLanguage() { return operations::userLanguage(); }

const operations::MessageBook& book()
{
    static const operations::MessageBook& chosen = operations::messageBook(messageLanguage());
    return chosen;
}

void say(const std::string& text) { std::fprintf(stderr, "hattsheet-convert: %s\n", text.c_str()); }

} // namespace hattsheet::cli
