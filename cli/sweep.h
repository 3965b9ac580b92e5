// forstrix-cli sweep: the cost of the six work systems over a range of one
// input, or over the grid of two, with the cheapest suitable system per
// point, as a CSV table.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/inputs.h"

namespace forstrix::cli {

struct SweepOptions {
    std::vector<std::string> ranges;  // NAME=FROM:TO:STEP, one or two
    std::string out_path;             // -o; empty: standard output
    std::string sep = ",";            // ',' (decimal point) or ';' (decimal comma)
    bool unmeasured = false;          // I and II compete by their sums without measuring
};

// Exit status (cli/errors.h): done also when the checks refuse points (they
// only warn); kExitFailed when the output could not be written or an input
// file not read; kExitRefused for a refused range or input. The table goes
// to `out` unless an output file is given; messages go to `err`.
int run_sweep(const CommonOptions& opt, const SweepOptions& sopt, std::FILE* out, std::FILE* err);

}  // namespace forstrix::cli
