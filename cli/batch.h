// Many scenarios at once: one stand or scenario per row of a CSV table whose
// header names the input values. Every row is computed as `calc` computes a
// scenario; the result table has one row per input row.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "core/scenario.h"
#include "core/state.h"

namespace forstrix::cli {

struct BatchOptions {
    std::string in_path;
    std::string out_path;       // empty: standard output
    bool skip_invalid = false;  // write the good rows, list the bad ones
    bool reasons = false;       // columns reasons_sys1 ... reasons_sys6 after the flags
    unsigned threads = 0;       // computing threads; 0: one per core, 1: none besides the reader
    std::string map_path;       // a mapping of columns and codes (files/mapping_file.h); empty: none
};

// Exit status: 0 done, 1 the output could not be written or the input not
// read, 2 refused input (header or rows). Messages go to `err`; the result
// table goes to `out` when no output file is given. On failure no output is
// produced at all: a file is written under a temporary name and renamed only
// at the end, standard output receives the rows only once all have passed.
int run_batch(const BatchOptions& opt, const State& base, std::span<const Given> given,
              std::FILE* out, std::FILE* err);

// The header line of every name a table may use, in registry order.
std::string template_header(char separator);

// Text for a message: the bytes as they are when they are UTF-8, else read
// as Windows-1252 (a table saved by an older spreadsheet program).
std::string display_text(std::string_view bytes);

}  // namespace forstrix::cli
