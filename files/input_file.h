// The files that give a scenario its values (the basics "daten.klg", a stand
// file, a JSON object of values) are a few kilobytes. One size limit, one
// nesting limit and one way of reading them whole serve them all.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "files/basics_file.h"

namespace forstrix::files {

// Even a basics file of 300-digit numbers or a stand file with a long note
// stays far below this; a larger file is no input of this program.
inline constexpr std::size_t kMaxInputFileSize = std::size_t{1} << 20;
// A stand file: the document and its "values"; a flat object of values and
// one value that is (wrongly) an object. Nothing of ours is deeper.
inline constexpr std::size_t kMaxJsonDepth = 2;

// The deepest nesting of objects and arrays in a JSON text, counted without
// parsing (brackets inside strings do not count), so that a hostile file of
// a million brackets never reaches a parser's recursion. Counting stops once
// `limit` is passed.
std::size_t json_depth(std::string_view text, std::size_t limit);

// Reads the file at `path` whole into `bytes`, without ever waiting (a named
// pipe is refused, not opened for a writer). A failure carries `heading` and
// a detail with the reason and the absolute path: NotFound "Die Datei
// existiert nicht", Unreadable (a folder, a device or pipe, no permission),
// Refused for a file over kMaxInputFileSize.
Outcome read_input_file(const std::filesystem::path& path, std::string_view heading, std::string& bytes);

}  // namespace forstrix::files
