// The command line's arguments and its console, alike on every system: the
// arguments as UTF-8 (as the program's texts and file names are), and the
// console showing that UTF-8 as German text.
#pragma once

#include <string>
#include <vector>

namespace forstrix::cli {

// The arguments of main as UTF-8. Windows hands main its arguments in the
// ANSI code page, where a "Südhang" may arrive as "S?dhang"; there they are
// read again from the UTF-16 command line. Elsewhere they are argv as given.
std::vector<std::string> utf8_arguments(int argc, char** argv);

// On Windows, a console that standard output or error goes to shows UTF-8
// until the program ends (then its code page is put back). Nothing elsewhere.
void use_utf8_console();

}  // namespace forstrix::cli
