// One scenario: values given on top of the defaults (and of a basics file),
// then the whole chain of computation that the desktop program runs when the
// stand and cost dialogs commit and the results are requested. The command
// line (`calc`, `report`, `basics`, every row of `batch`) and every view that
// varies an input go through compute_scenario, so they cannot drift apart.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/checks.h"
#include "core/registry.h"
#include "core/state.h"
#include "core/trace.h"

namespace forstrix {

// A value the user gave, already read as a number.
struct Given {
    const ValueInfo* info;
    double value;
};

// The settable value called `name`, or the German problem: unknown name, or
// a derived value, flag or result that only the computation writes.
const ValueInfo* find_settable(std::string_view name, Problem& problem);

// Reads the text of a value as a dialog field reads it: digits with at most
// one point or comma, no sign, no exponent. Unlike a dialog field an empty
// text is refused, since on the command line or in a table it is far more
// likely a slip than a deliberate 0. The range of the value is checked by
// compute_scenario.
std::optional<double> read_number(const ValueInfo& info, std::string_view text, Problem& problem);

// The range and whole-number checks of the dialog that edits the value.
std::optional<Problem> check_given(const Given& g);

struct ScenarioOutcome {
    std::vector<Problem> problems;      // non-empty: the scenario was refused
    std::vector<std::string> warnings;  // plausibility questions; the run goes on
    bool ok() const { return problems.empty(); }
};

// Computes one scenario in `s`, which holds the defaults (and any basics
// read from a file) on entry. `given` is applied in order, a later entry for
// the same name winning. Order of computation:
//   the given values (each checked as its dialog checks it);
//   gf_ii_rd follows gf_i_rd, as in the stand dialog;
//   the stand model, then the suitability rules with all inputs readable;
//   the leave checks of the stand dialog and the basics checks;
//   the eight machine-hour costs, then gf_ss = gf_asb75;
//   machine costs given explicitly replace the computed ones, as the cost
//   dialog does;
//   the time-and-cost model of the six systems, with their fuel and CO2
//   per Fm.
// On a refused scenario `s` is left part-way and must not be used.
// `machines_done`: `s` holds the machine-hour costs of its basics already
// (the batch computes them once per table); unless a given value changes a
// basic, they are not computed again.
void compute_scenario(State& s, std::span<const Given> given, TraceSink* trace,
                      ScenarioOutcome& out, bool machines_done = false);

// A result that is not a finite number (absurdly large inputs can overflow),
// or a negative time of a suitable system (check_system_times), is reported
// rather than printed as if it were a cost.
std::optional<Problem> check_results_finite(const State& s);

}  // namespace forstrix
