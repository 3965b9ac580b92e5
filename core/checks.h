// The checks that the dialogs make before they let a value into the
// calculation state, as plain functions: the command line, the batch run
// and the basics file apply the same rules. Messages are German and name
// the value and what is allowed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/registry.h"
#include "core/state.h"

namespace forstrix {

struct Problem {
    std::string name;     // the value concerned, e.g. "gi_bhd"
    std::string message;  // German, e.g. "gi_bhd: 95 liegt nicht im Bereich 6 bis 90."
};

// A single value against the range of its list or field: list ranges,
// whole numbers, 0 or 5..85 for gi_ii_vzs, Zeitgrad 10..200, and for the
// basics the zero refused where the dialog refuses it.
std::optional<Problem> check_value(const ValueInfo& v, double value);

// The leave checks of the stand dialog over a State whose derived values
// and flags are computed (missing volume or area, missing extra data for
// suitable systems I and II).
std::vector<Problem> check_stand(const State& s);

// The plausibility questions of the stand dialog (own height and own piece
// volume far from the model) as warning texts.
std::vector<std::string> plausibility_warnings(const State& s);

// All basics of the eight machine kinds: the zero rules, the chainsaw's
// mixing-ratio-or-ready-mix rule, finiteness, and no negative total
// (computed on a copy, so `s` is not touched).
std::vector<Problem> check_basics(const State& s);

}  // namespace forstrix
