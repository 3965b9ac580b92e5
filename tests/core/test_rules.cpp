// The checks the dialogs make before a value goes into the calculation
// state (the suitability bounds are the suitability table's own test).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/calc.h"
#include "core/checks.h"
#include "core/emissions.h"
#include "core/result_tables.h"
#include "core/scenario.h"
#include "support.h"

namespace forstrix {
namespace {

// The problems of `set` as the dialogs find them: each value by check_value
// (a refused one is not set), then the stand committed as the stand dialog
// commits it, check_stand and check_basics.
std::vector<Problem> problems(const char* set) {
    State s{};
    std::vector<Problem> out;
    for (const test::Item& i : test::items(set)) {
        const ValueInfo& v = test::value(i.name);
        if (auto p = check_value(v, i.value)) out.push_back(*p);
        else set_value(s, v, i.value);
    }
    s.gf_ii_rd = s.gf_i_rd;
    store(s, calc_bestand(stand_inputs(s)));
    s.set_flags(calc_eignung(suitability_inputs(s)));
    for (const auto& found : {check_stand(s), check_basics(s)}) out.insert(out.end(), found.begin(), found.end());
    return out;
}

TEST(Checks, RefusedValuesNameTheValue) {
    struct Row {
        const char* set;
        std::vector<std::string> names;
        const char* message = "";  // part of the first message
    };
    const Row rows[] = {
        {"gi_ba=10", {"gi_ba"}}, {"gi_ba=1.5", {"gi_ba"}}, {"gi_bhd=5", {"gi_bhd"}}, {"gi_bhd=91", {"gi_bhd"}},
        {"gi_bhd=95", {"gi_bhd"}, "gi_bhd: 95 liegt nicht im erlaubten Bereich 6 bis 90 (BHD [cm])."},
        {"gi_bhd=20.5", {"gi_bhd"}, "20,5 ist keine ganze Zahl"}, {"gi_sf=4", {"gi_sf"}}, {"gi_sf=-1", {"gi_sf"}},
        {"gi_hn=66", {"gi_hn"}}, {"gi_ar=2", {"gi_ar"}}, {"gi_br=2", {"gi_br"}}, {"gi_hvs=2", {"gi_hvs"}},
        {"gi_i_bb=6", {"gi_i_bb"}}, {"gi_ii_vzs=1", {"gi_ii_vzs"}}, {"gi_ii_vzs=86", {"gi_ii_vzs"}},
        {"gi_ii_vzs=4", {"gi_ii_vzs"}, "0 oder 5 bis 85"}, {"gi_v_sll=5", {"gi_v_sll"}}, {"gi_v_kf=3", {"gi_v_kf"}},
        {"gi_zest=9.99", {"gi_zest"}}, {"gi_zmgv=201", {"gi_zmgv"}}, {"gi_zest=200.5", {"gi_zest"}, "10 bis 200"},
        {"gf_vab=-1", {"gf_vab"}, "negativ"}, {"gf_vab=inf", {"gf_vab"}, "endliche Zahl"}, {"gf_gf=nan", {"gf_gf"}},
        {"gf_hab112=-1", {"gf_hab112"}}, {"gf_hab44=0", {"gf_hab44"}},
        {"gf_hab46=0", {"gf_hab46"}, "Normale Nutzungsdauer"}, {"gf_asb56=0", {"gf_asb56"}},
        {"gf_mskb54=0", {"gf_mskb54"}}, {"gf_hfsab49=0", {"gf_hfsab49"}}, {"gf_msc8=0", {"gf_msc8"}},
        {"gf_msc19=0", {"gf_msc19"}}, {"gf_msc27=0", {"gf_msc27"}}, {"gf_hhb44=-1", {"gf_hhb44"}},
        {"gc_stm=0.3", {"gc_stm"}, "kann nicht gesetzt werden"}, {"g_sys4=1", {"g_sys4"}},
        {"gff_g45=1", {"gff_g45"}}, {"gf_asb75=45", {"gf_asb75"}}, {"gf_msc31=1", {"gf_msc31"}},
        {"co2_sys1=1", {"co2_sys1"}, "Ergebnis"}, {"diesel_sys6=1", {"diesel_sys6"}},
        // the emission factors: greater than 0, at most 10
        {"gf_co2_diesel=0", {"gf_co2_diesel"}, "gf_co2_diesel: 0 ist nicht erlaubt (\u201EDiesel (Maschinen) [kg CO2e/l]\u201C); erwartet wird ein Wert größer als 0 und höchstens 10."},
        {"gf_co2_benzin=10.01", {"gf_co2_benzin"}, "10,01 ist nicht erlaubt"},
        {"gf_co2_diesel=26.7", {"gf_co2_diesel"}}, {"gf_co2_benzin=-2.42", {"gf_co2_benzin"}, "negativ"},
        // beyond the range of a decimal, and below the smallest divisor
        {"gf_fw=1000000.01", {"gf_fw"}, "gf_fw: 1000000,01 liegt nicht im erlaubten Bereich 0 bis 1000000 "
                                        "(Forstwirt (ohne PNK) [Euro/Std.])."},
        {"gf_gf=100000.5", {"gf_gf"}, "Bereich 0 bis 100000 (Gesamtfläche"},
        {"gf_stm=0.00009", {"gf_stm"}, "Bereich 0 oder 0,0001 bis 100 (Stückvolumen"},
        {"gf_hab44=100001", {"gf_hab44"}, "Bereich 0 bis 100000 (Beschaffungspreis"},
        {"gf_msc8=8761", {"gf_msc8"}, "0,01 bis 8760"}, {"gf_asb47=0.001", {"gf_asb47"}},
        {"gf_msc7=100.5", {"gf_msc7"}}, {"gf_nmf=1001", {"gf_nmf"}}, {"gf_mskb297=1e25", {"gf_mskb297"}},
        // the stand dialog
        {"gf_vab=0", {"gf_vab"}, "Volumens des ausscheidenden Bestands"}, {"gf_gf=0", {"gf_gf"}},
        {"gf_vab=0 gf_gf=0", {"gf_vab", "gf_gf"}}, {"gf_i_rd=0", {"gf_i_rd", "gf_ii_rd"}},
        {"gf_i_bse=0", {"gf_i_bse"}, "System I"},
        // the basics dialogs
        {"gf_msc21=0", {"gf_msc21"}}, {"gf_hab53=2000", {"gf_hab112"}, "-52,07 Euro/MAS"},
        {"gf_fob45=0 gf_fob46=0 gf_fob47=0", {"gf_fob45", "gf_fob46", "gf_fob47"}},
        // accepted
        {"", {}}, {"gf_hab56=0 gf_asb53=0 gf_hab45=8.5", {}}, {"gf_msc21=0 gf_msc22=1.5", {}},
        {"gf_hab53=500", {}}, {"gi_hn=40 gf_i_rd=0 gf_i_bse=0", {}},  // I and II unsuitable: not needed
    };
    for (const Row& r : rows) {
        const std::vector<Problem> found = problems(r.set);
        std::vector<std::string> names;
        for (const Problem& p : found) {
            names.push_back(p.name);
            EXPECT_EQ(p.message.rfind(p.name + ": ", 0), 0u) << p.message;
        }
        EXPECT_EQ(names, r.names) << r.set;
        if (!found.empty()) { EXPECT_NE(found[0].message.find(r.message), std::string::npos) << found[0].message; }
    }
    // Values at the edges of their ranges that the grid below does not draw.
    for (const test::Item& i : test::items("gf_vab=0 gf_bh=0 gf_ss=0 gf_msc22=0 gi_zest=160.7 gi_ii_vzs=5"))
        EXPECT_EQ(check_value(test::value(i.name), i.value), std::nullopt) << i.name << "=" << i.text;
}

// Inputs anywhere in their ranges, drawn at random, and every input at its
// smallest and at its largest value: each is accepted on its own; a
// scenario is refused with a reason, or every figure is a finite number and
// no time, cost or litre per Fm of a suitable system is negative.
TEST(Checks, NoInputWithinItsRangeGivesAFigureThatCannotBe) {
    std::mt19937_64 random(20261207);
    int computed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<Given> given;
        for (const ValueInfo& v : value_registry()) {
            const ValueRange* r = value_range(v);
            if (r == nullptr || v.d == &State::gf_ii_rd) continue;
            const double lo = std::max(r->lo, v.type == ValueType::Double ? 1e-4 : 0.0);
            // Decimals spread over every power of ten of their range, whole
            // numbers evenly.
            const double u = std::uniform_real_distribution<>(0, 1)(random);
            double x = round == 0 ? r->hi : round == 1 ? lo
                     : v.type == ValueType::Double ? lo * std::pow(r->hi / lo, u)
                                                   : std::min(std::floor(lo + u * (r->hi - lo + 1)), r->hi);
            // A residual value above the price is refused as a negative cost.
            if (v.kind == ValueKind::MachineBasic && v.name.ends_with("53") && round > 1)
                x = given[given.size() - 9].value * std::uniform_real_distribution<>(0, 1)(random);
            EXPECT_EQ(check_value(v, x), std::nullopt) << v.name << "=" << x;
            given.push_back({&v, x});
        }
        State s{};
        ScenarioOutcome outcome;
        compute_scenario(s, given, nullptr, outcome);
        for (const Problem& p : outcome.problems) EXPECT_EQ(p.message.rfind(p.name + ": ", 0), 0u) << p.message;
        if (!outcome.ok()) continue;
        if (const std::optional<Problem> p = check_results_finite(s)) {
            EXPECT_NE(p->message.find("negative Zeit je Fm"), std::string::npos) << p->message;
            continue;
        }
        ++computed;
        for (const ValueInfo& v : value_registry()) {
            if (v.type == ValueType::Double) { ASSERT_TRUE(std::isfinite(s.*v.d)) << v.name << " in round " << round; }
        }
        for (std::size_t k = 0; k < system_results().size(); ++k) {
            if (s.flags()[k] == 0) continue;
            for (const ResultRow& row : system_results()[k].rows) EXPECT_GE(s.*row.cost, 0.0) << round;
            for (const ResultSum& sum : system_results()[k].sums) EXPECT_GE(s.*sum.cost, 0.0) << round;
            for (const auto figure : {kDieselPerFm[k], kBenzinPerFm[k], kCo2PerFm[k]}) EXPECT_GE(s.*figure, 0.0);
        }
    }
    EXPECT_GT(computed, 300);
}

// A refusal of a text names the value and says why, the text escaped: a
// text too large for a double is too large, a lone separator no number;
// neither reads as infinity or 0.
TEST(Checks, TextIsReadAsTheDialogsReadIt) {
    EXPECT_EQ(read_value(test::value("gi_zest"), "160,7").value, 160.7);
    const std::pair<std::string, const char*> refused[] = {
        {"1,5,0", "Punkt oder Komma"}, {std::string(309, '9'), "ist zu groß"},
        {std::string(400, '1') + ",5", "ist zu groß"}, {".", "ist keine Zahl"}, {",", "ist keine Zahl"},
        {"\x1b[31m", "\u201E\\x1B[31m\u201C"}};
    for (const auto& [text, says] : refused) {
        const ReadResult r = read_value(test::value("gf_gf"), text);
        ASSERT_TRUE(r.problem) << text;
        EXPECT_EQ(r.problem->message.rfind("gf_gf: ", 0), 0u);
        EXPECT_NE(r.problem->message.find(says), std::string::npos) << r.problem->message;
    }
    EXPECT_EQ(unknown_value("gi_\x1b[2J").name, "gi_\\x1B[2J");
}

TEST(Checks, PlausibilityOfOwnHeightAndPieceVolume) {
    // The model gives 18.9091 m and 0.235243 EFm; a quarter either way passes.
    for (const auto& [set, warning] : {std::pair{"gf_bh=30", "gf_bh: Kontrollieren Sie Ihre Höheneingabe"},
                                       {"gf_stm=0.5", "gf_stm: Kontrollieren Sie Ihre Stückvolumeneingabe"},
                                       {"gf_bh=23.63", ""}, {"gf_bh=14.19", ""}, {"gf_stm=0.25 gf_bh=30", "gf_bh:"}}) {
        State s{};
        test::apply(s, set);
        const std::vector<std::string> w = plausibility_warnings(s);
        ASSERT_EQ(w.size(), *warning ? 1u : 0u) << set;
        if (*warning) { EXPECT_EQ(w[0].rfind(warning, 0), 0u) << w[0]; }
    }
}

}  // namespace
}  // namespace forstrix
