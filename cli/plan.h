// forstrix-cli plan: a harvest plan from the planner's own table (CSV, a
// spreadsheet or a GIS layer). Every stand is computed as batch computes a
// row; the table is written back with its columns (and geometry), batch's
// result columns and the plan's: the cheapest and the chosen system, its
// Euro/Fm, Euro, litres and CO2 for the whole harvest. batch takes the same
// way for tables other than CSV, without the plan's columns.
#pragma once

#include <cstdio>
#include <span>
#include <string>

#include "core/capacity.h"
#include "core/scenario.h"
#include "core/state.h"

namespace forstrix::cli {

struct PlanOptions {
    std::string in_path;
    std::string out_path;       // empty: CSV to standard output
    std::string map_path;       // --map: the Zuordnung of the table's columns and codes
    std::string layer;          // --layer: a layer or sheet; empty: the first
    std::string summary_path;   // --summary: the plan's totals as JSON
    bool reasons = false;       // reasons_sys1 ... reasons_sys6 after the flags
    bool skip_invalid = false;  // refused rows listed, counted and kept with empty results
    bool plan_columns = true;   // false: batch (the result columns alone)
    unsigned threads = 0;       // 0: one per core
    // --capacity, --goal, --time-limit (cli/capacity.h): without a
    // capacity every stand keeps its own choice or its cheapest system.
    plan::CapacityOptions capacity;
};

// Exit status as cli/errors.h: 0 done, 1 a file unreadable or unwritable,
// 2 refused content (nothing is written then); with capacities 3 when no
// choice fits them (the plan with the fewest missing hours is written).
int run_plan(const PlanOptions& opt, const State& base, std::span<const Given> given, std::FILE* err);

// Whether a batch call needs the plan document: its table or its output is
// a format other than CSV.
bool needs_plan_table(const std::string& in_path, const std::string& out_path);

}  // namespace forstrix::cli
