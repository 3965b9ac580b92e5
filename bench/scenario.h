// One whole scenario of the calculation core, as the command line runs it.
#pragma once

#include "core/scenario.h"

namespace forstrix::bench {

// The scenario chain with nothing given: the stand model over the stand, the
// suitability rules, the stand's checks, the eight machine-hour costs with
// the trace off, gf_ss = gf_asb75, and the time-and-cost model of all six
// work systems.
inline void run_scenario(State& s) {
    ScenarioOutcome outcome;
    compute_scenario(s, {}, nullptr, outcome);
}

}  // namespace forstrix::bench
