// Standard input, output and error kept apart from the program's files.
#pragma once

#include <cstdio>

namespace forstrix::files {

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed.
// A program started with them closed would otherwise get descriptor 1 or 2
// for the first file it opens, and its messages would land in that file.
// On Windows it puts the three streams into binary mode instead:
// the program's bytes pass unchanged, as on Linux.
// Call it first thing in main, before any file is opened.
void ensure_standard_streams();

// Whether `stream` is a terminal (not a file or a pipe).
bool is_terminal(std::FILE* stream);

}  // namespace forstrix::files
