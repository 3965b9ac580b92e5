// The values of one scenario as a file gives them: a stand file
// (files/stand_file.h) or a flat JSON object of the same names,
// {"gi_bhd": 34, "gf_vab": 42.5}, as forstrix-cli --input takes it besides.
//
// Both kinds are read by one set of rules. JSON in UTF-8 (a BOM and CR LF
// are accepted), at most kMaxJsonDepth levels deep (files/input_file.h). A
// name given twice in one object is refused, since which of the two was
// meant cannot be known. Every value is a settable name of the registry with
// a JSON number (a number written as a string is refused: "30,5" or "1e3"
// in quotes is a slip of a hand-written file) that the dialog editing it
// would accept; a number beyond every double is "zu groß". The first problem
// refuses the file.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "core/scenario.h"
#include "files/basics_file.h"
#include "files/stand_file.h"

namespace forstrix::files {

inline constexpr const char* kStandNotLoaded = "Bestandsdatei kann nicht geladen werden!";
inline constexpr const char* kInputNotLoaded = "Eingabedatei kann nicht geladen werden!";

struct ScenarioInput {
    bool stand_file = false;    // a stand file; else a flat object of values
    StandLabel label;           // a stand file's name and note
    std::vector<Given> values;  // in file order
};

// A JSON object with a "format" member is a stand file (no value is named
// "format"), any other text is read as a flat object of values, unless
// `stand_file_only`, when it is refused as no stand file. A refusal (status
// Refused) has the heading kStandNotLoaded for what is meant as a stand file
// (also a text cut short that mentions "format"), else kInputNotLoaded, and
// a detail of one line naming the problem. `input` is set only on success.
Outcome parse_scenario_input(std::string_view bytes, ScenarioInput& input, bool stand_file_only = false);

// parse_scenario_input of the file at `path` (read by read_input_file of
// files/input_file.h, with the heading kInputNotLoaded).
Outcome read_scenario_input(const std::filesystem::path& path, ScenarioInput& input);

}  // namespace forstrix::files
