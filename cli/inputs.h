// Where the values of a scenario come from on the command line: a basics
// file (--basics), a JSON object (--input) and NAME=VALUE pairs (--set).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/scenario.h"
#include "core/state.h"

namespace forstrix::files {
struct StandLabel;
}

namespace forstrix::cli {

struct CommonOptions {
    std::string basics_file;            // --basics, empty when not given
    std::string input_file;             // --input, empty when not given
    std::vector<std::string> sets;      // --set NAME=VALUE, in command-line order
    bool trace = false;                 // --trace
};

// Loads the basics file into `base` and collects the given values: those of
// the JSON file first, then every --set, so that --set wins. The JSON file
// is a flat object of values or a stand file (files/stand_file.h), whose name
// and note go to `label` when it is not null. On failure returns false with
// German messages in `errors`; `base` is then unchanged when the basics file
// was refused.
bool collect_inputs(const CommonOptions& opt, State& base, std::vector<Given>& given,
                    std::vector<std::string>& errors, files::StandLabel* label = nullptr);

// find_settable of the core, with a pointer to the list of names in the
// message; every name the command line reads goes through it.
const ValueInfo* find_input(std::string_view name, Problem& problem);

// One NAME=VALUE pair of --set.
bool parse_set(const std::string& pair, std::vector<Given>& given, std::string& error);

// An --input file larger than this is no scenario (as for --basics).
inline constexpr std::size_t kMaxInputFileSize = std::size_t{1} << 20;
// The object of values, and one level of grouping below it.
inline constexpr std::size_t kMaxJsonDepth = 2;

// The members of a JSON object; numbers are taken as they are (not negative,
// finite), strings are read as a dialog field reads them.
bool parse_json_inputs(const std::string& text, std::vector<Given>& given,
                       std::vector<std::string>& errors);

}  // namespace forstrix::cli
