// `forstrix-cli scenario` writes a stand file from the defaults, --basics,
// --input and --set, so scripts can make stands for the desktop program.
// (Every --input may itself be a stand file: cli/inputs.h.)
#pragma once

#include <cstdio>
#include <string>

#include "cli/inputs.h"

namespace forstrix::cli {

struct ScenarioOptions {
    std::string out_path;  // -o; standard output when empty
    std::string name;      // --name; when empty, the name of a stand file given as --input
    std::string note;      // --note; likewise
};

// `forstrix-cli scenario`: refuses what `calc` refuses, with calc's exit
// status; kExitFailed when the file cannot be written, kExitDone done.
int run_scenario(const CommonOptions& opt, const ScenarioOptions& sopt, std::FILE* out, std::FILE* err);

}  // namespace forstrix::cli
