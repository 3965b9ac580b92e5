// The command line speaks German: the help's headings, group and type names,
// and a German sentence for every kind of error the argument parser reports.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace forstrix::cli {

// German help and failure messages for `app`. Call it right after creating
// the app, before options and subcommands are added: they take the option
// group and the subcommand group from the app when they are created.
void use_german(CLI::App& app);

// The German message for a parse error of `app`: what is wrong, with the
// option or argument it concerns, never the parser's English text.
std::string german_error(const CLI::App& app, const CLI::Error& e);

// The whole message of a parse error of `app`: "Aufruf fehlerhaft: ", the
// German message, and where the user finds help.
std::string call_error(const CLI::App& app, const CLI::Error& e);

}  // namespace forstrix::cli
