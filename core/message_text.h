// Text that came from the user or from a file (a cell, a field, a name, a
// JSON string, a path), made fit for a message: one line, nothing that a
// terminal would act on, and short enough to read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace forstrix {

// How many characters of a value a message shows by default.
inline constexpr std::size_t kShownChars = 60;

// Length of the valid UTF-8 sequence at the start of `s` (not empty): 1 to
// 4, or 0 when it is none. Overlong forms, UTF-16 surrogates (U+D800 to
// U+DFFF) and code points above U+10FFFF are not valid UTF-8 and give 0,
// so that such bytes are never passed on as if they were text.
std::size_t utf8_length(std::string_view s);

// `bytes` as UTF-8 for a message: control characters (also line ends, tabs
// and the escape character that starts a terminal's control sequences, and
// the C1 controls U+0080 to U+009F) are shown as \n, \r, \t or \xNN; a
// byte that is no valid UTF-8 is read as Windows-1252 from 0xA0 on ("ü" of
// an old table stays "ü") and shown as \xNN below. At most `max_chars` characters of
// the value are shown; a longer value ends in "…" and says how long it is.
std::string printable(std::string_view bytes, std::size_t max_chars = kShownChars);

}  // namespace forstrix
