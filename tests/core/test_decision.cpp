// The decision for a stand: the cheapest competing system, the whole
// measure's cost, and the runner-up, in the words that are shown.
#include <gtest/gtest.h>

#include "core/calc.h"
#include "core/decision.h"
#include "core/suitability.h"
#include "support.h"

namespace forstrix {
namespace {

TEST(Decision, ThousandsAsGermanTextsWriteThem) {
    const std::pair<double, const char*> rows[] = {{0.0, "0"},          {999.49, "999"},    {999.5, "1.000"},
                                                   {2.5, "3"},          {32608.2, "32.608"}, {1234567.0, "1.234.567"},
                                                   {-1500.0, "-1.500"}, {-0.4, "0"}};
    for (const auto& [v, text] : rows) EXPECT_EQ(format_thousands(v), text) << v;
}

TEST(Decision, CheapestAndRunnerUp) {
    struct Row {
        const char* name;
        const char* values;  // flags and sums on a state that no system suits
        int best, second;
        const char* summary;  // for 100 EFm
    };
    // I and II compete by their sums inklusive Vermessung (gff_g8, gff_g16).
    const Row rows[] = {
        {"measured_sums_compete", "g_sys1=1 g_sys3=1 gff_g7=10 gff_g8=30 gff_g24=20", 2, 0,
         "III) Hochmechanisierte Holzernte: 20,00 Euro/Fm, 2.000 Euro für die Maßnahme"},
        {"second_system_II", "g_sys2=1 g_sys6=1 gff_g15=5 gff_g16=15 gff_g45=16", 1, 5,
         "II) Integrierte Holzernte: 15,00 Euro/Fm, 1.500 Euro für die Maßnahme"},
        {"unsuitable_never_competes", "g_sys4=1 gff_g24=1 gff_g31=25", 3, -1, nullptr},
        {"sum_not_above_zero_never_competes", "g_sys5=1 g_sys6=1 gff_g39=-3 gff_g45=40", 5, -1, nullptr},
        {"tie_keeps_the_lower_numeral", "g_sys3=1 g_sys4=1 gff_g24=12 gff_g31=12", 2, 3, nullptr},
        {"none_suits", "gff_g24=12", -1, -1, kNoSuitableSystem},
    };
    for (const Row& r : rows) {
        State s;
        s.set_flags({});
        test::apply(s, r.values);
        s.gc_vhieb = 100.0;
        const Decision d = decide(s);
        EXPECT_EQ(d.best, r.best) << r.name;
        EXPECT_EQ(d.second, r.second) << r.name;
        if (r.summary != nullptr) { EXPECT_EQ(decision_summary(d), r.summary) << r.name; }
        EXPECT_EQ(decision_lines(d, s).size(), r.best < 0 ? 1u : 3u) << r.name;
    }
}

// The default stand as computed, then with BHD 16 as the stand dialog
// commits it (chipwood admitted): the words of the results, the sheet and
// the status line.
TEST(Decision, WordsForAComputedStand) {
    State s{};
    startup_compute(s);
    calc_zeitbedarfkosten(s);
    EXPECT_EQ(decision_lines(decide(s), s), (std::vector<std::string>{
        "Am günstigsten: III) Hochmechanisierte Holzernte mit 21,74 Euro/Fm",
        "Gesamte Maßnahme (1.500 EFm): 32.608 Euro, Kraftstoff 2.803 l, CO2 7.483 kg",
        "Zweitgünstigstes: I) Konventionelle Holzernte mit 28,15 Euro/Fm inklusive Vermessung, 6,41 Euro/Fm mehr"}));
    s.gi_bhd = 16;
    store(s, calc_bestand(stand_inputs(s)));
    s.set_flags(calc_eignung(suitability_inputs(s)));
    calc_zeitbedarfkosten(s);
    EXPECT_EQ(decision_summary(decide(s)), "VI) Spanholz: 23,97 Euro/Fm, 35.956 Euro für die Maßnahme");
}

}  // namespace
}  // namespace forstrix
