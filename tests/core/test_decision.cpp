// The decision for a stand: the cheapest competing system, the whole
// measure's cost, fuel and CO2, and the runner-up, in the words the results
// dialog, the sheet and the status line show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc.h"
#include "core/decision.h"
#include "support.h"

namespace forstrix {
namespace {

TEST(Decision, ThousandsAsGermanTextsWriteThem) {
    const std::pair<double, const char*> rows[] = {
        {0.0, "0"},         {999.49, "999"},         {999.5, "1.000"},     {32608.2, "32.608"},
        {2.5, "3"},         {1234567.0, "1.234.567"}, {-1500.0, "-1.500"},  {-0.4, "0"},
    };
    for (const auto& [v, text] : rows) EXPECT_EQ(format_thousands(v), text) << v;
}

TEST(Decision, CheapestAndRunnerUp) {
    struct Row {
        const char* name;
        const char* values;  // flags and sums on top of a state without any
        int best, second;
        double measure;      // Euro for gc_vhieb = 100
    };
    // Without measuring (gff_g7, gff_g15) I and II would be cheapest in
    // several rows: they compete by their sums inklusive Vermessung.
    const Row rows[] = {
        {"measured_sums_compete", "g_sys1=1 g_sys3=1 gff_g7=10 gff_g8=30 gff_g24=20", 2, 0, 2000.0},
        {"second_system_II", "g_sys2=1 g_sys6=1 gff_g15=5 gff_g16=15 gff_g45=16", 1, 5, 1500.0},
        {"unsuitable_never_competes", "g_sys4=1 gff_g24=1 gff_g31=25", 3, -1, 2500.0},
        {"sum_not_above_zero_never_competes", "g_sys5=1 g_sys6=1 gff_g39=-3 gff_g45=40", 5, -1, 4000.0},
        {"tie_keeps_the_lower_numeral", "g_sys3=1 g_sys4=1 gff_g24=12 gff_g31=12", 2, 3, 1200.0},
        {"none_suits", "gff_g24=12 gff_g31=12", -1, -1, 0.0},
    };
    for (const Row& r : rows) {
        State s;
        s.set_flags({});
        test::apply(s, r.values);
        s.gc_vhieb = 100.0;
        const Decision d = decide(s);
        EXPECT_EQ(d.best, r.best) << r.name;
        EXPECT_EQ(d.second, r.second) << r.name;
        EXPECT_DOUBLE_EQ(d.measure, r.measure) << r.name;
        EXPECT_EQ(decision_lines(d, s).size(), r.best < 0 ? 1u : 3u) << r.name;
    }
}

// The default stand as the desktop program starts with it.
TEST(Decision, DefaultStandInWords) {
    State s;
    startup_compute(s);
    calc_zeitbedarfkosten(s);
    const Decision d = decide(s);
    ASSERT_EQ(d.best, 2);
    // The measure from the unrounded sum: 1500 EFm × 21.7388... Euro/Fm.
    EXPECT_DOUBLE_EQ(d.measure, s.gff_g24 * 1500.0);
    EXPECT_DOUBLE_EQ(d.co2, s.co2_sys3 * 1500.0);
    const std::vector<std::string> lines = decision_lines(d, s);
    EXPECT_EQ(lines[0], "Am günstigsten: III) Hochmechanisierte Holzernte mit 21,74 Euro/Fm");
    EXPECT_EQ(lines[1].rfind("Gesamte Maßnahme (1.500 EFm): 32.608 Euro, Kraftstoff ", 0), 0u) << lines[1];
    EXPECT_EQ(decision_summary(d),
              "III) Hochmechanisierte Holzernte: 21,74 Euro/Fm, 32.608 Euro für die Maßnahme");
    s.set_flags({});
    EXPECT_EQ(decision_lines(decide(s), s), std::vector<std::string>{kNoSuitableSystem});
}

}  // namespace
}  // namespace forstrix
