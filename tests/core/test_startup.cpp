// Start-up computation and the life of the state.
#include <gtest/gtest.h>

#include "core/calc.h"
#include "core/registry.h"
#include "support.h"

namespace forstrix {
namespace {

using test::Rounds;

TEST(StartUp, DefaultsWithoutBasicsFile) {
    State s{};
    startup_compute(s);
    EXPECT_TRUE(Rounds(s.gf_ss, 45.283678, 6));
    EXPECT_EQ(s.gf_ss, s.gf_asb75);
    EXPECT_EQ(s.flags(), (std::array<std::int32_t, 6>{1, 1, 1, 0, 0, 0}));
    EXPECT_TRUE(Rounds(s.gc_hoehe, 18.9091, 4));
    EXPECT_TRUE(Rounds(s.gc_stm, 0.235243, 6));
    EXPECT_TRUE(Rounds(s.gc_stmvoll, 0.163232, 6));
    EXPECT_TRUE(Rounds(s.gc_stmderb, 0.143498, 6));
    EXPECT_EQ(s.gc_vhieb, 1500.0);
    // The results of the time-and-cost model are not computed at start-up.
    for (const ValueInfo& v : value_registry())
        if (v.kind == ValueKind::Result) { EXPECT_EQ(get_value(s, v), 0.0) << v.name; }
}

TEST(StartUp, FlagsKeepTheirValues) {
    State s{};
    s.set_flags({0, 1, 0, 1, 0, 1});
    s.gi_hn = 40;  // the rules would say otherwise; start-up does not evaluate them
    startup_compute(s);
    EXPECT_EQ(s.flags(), (std::array<std::int32_t, 6>{0, 1, 0, 1, 0, 1}));
}

TEST(StartUp, FarmTractorBasicsLaterLeaveGfSs) {
    State s{};
    startup_compute(s);
    const double ss = s.gf_ss;
    s.gf_asb44 = 200.0;
    calc_machine(s, machine_kind(MachineId::asb));
    EXPECT_NE(s.gf_asb75, ss);
    EXPECT_EQ(s.gf_ss, ss);
    calc_all_machines(s);  // a load of the basics from the menu
    EXPECT_EQ(s.gf_ss, ss);
}

TEST(StartUp, TypedHarvesterCostHoldsUntilItsBasicsAreComputed) {
    State s{};
    startup_compute(s);
    s.gf_hab112 = 99.0;  // the cost dialog
    calc_zeitbedarfkosten(s);
    EXPECT_DOUBLE_EQ(s.gff_g20, s.gff_e20 * 99.0);
    calc_machine(s, machine_kind(MachineId::hab));  // its basics dialog closes
    EXPECT_TRUE(Rounds(s.gf_hab112, 137.93, 6));
}

TEST(StartUp, OverridesAreHonouredWhenPresent) {
    State s{};
    s.gf_bh = 25.0;
    startup_compute(s);
    EXPECT_EQ(s.gc_hoehe, 25.0);
}

}  // namespace
}  // namespace forstrix
