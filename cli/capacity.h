// The capacities of a plan on the command line: --capacity NAME=HOURS
// (repeatable; a resource not named is unlimited), --goal kosten|co2 and
// --time-limit S, and what the command says when no choice fits.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "core/capacity.h"

namespace forstrix::cli {

// No choice of systems keeps every resource within its capacity: the plan
// with the fewest missing hours was written, and stderr says what is missing.
inline constexpr int kExitNothingFits = 3;

struct CapacityArgs {
    std::vector<std::string> capacities;  // NAME=HOURS, in command-line order
    std::string goal = "kosten";
    std::string time_limit;               // seconds as text; empty: the default
};

// Adds --capacity, --goal and --time-limit to `cmd`.
void add_capacity_options(CLI::App& cmd, CapacityArgs& args);

// The options, or nullopt with the German message: an unknown resource
// (the names allowed are listed), a resource named twice, a number of hours
// that is no number (digits with at most one point or comma) or not finite,
// a goal other than kosten or co2, a time limit not greater than 0.
std::optional<plan::CapacityOptions> parse_capacity_options(const CapacityArgs& args, std::string& error);

// The same, printing "Fehler: ..." to `err` when refused (exit kExitRefused).
std::optional<plan::CapacityOptions> read_capacity_options(const CapacityArgs& args, std::FILE* err);

// One line per resource that misses hours: "Harvester: es fehlen 320,5 MAS"
// (rounded up to a tenth, decimal comma).
std::vector<std::string> shortfall_lines(const plan::CapacityResult& result);

// After the optimisation: the stands whose fixed system does not suit them
// are the caller's to refuse (plan::unsuitable_fixed_text); this prints
// "Fehler: ..." when the build has no solver (returns kExitRefused), a
// warning with the remaining gap when the time limit ended the search
// before the optimum was proven, and the shortfall lines when nothing fits
// (returns kExitNothingFits); else kExitDone.
int report_capacity(const plan::CapacityResult& result, std::FILE* err);

// The message of a build without the solver.
inline constexpr const char* kNoSolver =
    "Diese Ausgabe von Forstrix kann Pläne nicht innerhalb von Kapazitäten wählen (ohne GLPK erstellt); "
    "ohne --capacity wird jeder Bestand mit seinem günstigsten System geplant.";

}  // namespace forstrix::cli
