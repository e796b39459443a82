#pragma once
// Where hattsheet-convert speaks: in the one language of a run, Greek when
// the user's locale is Greek (platform::userReadsGreek), English otherwise,
// each message from that language's book (operations/message_book.h) on one
// line of stderr after "hattsheet-convert: ".

#include "operations/message_book.h"
#include "operations/single_point.h"

#include <string>
#include <string_view>

namespace hattsheet::cli {

using operations::Language;

// The language of this run's messages, and its book.
Language messageLanguage();
const operations::MessageBook& book();

// Writes "hattsheet-convert: " and text and a line end to stderr.
void say(const std::string& text);

// Flushes stdout and reports a failed write ("/dev/full", a closed pipe) on
// stderr; the exit status for what was printed.
int finishStdout();

} // namespace hattsheet::cli
