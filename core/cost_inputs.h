// The inputs of the cost dialog: wages, ancillary wage costs (PNK), the two
// performance levels (Zeitgrad) and the eight machine costs without wage, in
// the dialog's order, with the labels and units the user knows them by. The
// dialog edits them; the result sheet prints them as the basics of a result.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/state.h"

namespace forstrix {

struct CostInput {
    int id;                      // control number of the field
    std::string_view label;
    bool whole;                  // shown as a whole number ("%d", truncated), else two decimals
    double State::*value;        // the decimal it edits, or
    std::int32_t State::*level;  // the performance level it edits
};

inline constexpr int kCostInputCount = 14;
// The first of the eight machine costs; those before it are wages, PNK and levels.
inline constexpr int kFirstMachineCostInput = 6;

inline constexpr std::array<CostInput, kCostInputCount> kCostInputs = {{
    {20001, "Forstwirt (ohne PNK) [Euro/Std.]", false, &State::gf_fw, nullptr},
    {20002, "Maschinenführer (ohne PNK) [Euro/Std.]", false, &State::gf_mf, nullptr},
    {20003, "Höhe PNK Forstwirt [%]", true, &State::gf_nfw, nullptr},
    {20004, "Höhe PNK Maschinenführer [%]", true, &State::gf_nmf, nullptr},
    {20200, "Zeitgrad für EST", true, nullptr, &State::gi_zest},
    {20201, "Zeitgrad für MGV", true, nullptr, &State::gi_zmgv},
    {20010, "Motorsäge [Euro/BStd.]", false, &State::gf_msc37, nullptr},
    {20011, "Seilschlepper [Euro/MAS]", false, &State::gf_ss, nullptr},
    {20012, "Harvester [Euro/MAS]", false, &State::gf_hab112, nullptr},
    {20013, "Forwarder [Euro/MAS]", false, &State::gf_fob149, nullptr},
    {20014, "Harvester mit FSA [Euro/MAS]", false, &State::gf_hfsab186, nullptr},
    {20015, "Hang-Harvester [Euro/MAS]", false, &State::gf_hhb223, nullptr},
    {20016, "Hang-Forwarder [Euro/MAS]", false, &State::gf_hfb260, nullptr},
    {20017, "Seilkran inkl. Prozessor [Euro/MAS]", false, &State::gf_mskb297, nullptr},
}};

// Wage with ancillary wage costs [Euro/Std.]: the hourly wage raised by the
// PNK percentage; of a forest worker and of a machine operator.
inline double wage_with_pnk(double wage, double pnk) { return wage * (1.0 + 0.01 * pnk); }
inline double forest_worker_wage(const State& s) { return wage_with_pnk(s.gf_fw, s.gf_nfw); }
inline double operator_wage(const State& s) { return wage_with_pnk(s.gf_mf, s.gf_nmf); }

// Paid hours of the crew per machine working hour: a machine operator is
// paid for 1.25 hours, the skidder's operator for 1/0.9 of its time.
inline constexpr double kOperatorHours = 1.25;
inline constexpr double kSkidderOperatorHours = 1.1111111111111112;  // 1 / 0.9

// The seven machines with an operator, in the cost dialog's order (its
// fields 20300 ... 20306): the machine cost without wage that each adds to.
inline constexpr std::array<double State::*, 7> kCostsWithWage = {
    &State::gf_ss, &State::gf_hab112, &State::gf_fob149, &State::gf_hfsab186,
    &State::gf_hhb223, &State::gf_hfb260, &State::gf_mskb297};

// The machine-hour cost of each of those machines with the wage of its
// crew [Euro/MAS]. The yarder needs two operators and two forest workers.
inline std::array<double, 7> costs_with_wage(const State& s) {
    const double fw = forest_worker_wage(s), mf = operator_wage(s);
    std::array<double, 7> out{};
    for (std::size_t k = 0; k < out.size(); ++k) {
        const double machine = s.*kCostsWithWage[k];
        if (kCostsWithWage[k] == &State::gf_ss)
            out[k] = machine + kSkidderOperatorHours * mf;
        else if (kCostsWithWage[k] == &State::gf_mskb297)
            out[k] = machine + 2.0 * kOperatorHours * mf + 2.0 * kOperatorHours * fw;
        else
            out[k] = machine + kOperatorHours * mf;
    }
    return out;
}

}  // namespace forstrix
