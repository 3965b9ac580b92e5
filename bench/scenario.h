// One whole scenario of the calculation core, as the command line runs it.
#pragma once

#include "core/calc.h"

namespace forstrix::bench {

// The stand model over the stand, the suitability rules, the eight
// machine-hour costs with the trace off, gf_ss = gf_asb75, and the
// time-and-cost model of all six work systems.
inline void run_scenario(State& s) {
    s.gf_ii_rd = s.gf_i_rd;
    store(s, calc_bestand(stand_inputs(s)));
    s.set_flags(calc_eignung(suitability_inputs(s)));
    calc_all_machines(s, nullptr);
    s.gf_ss = s.gf_asb75;
    calc_zeitbedarfkosten(s);
}

}  // namespace forstrix::bench
