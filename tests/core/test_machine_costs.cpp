// Machine-hour cost calculation and the figures of the basics
// dialogs that come from the same formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "core/calc.h"
#include "support.h"

namespace forstrix {
namespace {

using test::Rounds;

TEST(Chainsaw, DefaultBasics) {
    State s{};
    calc_motorsaege(s);
    EXPECT_TRUE(Rounds(s.gf_msc31, 0.8, 6));
    EXPECT_TRUE(Rounds(s.gf_msc32, 1.745, 6));
    EXPECT_TRUE(Rounds(s.gf_msc33, 3.674, 6));  // mixed price 9 / 50 + 1.3 = 1.48 per litre
    EXPECT_TRUE(Rounds(s.gf_msc34, 0.106667, 6));
    EXPECT_EQ(s.gf_msc35, 0.3);
    EXPECT_TRUE(Rounds(s.gf_msc37, 6.625667, 6));
    EXPECT_TRUE(Rounds(s.gf_msc38, 0.110428, 6));
    EXPECT_EQ(s.gf_msc38, s.gf_msc37 * 0.016666666666666666);
}

TEST(Chainsaw, ReadyMixReplacesTheMixedPrice) {
    for (auto change : std::initializer_list<std::function<void(State&)>>{
             [](State&) {}, [](State& s) { s.gf_msc19 = 99.0; }, [](State& s) { s.gf_msc20 = 0.5; },
             [](State& s) { s.gf_msc21 = 0.0; }}) {
        State s{};
        s.gf_msc22 = 1.5;
        change(s);
        calc_motorsaege(s);
        EXPECT_TRUE(Rounds(s.gf_msc33, 3.7, 6));
        EXPECT_TRUE(Rounds(s.gf_msc37, 6.651667, 6));
        EXPECT_EQ(format_comma_2(s.gf_msc37), "6,65");
    }
}

struct MachineRow {
    const char* name;
    MachineId id;
    std::function<void(State&)> change;
    // D Q I F M O G at 6 decimals where given (negative: not stated), total
    // at `total_decimals`.
    std::array<double, 7> parts;
    double total;
    int total_decimals;
};

class Machine : public ::testing::TestWithParam<MachineRow> {};

TEST_P(Machine, Costs) {
    const MachineRow& r = GetParam();
    State s{};
    r.change(s);
    const MachineKind& kind = machine_kind(r.id);
    calc_machine(s, kind);
    for (int k = 0; k < 7; ++k)
        if (r.parts[k] >= 0.0) { EXPECT_TRUE(Rounds(s.*kind.results[k], r.parts[k], 6)) << "component " << k; }
    EXPECT_TRUE(Rounds(s.*kind.total(), r.total, r.total_decimals));
    // The total is the sum of the stored components, in order.
    double sum = 0.0;
    for (int k = 0; k < 7; ++k) sum += s.*kind.results[k];
    EXPECT_EQ(s.*kind.total(), sum);
}

constexpr double kNo = -1.0;
const std::array<double, 7> kUnstated{kNo, kNo, kNo, kNo, kNo, kNo, kNo};

std::vector<MachineRow> machine_rows() {
    auto none = [](State&) {};
    return {
        // Only the skidder takes the obsolescence basis: 11000 / 10 = 1100 > 1000.
        {"SkidderObsolescenceBasis", MachineId::asb, none,
         {10.0, 4.958678, 4.0, 6.325, 1.0, 14.0, 5.0}, 45.283678, 6},
        // 15000 / 8 = 1875 < 2000: useful-life basis.
        {"HarvesterUsefulLifeBasis", MachineId::hab, none,
         {30.0, 33.0, 9.0, 20.93, 2.25, 31.5, 11.25}, 137.93, 6},
        {"ForwarderDefault", MachineId::fob, none, kUnstated, 77.314118, 6},
        {"HarvesterFsaDefault", MachineId::hfsab, none, kUnstated, 111.93, 6},
        {"SlopeHarvesterDefault", MachineId::hhb, none, kUnstated, 156.13, 6},
        {"SlopeForwarderDefault", MachineId::hfb, none, kUnstated, 88.902353, 6},
        // 10000 / 10 = 1000 = A: both bases agree, the useful-life one is taken.
        {"YarderAtEquality", MachineId::mskb, none,
         {50.0, 60.0, 20.0, 24.15, 5.0, 70.0, 25.0}, 254.15, 6},
        // Basics dialogs: residual value against the purchase price.
        {"HarvesterResidual2000Negative", MachineId::hab, [](State& s) { s.gf_hab53 = 2000.0; },
         kUnstated, -52.07, 2},
        {"HarvesterResidual500StillPositive", MachineId::hab, [](State& s) { s.gf_hab53 = 500.0; },
         kUnstated, 90.43, 2},
        {"HarvesterProfitZero", MachineId::hab, [](State& s) { s.gf_hab56 = 0.0; },
         {30.0, 33.0, 9.0, 20.93, 2.25, 31.5, 0.0}, 126.68, 6},
    };
}

INSTANTIATE_TEST_SUITE_P(Part14, Machine, ::testing::ValuesIn(machine_rows()),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(Machine, EqualityBasisGivesSameDepreciationBothWays) {
    // At N / V = A the obsolescence basis would give the same D and Q.
    const MachineBasics b = machine_basics(State{}, machine_kind(MachineId::mskb));
    const double P = b[0], V = b[1], N = b[2], A = b[3], r = b[4], R = b[9];
    EXPECT_EQ(N / V, A);
    const MachineCosts k = machine_costs(b);
    EXPECT_DOUBLE_EQ(k.depreciation, (P * 1000.0 - R * 1000.0) / (A * V));
    EXPECT_DOUBLE_EQ(k.repair, (P - R) * 1000.0 / N * r * (A * V / N));
}

TEST(Machine, OneFormulaForAllSevenKinds) {
    // Each kind's operation equals the pure formula over its own basics and
    // touches no other kind's results.
    for (const MachineKind& kind : kMachineKinds) {
        State s{};
        const State before = s;
        calc_machine(s, kind);
        const auto want = machine_costs(machine_basics(s, kind)).as_array();
        for (int k = 0; k < kResultsPerMachine; ++k) EXPECT_EQ(s.*kind.results[k], want[k]) << kind.stem;
        for (const MachineKind& other : kMachineKinds) {
            if (&other == &kind) continue;
            for (int k = 0; k < kResultsPerMachine; ++k)
                EXPECT_EQ(s.*other.results[k], before.*other.results[k]) << kind.stem << " touched " << other.stem;
        }
        EXPECT_EQ(s.gf_msc37, before.gf_msc37);
        EXPECT_EQ(s.gf_ss, before.gf_ss);
    }
}

TEST(Machine, EvaluatedOverAWorkingCopyOfTheState) {
    // What a basics dialog does: copy, set its working values, compute.
    State s{};
    startup_compute(s);
    State work = s;
    work.gf_hab53 = 500.0;
    calc_machine(work, machine_kind(MachineId::hab));
    EXPECT_TRUE(Rounds(work.gf_hab112, 90.43, 2));
    EXPECT_TRUE(Rounds(s.gf_hab112, 137.93, 6));  // the original is untouched
    EXPECT_EQ(s.gf_hab53, 0.0);
}

TEST(Machine, AllEightInTheFixedOrder) {
    State s{};
    calc_all_machines(s);
    EXPECT_TRUE(Rounds(s.gf_msc37, 6.625667, 6));
    EXPECT_TRUE(Rounds(s.gf_asb75, 45.283678, 6));
    EXPECT_TRUE(Rounds(s.gf_hab112, 137.93, 6));
    EXPECT_TRUE(Rounds(s.gf_fob149, 77.314118, 6));
    EXPECT_TRUE(Rounds(s.gf_hfsab186, 111.93, 6));
    EXPECT_TRUE(Rounds(s.gf_hhb223, 156.13, 6));
    EXPECT_TRUE(Rounds(s.gf_hfb260, 88.902353, 6));
    EXPECT_TRUE(Rounds(s.gf_mskb297, 254.15, 6));
    EXPECT_EQ(s.gf_ss, 0.0);  // only the start-up copies it
}

TEST(Machine, DialogCostLabelsWithTheDefaults) {
    // Basics dialogs: the cost labels at opening.
    State s{};
    calc_all_machines(s);
    EXPECT_EQ(format_comma_2(s.gf_msc37), "6,63");
    EXPECT_EQ(format_comma_2(s.gf_asb75), "45,28");
    EXPECT_EQ(format_comma_2(s.gf_hab112), "137,93");
    EXPECT_EQ(format_comma_2(s.gf_fob149), "77,31");
    EXPECT_EQ(format_comma_2(s.gf_hfsab186), "111,93");
    EXPECT_EQ(format_comma_2(s.gf_hhb223), "156,13");
    EXPECT_EQ(format_comma_2(s.gf_hfb260), "88,90");
    EXPECT_EQ(format_comma_2(s.gf_mskb297), "254,15");
}

}  // namespace
}  // namespace forstrix
