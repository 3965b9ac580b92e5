// The inputs of the cost dialog: wages, ancillary wage costs (PNK), the two
// performance levels (Zeitgrad) and the eight machine costs without wage, in
// the dialog's order, with the labels and units the user knows them by. The
// dialog edits them; the result sheet prints them as the basics of a result.
#pragma once

#include <array>
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

}  // namespace forstrix
