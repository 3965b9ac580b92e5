// Where the values of a scenario come from on the command line: a basics
// file (--basics), a stand file or a JSON object of values (--input, read by
// files/scenario_input.h) and NAME=VALUE pairs (--set).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/scenario.h"
#include "core/state.h"
#include "files/stand_file.h"

namespace forstrix::cli {

struct CommonOptions {
    std::string basics_file;            // --basics, empty when not given
    std::string input_file;             // --input, empty when not given
    std::vector<std::string> sets;      // --set NAME=VALUE, in command-line order
    bool trace = false;                 // --trace
};

// Loads the basics file into `base` and collects the given values: those of
// the input file first, then every --set, so that --set wins. The name and
// note of a stand file go to `label` when it is not null. Returns
// kExitDone, or after printing why to `err` the exit status (cli/errors.h):
// kExitFailed when a file cannot be read, kExitRefused for refused content.
// `base` is unchanged when the basics file was not loaded.
int collect_inputs(const CommonOptions& opt, State& base, std::vector<Given>& given, std::FILE* err,
                   files::StandLabel* label = nullptr);

// collect_inputs, then the scenario computed on top of `s` as `calc`
// computes it (--trace to `err`); its warnings go to `err`. Returns kExitDone
// or, after printing why, the exit status.
int compute_inputs(const CommonOptions& opt, State& s, std::FILE* err, files::StandLabel* label = nullptr);

// find_settable of the core, with a pointer to the list of names in the
// message; every name the command line reads goes through it.
const ValueInfo* find_input(std::string_view name, Problem& problem);

// "„=5“: vor dem „=“ fehlt der Name der Eingabe (NAME=WERT)." for an
// `item` of the form `form` whose name is empty.
std::string missing_name(std::string_view item, std::string_view form);

// One NAME=VALUE pair of --set.
bool parse_set(const std::string& pair, std::vector<Given>& given, std::string& error);

// Whether the paths `a` and `b` name the same file: the same file for two
// existing paths (through links too), else the same path once resolved.
bool same_file(const std::string& a, const std::string& b);

}  // namespace forstrix::cli
