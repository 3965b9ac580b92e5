// The checks that the dialogs make before they let a value into the
// calculation state, as plain functions: the command line, the batch run
// and the basics file apply the same rules. Messages are German and name
// the value and what is allowed.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/calc.h"
#include "core/registry.h"
#include "core/state.h"

namespace forstrix {

struct Problem {
    std::string name;     // the value concerned, e.g. "gi_bhd"
    std::string message;  // German, e.g. "gi_bhd: 95 liegt nicht im Bereich 6 bis 90."
};

// A single value against its range (value_range, core/registry.h): list
// ranges, whole numbers, 0 or 5..85 for gi_ii_vzs, Zeitgrad 10..200 (a
// decimal, as the cost dialog reads it; set_value keeps its whole part),
// every decimal finite, not negative and within its bounds, for the basics
// the zero refused where the dialog refuses it, and an emission factor
// greater than 0 and at most 10. Derived values, flags and results are
// refused as not settable. Looks at this one value only.
std::optional<Problem> check_value(const ValueInfo& v, double value);

// The text of a field or option as the dialogs read it (f_check: digits
// with at most one point or comma; empty reads 0), then check_value.
struct ReadResult {
    double value = 0.0;
    std::optional<Problem> problem;
};
ReadResult read_value(const ValueInfo& v, std::string_view text);

// The message for a name that the registry does not know, with the name
// it was likely meant to be (columns::nearest_name) when there is one:
// "gi_bdh: unbekannter Name; meinten Sie gi_bhd?".
Problem unknown_value(std::string_view name);

// The leave checks of the stand dialog over a State whose derived values
// and flags are computed (missing volume or area, missing extra data for
// suitable systems I and II).
std::vector<Problem> check_stand(const State& s);

// The plausibility questions of the stand dialog (own height and own piece
// volume far from the model) as warning texts.
std::vector<std::string> plausibility_warnings(const State& s);

// Whether every figure a dialog derives from its fields is a finite number:
// values near the largest double, each readable on its own, can still
// multiply to infinity (a harvest quantity from volume and area, a wage
// with ancillary costs). A dialog treats such input as unreadable.
bool all_finite(std::initializer_list<double> figures);
bool all_finite(const StandValues& v);

// The time models hold for the stands they were made from; far outside
// them (a piece volume of a few litres on a long cable line, dozens of EFm
// skidded in one piece) a formula can give a negative time per Fm, and with
// it negative costs and litres. The first suitable system of `s` (results
// computed) with a negative time is reported.
std::optional<Problem> check_system_times(const State& s);

// All basics of the eight machine kinds: the zero rules, the chainsaw's
// mixing-ratio-or-ready-mix rule, finiteness, and no negative total
// (computed on a copy, so `s` is not touched).
std::vector<Problem> check_basics(const State& s);

}  // namespace forstrix
