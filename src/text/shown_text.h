#pragma once
// Texts from the user (a field of a list, an argument, a file name) as a
// message shows them: escaped where a terminal would obey them or a window
// would draw them deceptively, and cut to a bounded excerpt, so that a
// 4 MiB field makes a message of a line, not of 4 MiB that a terminal
// floods with and a message box spends minutes laying out.
//
// Characters are counted as UTF-8 characters (a byte that starts none is
// one); a cut never falls inside one.

#include <cstddef>
#include <string>
#include <string_view>

namespace hattsheet::text {

// Whether a code point is one that draws nothing or moves what follows:
// a control (Unicode category Cc: U+0000-U+001F, U+007F-U+009F), a format
// character (Cf: soft hyphen, zero-width spaces and joiners, the
// bidirectional marks, embeddings, overrides and isolates, the byte-order
// mark, the tags...) or a line or paragraph separator (Zl U+2028, Zp
// U+2029), as Unicode 15.0 assigns them.
bool isHiddenCharacter(char32_t codePoint);

// A text with what it must not carry written as escapes: \n, \r, \t and
// \xHH for the C0 controls and DEL, \xHH for a byte 0x80-0x9F that is no
// part of a UTF-8 character (0x9B is CSI on terminals that take 8-bit
// controls), \uHHHH (\UHHHHHHHH above U+FFFF) for a hidden character
// (isHiddenCharacter) or a sequence that is no valid UTF-8 (a longer form
// than needed, a surrogate) led by 0xC2-0xF4. Every other byte, Greek
// letters included, is kept. Unbounded: messages take shownExcerpt or
// shownName.
std::string shownText(std::string_view text);

// The bounds, in characters of the text as given (before escaping).
inline constexpr std::size_t kExcerptCharacters = 40;   // a field, an argument, a line
inline constexpr std::size_t kNameHeadCharacters = 32;  // a file name's start before the cut...
inline constexpr std::size_t kNameTailCharacters = 63;  // ...and its end after it
// Marks where an excerpt leaves characters out (U+2026).
inline constexpr std::string_view kEllipsis = "\u2026";

// The first kExcerptCharacters characters of text, shown (shownText), and
// the ellipsis when there were more.
std::string shownExcerpt(std::string_view text);
// As shownExcerpt, for a text that is not valid UTF-8: every byte that is no
// part of a well-formed character as \xHH as well, so the message shows
// which bytes are wrong.
std::string shownNotUtf8(std::string_view text);
// A file or folder name, shown: whole up to the two bounds together plus
// one, else its start, the ellipsis and its end, where the file's own name
// stands.
std::string shownName(std::string_view name);

} // namespace hattsheet::text
