// The figures of a harvest plan: which systems suit a stand, the cheapest,
// the planner's choice and its fallback, the hours of the time lines, and
// the plan's totals with refused stands and stands without a system.
#include <gtest/gtest.h>

#include <string>

#include "core/calc.h"
#include "core/plan.h"
#include "support.h"

namespace forstrix {
namespace {

using plan::kNone;

TEST(PlanFigures, SuitsCheapestAndChoice) {
    struct Row {
        const char* name;
        const char* values;  // flags and sums on a state that no system suits
        int wanted;
        const char* suitable;  // '1' per suitable system I..VI
        int cheapest, chosen;
    };
    const Row rows[] = {
        {"measured_sums_compare", "g_sys1=1 g_sys3=1 gff_g7=10 gff_g8=30 gff_g24=20", kNone, "101000", 2, 2},
        {"choice_kept_where_it_suits", "g_sys1=1 g_sys3=1 gff_g8=30 gff_g24=20", 0, "101000", 2, 0},
        {"unsuitable_choice_falls_back", "g_sys1=1 g_sys3=1 gff_g8=30 gff_g24=20 gff_g31=5", 3, "101000", 2, 2},
        {"flag_without_price_does_not_suit", "g_sys5=1 g_sys6=1 gff_g39=-3 gff_g45=40", 4, "000001", 5, 5},
        {"zero_sum_does_not_suit", "g_sys2=1 g_sys4=1 gff_g16=0 gff_g31=7", kNone, "000100", 3, 3},
        {"infinite_sum_does_not_suit", "g_sys2=1 g_sys4=1 gff_g16=inf gff_g31=7", 1, "000100", 3, 3},
        {"tie_to_the_lower_number", "g_sys3=1 g_sys4=1 gff_g24=12 gff_g31=12", kNone, "001100", 2, 2},
        {"tie_choice_of_the_higher_kept", "g_sys3=1 g_sys4=1 gff_g24=12 gff_g31=12", 3, "001100", 2, 3},
        {"none_suits", "gff_g24=12", 2, "000000", kNone, kNone},
        {"out_of_range_choice_ignored", "g_sys2=1 gff_g16=14", 6, "010000", 1, 1},
    };
    for (const Row& r : rows) {
        State s;
        s.set_flags({});
        test::apply(s, r.values);
        s.gc_vhieb = 100.0;
        const plan::StandFigures f = plan::stand_figures(s, r.wanted);
        std::string suitable;
        for (int k = 0; k < plan::kSystems; ++k) {
            suitable += f.suitable[static_cast<std::size_t>(k)] ? '1' : '0';
            EXPECT_EQ(plan::suits(s, k), f.suitable[static_cast<std::size_t>(k)]) << r.name << " system " << k;
        }
        EXPECT_EQ(suitable, r.suitable) << r.name;
        EXPECT_EQ(f.cheapest, r.cheapest) << r.name;
        EXPECT_EQ(f.chosen, r.chosen) << r.name;
        EXPECT_EQ(f.any_suitable(), r.cheapest != kNone) << r.name;
    }
}

// The default stand of 1500 EFm: the chosen system's amounts and the time
// lines' hours for the whole harvest (each resource's lines: test_capacity).
TEST(PlanFigures, AmountsAndHoursOfAComputedStand) {
    State s{};
    startup_compute(s);
    calc_zeitbedarfkosten(s);
    const plan::StandFigures f = plan::stand_figures(s, 0);
    ASSERT_EQ(f.chosen, 0);
    EXPECT_EQ(f.cheapest, 2);
    EXPECT_DOUBLE_EQ(f.volume, 1500.0);

    const plan::Amounts a = plan::amounts(f, 0);
    EXPECT_DOUBLE_EQ(a.euro_fm, s.gff_g8);
    EXPECT_DOUBLE_EQ(a.euro, s.gff_g8 * 1500.0);
    EXPECT_DOUBLE_EQ(a.diesel_l, s.diesel_sys1 * 1500.0);
    EXPECT_DOUBLE_EQ(a.petrol_l, s.benzin_sys1 * 1500.0);
    EXPECT_DOUBLE_EQ(a.co2_kg, s.co2_sys1 * 1500.0);
    EXPECT_DOUBLE_EQ(plan::amounts(f, 2).euro_fm, s.gff_g24);

    // Hours for the whole stand: minutes per Fm turned into hours, machine hours as they are.
    const auto lines = plan::time_lines();
    ASSERT_EQ(lines.size(), plan::kTimeLines);
    EXPECT_EQ(lines[0].value->name, "gff_e3");
    EXPECT_DOUBLE_EQ(f.hours[0], s.gff_e3 * 1500.0 / 60.0);
    EXPECT_EQ(lines[22].value->name, "gff_e44");
    EXPECT_DOUBLE_EQ(f.hours[22], s.gff_e44 * 1500.0);
}

plan::StandFigures stand(double volume, int cheapest, int chosen, double euro_fm, double co2_fm) {
    plan::StandFigures f;
    f.computed = true;
    f.volume = volume;
    f.cheapest = cheapest;
    f.chosen = chosen;
    if (chosen != kNone) {
        const auto i = static_cast<std::size_t>(chosen);
        f.suitable[i] = true;
        f.euro_fm[i] = euro_fm;
        f.diesel_fm[i] = 2.0;
        f.petrol_fm[i] = 0.5;
        f.co2_fm[i] = co2_fm;
    }
    for (std::size_t n = 0; n < plan::kTimeLines; ++n) f.hours[n] = volume * static_cast<double>(n + 1);
    return f;
}

TEST(PlanFigures, TotalsCountRefusedAndStandsWithoutSystem) {
    std::vector<plan::StandFigures> stands = {
        stand(100, 2, 2, 20.0, 3.0), stand(300, 2, 0, 30.0, 1.0), plan::StandFigures{},
        stand(50, kNone, kNone, 0.0, 0.0), stand(200, 2, 2, 10.0, 2.0), plan::StandFigures{},
    };
    const plan::Totals t = plan::totals(stands);
    EXPECT_EQ(t.stands, 6);
    EXPECT_EQ(t.refused, 2);
    EXPECT_EQ(t.without_system, 1);
    EXPECT_DOUBLE_EQ(t.volume, 600.0);
    EXPECT_DOUBLE_EQ(t.euro, 2000.0 + 9000.0 + 2000.0);
    EXPECT_DOUBLE_EQ(t.euro_fm(), 13000.0 / 600.0);
    EXPECT_DOUBLE_EQ(t.diesel_l, 1200.0);
    EXPECT_DOUBLE_EQ(t.petrol_l, 300.0);
    EXPECT_DOUBLE_EQ(t.co2_kg, 300.0 + 300.0 + 400.0);

    struct Row {
        int system;
        long stands;
        double volume, euro, co2;
    };
    const Row rows[] = {{0, 1, 300, 9000, 300}, {1, 0, 0, 0, 0}, {2, 2, 300, 4000, 700}, {5, 0, 0, 0, 0}};
    const auto lines = plan::time_lines();
    for (const Row& r : rows) {
        const plan::SystemTotals& s = t.systems[static_cast<std::size_t>(r.system)];
        EXPECT_EQ(s.stands, r.stands) << r.system;
        EXPECT_DOUBLE_EQ(s.volume, r.volume) << r.system;
        EXPECT_DOUBLE_EQ(s.euro, r.euro) << r.system;
        EXPECT_DOUBLE_EQ(s.co2_kg, r.co2) << r.system;
        // Only the system's own lines carry hours: the sum of its stands' hours.
        for (std::size_t n = 0; n < plan::kTimeLines; ++n) {
            const double want = lines[n].system == r.system ? r.volume * static_cast<double>(n + 1) : 0.0;
            EXPECT_DOUBLE_EQ(s.hours[n], want) << r.system << " line " << n;
        }
    }
    EXPECT_DOUBLE_EQ(plan::Totals{}.euro_fm(), 0.0);
}

}  // namespace
}  // namespace forstrix
