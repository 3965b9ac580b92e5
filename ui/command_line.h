// What the desktop program answers on its command line without a window:
// --help and --version, on standard output, also where no display is.
// Plain C++, so it runs before Qt is started.
#pragma once

#include <optional>
#include <string>

namespace forstrix::ui {

struct CommandLineAnswer {
    std::string text;  // for standard output
    int status;        // the exit status
};

// The answer to `argv` when it asks for help or the version, else nullopt
// (the program then starts its window). Arguments after "--" are not options.
std::optional<CommandLineAnswer> command_line_answer(int argc, const char* const* argv,
                                                     const std::string& version);

}  // namespace forstrix::ui
