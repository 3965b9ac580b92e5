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

// Where the user finds help after a parse error of `app`: the help of the
// subcommand the call got into ("forstrix-cli sweep --help"), else the
// program's own ("forstrix-cli --help").
std::string help_call(const CLI::App& app);

}  // namespace forstrix::cli
