// How the result report reaches its reader. "erg.txt" is Windows-1252 with
// CR LF, the bytes the desktop program writes; a UTF-8 terminal shows those
// bytes as garbage, so a report for the terminal is converted to UTF-8 with
// LF line ends. Files and pipes get the file's bytes unless asked otherwise.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace forstrix::cli {

enum class TextEncoding {
    Cp1252,  // the file's bytes: Windows-1252, CR LF
    Utf8,    // UTF-8 with LF
};

// "utf-8" or "cp1252" (as --encoding takes them, also in capitals and as
// "utf8", "windows-1252"); nullopt for anything else.
std::optional<TextEncoding> encoding_named(std::string_view name);

// The encoding when none is asked for: UTF-8 for a terminal, else the file's bytes.
TextEncoding default_encoding(bool to_terminal);

// `file_bytes` (Windows-1252, CR LF) in `encoding`.
std::string in_encoding(std::string_view file_bytes, TextEncoding encoding);

// Whether standard output is a terminal (not a file or a pipe).
bool stdout_is_terminal();

}  // namespace forstrix::cli
