// Stand model: tree height, piece volume, stem masses and harvest
// quantity from species, form class, BHD and the stand's volume and area.
#include <cmath>

#include "core/calc.h"

namespace forstrix {

// Height curve h = a · e^(b · BHD) + c; the form class picks the row, the
// species only the table (oak and ash have their own).
double calc_hoehe(int ba, std::uint32_t sf, std::uint32_t bhd) {
    const bool oak_ash = ba == 6 || ba == 7;
    const double a = oak_ash ? ke_hoehe1[sf] : k_hoehe1[sf];
    const double b = oak_ash ? ke_hoehe2[sf] : k_hoehe2[sf];
    const double c = oak_ash ? ke_hoehe3[sf] : k_hoehe3[sf];
    return a * std::exp(b * static_cast<double>(bhd)) + c;
}

// Piece volume [EFm] = basal area (π as 3.1416) · height · form factor 0.44 · 0.9.
double calc_stm(double hoehe, std::uint32_t bhd) {
    const double d = static_cast<double>(bhd) * 0.01;
    return d * d * 0.25 * 3.1416 * hoehe * 0.44 * 0.9;
}

// Whole-tree mass [t atro]: power law A (oak, ash), power law B (beech,
// maple, cherry) over the basal area G in cm², else the logarithmic model.
double calc_stmvoll(std::uint32_t ba, double hoehe, std::uint32_t bhd) {
    const double bhd_d = static_cast<double>(bhd);
    if (ba == 6 || ba == 7 || ba == 5 || ba == 8 || ba == 9) {
        const double r = bhd_d * 0.5;
        const double g = r * r * 3.14159265;
        if (ba == 6 || ba == 7) return 0.1307 * std::pow(g, 1.3165) * 0.001;
        return 0.1398 * std::pow(g, 1.2861) * 0.001;
    }
    return std::exp(k_stmvoll1[ba] + k_stmvoll2[ba] * std::log(bhd_d) + k_stmvoll3[ba] * std::log(hoehe)) *
           0.001;
}

StandInputs stand_inputs(const State& s) {
    return {s.gi_ba, s.gi_sf, s.gi_bhd, s.gf_bh, s.gf_stm, s.gf_vab, s.gf_gf};
}

StandValues calc_bestand(const StandInputs& in) {
    StandValues v{};
    v.hoehe = in.bh != 0.0 ? in.bh : calc_hoehe(static_cast<int>(in.ba), in.sf, in.bhd);
    v.stm = in.stm != 0.0 ? in.stm : calc_stm(v.hoehe, in.bhd);
    v.stmvoll = calc_stmvoll(in.ba, v.hoehe, in.bhd);  // never the piece-volume override
    v.stmderb = v.stm * k_stmderb[in.ba];
    v.vhieb = in.vab * in.gf;
    return v;
}

void store(State& s, const StandValues& v) {
    s.gc_hoehe = v.hoehe;
    s.gc_stm = v.stm;
    s.gc_stmvoll = v.stmvoll;
    s.gc_stmderb = v.stmderb;
    s.gc_vhieb = v.vhieb;
}

}  // namespace forstrix
