// Stand model: tree height, piece volume, stem masses and harvest
// quantity from species, form class, BHD and the stand's volume and area.
#include <array>
#include <cmath>

#include "core/calc.h"
#include "core/whole_number_table.h"

namespace forstrix {

namespace {

// e^(b · BHD) of the height curves: the general table's and that of oak and
// ash, one per form class.
double height_exp(bool oak_ash, std::uint32_t sf, std::uint32_t bhd) {
    const auto curve = [](double b) {
        return tabulate([b](std::uint32_t d) { return std::exp(b * static_cast<double>(d)); });
    };
    static const std::array curves = {curve(k_hoehe2[0]),  curve(k_hoehe2[1]),  curve(k_hoehe2[2]),
                                      curve(k_hoehe2[3]),  curve(ke_hoehe2[0]), curve(ke_hoehe2[1]),
                                      curve(ke_hoehe2[2]), curve(ke_hoehe2[3])};
    return curves[(oak_ash ? 4u : 0u) + sf](bhd);
}

// Basal area G [cm²] of a BHD in cm, π as 3.14159265.
double basal_area(std::uint32_t bhd) {
    const double r = static_cast<double>(bhd) * 0.5;
    return r * r * 3.14159265;
}

}  // namespace

// Height curve h = a · e^(b · BHD) + c; the form class picks the row, the
// species only the table (oak and ash have their own).
double calc_hoehe(int ba, std::uint32_t sf, std::uint32_t bhd) {
    const bool oak_ash = ba == 6 || ba == 7;
    const double a = oak_ash ? ke_hoehe1[sf] : k_hoehe1[sf];
    const double b = oak_ash ? ke_hoehe2[sf] : k_hoehe2[sf];
    const double c = oak_ash ? ke_hoehe3[sf] : k_hoehe3[sf];
    const double e = sf < k_hoehe2.size() ? height_exp(oak_ash, sf, bhd) : std::exp(b * static_cast<double>(bhd));
    return a * e + c;
}

// Piece volume [EFm] = basal area (π as 3.1416) · height · form factor 0.44 · 0.9.
double calc_stm(double hoehe, std::uint32_t bhd) {
    const double d = static_cast<double>(bhd) * 0.01;
    return d * d * 0.25 * 3.1416 * hoehe * 0.44 * 0.9;
}

// Whole-tree mass [t atro]: power law A (oak, ash), power law B (beech,
// maple, cherry) over the basal area G in cm², else the logarithmic model.
// The power laws and the logarithm of the BHD depend on the BHD alone.
double calc_stmvoll(std::uint32_t ba, double hoehe, std::uint32_t bhd) {
    if (ba == 6 || ba == 7) {
        static const auto law_a = tabulate([](std::uint32_t d) { return std::pow(basal_area(d), 1.3165); });
        return 0.1307 * law_a(bhd) * 0.001;
    }
    if (ba == 5 || ba == 8 || ba == 9) {
        static const auto law_b = tabulate([](std::uint32_t d) { return std::pow(basal_area(d), 1.2861); });
        return 0.1398 * law_b(bhd) * 0.001;
    }
    static const auto log_d = tabulate([](std::uint32_t d) { return std::log(static_cast<double>(d)); });
    return std::exp(k_stmvoll1[ba] + k_stmvoll2[ba] * log_d(bhd) + k_stmvoll3[ba] * std::log(hoehe)) * 0.001;
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
