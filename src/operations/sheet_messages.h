#pragma once
// The texts of the sheets and the Greek Grid (ΕΓΣΑ87) are the books' now
// (operations/message_book.h).

#include "operations/message_book.h"
