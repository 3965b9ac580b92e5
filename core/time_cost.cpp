// Time requirement and cost per work system. Times of systems I
// and II are minutes per Fm (their costs divide by 60), times of systems III
// to VI hours per Fm. Letters as in the cost scheme: D BHD, N slope, F form
// class, B obstacle class, V piece volume, A share of extra assortments.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "core/calc.h"
#include "core/cost_inputs.h"
#include "core/emissions.h"
#include "core/whole_number_table.h"

namespace forstrix {

namespace {
constexpr double kOneFifteenth = 0.06666666666666667;    // forwarder, 15 Fm per MAS
constexpr double kOneThirteenth = 0.07692307692307693;   // forwarder on slopes over 15 %

// A machine with its operator: the machine's time [MAS/Fm] and cost at its
// machine-hour cost, the operator's paid time and cost at his wage.
std::tuple<double, double, double, double> crewed(double time, double machine_cost, double wage) {
    const double paid = time * kOperatorHours;
    return {time, time * machine_cost, paid, paid * wage};
}
}  // namespace

// Skidding time of the cable skidder in system I [min/Fm].
double calc_stm_sys1(const State& s) {
    const double V = s.gc_stm;
    // Thicker stems are skidded in two or three pieces.
    const double S = s.gi_bhd < 30 ? V : (s.gi_bhd < 50 ? V * 0.5 : V / 3.0);
    const double base = 28.49 * std::pow(S, -0.1124) - 22.28;
    const double Q = 0.33 * static_cast<double>(s.gi_hn) + (0.05 * s.gf_i_rd - 7.5) + (0.5 * s.gf_i_bse - 7.5);
    return base * (1.0 + 0.01 * Q);
}

void calc_zeitbedarfkosten(State& s) {
    // Powers of BHD and slope, whole numbers from short lists.
    static const auto felling_d = tabulate([](std::uint32_t d) { return std::pow(static_cast<double>(d), 2.765); });
    static const auto slope_n = tabulate([](std::uint32_t n) { return std::pow(static_cast<double>(n), 2.612); });
    static const auto chainsaw_d = tabulate([](std::uint32_t d) { return std::pow(static_cast<double>(d), -1.75); });

    const double D = static_cast<double>(s.gi_bhd);
    const double N = static_cast<double>(s.gi_hn);
    const double nrf6 = static_cast<double>(s.gi_sf);
    const double nrb44 = static_cast<double>(s.gi_i_bb);
    const double V = s.gc_stm;
    const double A = static_cast<double>(s.gi_ii_vzs);
    const double eingf64 = forest_worker_wage(s);  // with PNK [Euro/h]
    const double eingf65 = operator_wage(s);       // with PNK [Euro/h]

    // ---- I) Konventionelle Holzernte (EST; cable skidder)
    const double m = (s.gi_ba == 6 || s.gi_ba == 7) ? 0.9435 : 0.85;
    const double T = (102100.0 / felling_d(s.gi_bhd) + 12.69) * m;
    const double form = 10.0 * nrf6 - 10.0;
    const double P = (0.0004372 * slope_n(s.gi_hn) + 0.4415) + form + 5.0 * nrb44;
    s.gff_e3 = T * (1.0 + 0.01 * P) * 160.0 / static_cast<double>(s.gi_zest);
    s.gff_g3 = s.gff_e3 / 60.0 * eingf64;
    s.gff_e4 = T * (1.0 + 0.01 * form) * 0.64;
    s.gff_g4 = s.gff_e4 / 60.0 * s.gf_msc37;
    s.gff_e5 = calc_stm_sys1(s);
    s.gff_g5 = s.gff_e5 / 60.0 * s.gf_ss;  // the cost dialog's skidder cost
    s.gff_e6 = s.gff_e5 * kSkidderOperatorHours;
    s.gff_g6 = s.gff_e6 / 60.0 * eingf65;
    s.gff_g7 = s.gff_g3 + s.gff_g4 + s.gff_g5 + s.gff_g6;
    s.gff_g8 = 1.15 * s.gff_g3 + s.gff_g4 + s.gff_g5 + s.gff_g6;  // measuring: +15 % forest worker

    // ---- II) Integrierte Holzernte (MGV; two forest workers)
    const double nra50 = s.gi_ii_vzs == 0 ? 0.0 : 0.56 * A - 0.0033 * (A * A) - 1.7;
    const double slope = 0.009456 * (N * N) + 3.192 - 0.2885 * N;
    const double X = (1.0 + 0.01 * (slope + nra50)) * ((0.0026 * s.gf_ii_rd + 4.0) / V + 11.0) * 0.7692307692307692;
    s.gff_e12 = X * 0.85 * 2.0 * 130.0 / static_cast<double>(s.gi_zmgv);
    s.gff_g12 = s.gff_e12 / 60.0 * eingf64;
    s.gff_e13 = (1.0 + 0.01 * nra50) * (0.9 / V + 4.1);
    s.gff_g13 = s.gff_e13 / 60.0 * s.gf_msc37;
    s.gff_e14 = s.gff_e12 * 0.5;
    s.gff_g14 = s.gff_e14 / 60.0 * s.gf_asb75;  // the computed skidder cost, not gf_ss
    s.gff_g15 = s.gff_g12 + s.gff_g13 + s.gff_g14;
    s.gff_g16 = 1.1764705882352942 * (s.gff_g12 + s.gff_g14) + s.gff_g13;

    // ---- III) Hochmechanisierte Holzernte (harvester, forwarder)
    const double harvester = 0.00859 / std::pow(V, 1.133) + 0.04633;
    const double forwarder = s.gi_hn <= 15 ? kOneFifteenth : kOneThirteenth;
    std::tie(s.gff_e20, s.gff_g20, s.gff_e21, s.gff_g21) = crewed(harvester, s.gf_hab112, eingf65);
    std::tie(s.gff_e22, s.gff_g22, s.gff_e23, s.gff_g23) = crewed(forwarder, s.gf_fob149, eingf65);
    s.gff_g24 = s.gff_g20 + s.gff_g21 + s.gff_g22 + s.gff_g23;

    // ---- IV) Hochmechanisierte Holzernte durch Hangsysteme
    std::tie(s.gff_e27, s.gff_g27, s.gff_e28, s.gff_g28) = crewed(harvester * 1.15, s.gf_hhb223, eingf65);
    std::tie(s.gff_e29, s.gff_g29, s.gff_e30, s.gff_g30) =
        crewed(0.09230769230769231, s.gf_hfb260, eingf65);  // 1.2 / 13
    s.gff_g31 = s.gff_g27 + s.gff_g28 + s.gff_g29 + s.gff_g30;

    // ---- V) Yarding (mobile cable yarder with processor, four persons)
    // Base time 1 / productivity [Fm per hour] by cable line length.
    static constexpr double ka[5] = {6.3, 6.9, 8.4, 11.4, 13.3};
    static constexpr double kb[5] = {0.44, 0.55, 0.55, 0.46, 0.44};
    static constexpr double kc[5] = {5.3, 4.1, 2.1, -1.3, -3.8};
    static constexpr double kcrown[3] = {1.1, 1.5, 2.0};
    const std::size_t sll = std::min<std::uint32_t>(s.gi_v_sll, 4);
    const double nra55 = 1.0 / (ka[sll] * std::pow(V, kb[sll]) + kc[sll]);
    const double nrh56 = kcrown[std::min<std::uint32_t>(s.gi_v_kf, 2)];
    const double nrh57 = s.gi_hn < 36 ? 1.3 : 1.0;
    const double nra58 = nrh56 * nra55 * nrh57;
    s.gff_e35 = nra58;
    s.gff_g35 = s.gff_e35 * s.gf_mskb297;
    s.gff_e34 = s.gff_e35 * 4.0 * kOperatorHours;
    s.gff_g34 = s.gff_e34 * (eingf64 + eingf65) * 0.5;
    s.gff_e36 = (856.0 * chainsaw_d(s.gi_bhd) + 1.77) / 60.0;
    s.gff_g36 = s.gff_e36 * s.gf_msc37;
    s.gff_e37 = kOneFifteenth;
    s.gff_g37 = s.gff_e37 * s.gf_fob149;
    s.gff_g39 = s.gff_g34 + s.gff_g35 + s.gff_g36 + s.gff_g37;

    // ---- VI) Spanholz (harvester with FSA, forwarder)
    std::tie(s.gff_e41, s.gff_g41, s.gff_e42, s.gff_g42) =
        crewed(1.0 / (0.76 * D - 0.0085 * (D * D) - 1.91), s.gf_hfsab186, eingf65);
    std::tie(s.gff_e43, s.gff_g43, s.gff_e44, s.gff_g44) = crewed(forwarder, s.gf_fob149, eingf65);
    s.gff_g45 = s.gff_g41 + s.gff_g42 + s.gff_g43 + s.gff_g44;

    // Fuel and CO2 per Fm follow from the machine times just computed.
    calc_kraftstoff(s);
}

}  // namespace forstrix
