// Stand files on the command line: every --input may be one, and
// `forstrix-cli scenario` writes one from the defaults, --basics, --input
// and --set, so scripts can make stands for the desktop program.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/inputs.h"
#include "core/scenario.h"
#include "files/stand_file.h"

namespace forstrix::cli {

// The values of the stand file `text` (read from `file`), appended to
// `given`; its name and note into `label` unless it is null. False with the
// German reason in `errors` when the file is refused.
bool stand_file_inputs(std::string_view text, const std::string& file, std::vector<Given>& given,
                       std::vector<std::string>& errors, files::StandLabel* label);

struct ScenarioOptions {
    std::string out_path;  // -o; standard output when empty
    std::string name;      // --name; when empty, the name of a stand file given as --input
    std::string note;      // --note; likewise
};

// `forstrix-cli scenario`: refuses what `calc` refuses (exit status 2),
// exit status 1 when the file cannot be written, 0 done.
int run_scenario(const CommonOptions& opt, const ScenarioOptions& sopt, std::FILE* out, std::FILE* err);

}  // namespace forstrix::cli
