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

std::string cannotRead(std::string_view name, int err, Language language)
{
    return operations::messageBook(language).cannotRead(name, err);
}

std::string cannotWrite(std::string_view name, int err, Language language)
{
    return operations::messageBook(language).cannotWrite(name, err);
}

} // namespace hattsheet::cli
