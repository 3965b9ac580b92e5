// File names as the program's own texts hold them: UTF-8. On Windows a
// std::string becomes a path through the ANSI code page, which turns
// "Südhang.csv" into another name (or fails); these two go through UTF-8 on
// every system and change no byte on Linux.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace forstrix::files {

std::filesystem::path path_from_utf8(std::string_view name);
std::string utf8_of(const std::filesystem::path& path);

}  // namespace forstrix::files
