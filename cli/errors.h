// How forstrix-cli ends and how it says why: the exit status of every
// command, and the one printer of its messages on standard error.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "files/basics_file.h"

namespace forstrix::cli {

inline constexpr int kExitDone = 0;
// A file could not be read (missing, a folder, a pipe, no permission) or
// not be written.
inline constexpr int kExitFailed = 1;
// The call or its input was refused: a wrong option, a value out of range,
// a file whose content is not what it should be.
inline constexpr int kExitRefused = 2;

// The exit status of a failed read or write of the files library.
int exit_status(const files::Outcome& failure);

// "Fehler: <message>" as one line: the line breaks of a message laid out
// for a message box become blanks, every control character is escaped (an
// argument or a name from a file may hold one) and an endless text is cut
// short. Returned with its line end, for the parser's own printing.
std::string error_line(std::string_view message);

void print_error(std::FILE* err, std::string_view message);
// Heading and detail of a failure of the files library on one line.
void print_error(std::FILE* err, const files::Outcome& failure);
// "Warnung: <message>", one line as above.
void print_warning(std::FILE* err, std::string_view message);

}  // namespace forstrix::cli
