// Windows-1252, the code page of both files. The program's texts are UTF-8
// in the source; they become single bytes only when a file is written.
#pragma once

#include <string>
#include <string_view>

namespace forstrix::files {

// UTF-8 to Windows-1252. A character that the code page lacks, and any byte
// that is not part of well-formed UTF-8, becomes '?'.
std::string utf8_to_cp1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD.
std::string cp1252_to_utf8(std::string_view cp1252);

}  // namespace forstrix::files
