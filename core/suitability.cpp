// Work-system suitability rules: fixed thresholds over the stand
// inputs and the derived piece volume and harvest quantity.
#include "core/calc.h"

namespace forstrix {

SuitabilityInputs suitability_inputs(const State& s, bool inputs_valid) {
    return {inputs_valid, s.gi_bhd, s.gi_hn, s.gi_ar, s.gi_br, s.gi_hvs, s.gf_vab, s.gc_stm, s.gc_vhieb};
}

std::array<std::int32_t, 6> calc_eignung(const SuitabilityInputs& in) {
    std::array<std::int32_t, 6> f{0, 0, 0, 0, 0, 0};
    if (!in.inputs_valid) return f;
    const bool trafficable = in.br == 0;
    const bool near_trails = in.ar == 0;  // skid-trail spacing "bis 20"
    // I) Konventionelle Holzernte
    f[0] = in.bhd > 14 && in.hn < 36 && trafficable && in.vab >= 10.0 && in.vhieb >= 30.0;
    // II) Integrierte Holzernte
    f[1] = in.bhd > 14 && in.stm <= 1.0 && in.hn < 36 && trafficable && in.vab >= 30.0 && in.vhieb >= 100.0;
    // III) Hochmechanisierte Holzernte
    f[2] = in.bhd > 11 && in.stm <= 0.7 && in.hn < 36 && near_trails && trafficable && in.vab >= 30.0 &&
           in.vhieb >= 300.0;
    // IV) Hochmechanisierte Holzernte durch Hangsysteme
    f[3] = in.bhd > 11 && in.stm <= 0.7 && in.hn > 35 && in.hn < 61 && near_trails && trafficable &&
           in.vab >= 30.0 && in.vhieb >= 300.0;
    // V) Yarding: on trafficable ground only above 35 % slope
    f[4] = in.bhd > 14 && in.hvs == 1 && in.vab >= 30.0 && in.vhieb >= 500.0 && (in.br == 1 || (in.br == 0 && in.hn > 35));
    // VI) Spanholz
    f[5] = in.bhd < 19 && in.hn < 36 && near_trails && trafficable && in.vab >= 10.0 && in.vhieb >= 300.0;
    return f;
}

}  // namespace forstrix
