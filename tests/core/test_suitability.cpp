// The table of suitability conditions: every bound of every system, on
// both sides, with the reason it gives; all failing conditions in order.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/calc.h"
#include "core/suitability.h"
#include "support.h"

namespace forstrix {
namespace {

// Each row: a stand that suits `system` (0 for I); set to the row's limit
// it still suits, without a reason; changed by `set` just across that
// bound, it does not, with the one reason expected. The value's name is the
// name set, its limit the one the text states.
struct BoundRow {
    int system;
    const char* set;
    double limit;
    const char* text;
};

// Stands that suit the named systems (piece volume and harvest set directly).
const char* const kFlat = "gi_bhd=16 gi_hn=14 gc_stm=0.5 gc_vhieb=1500 gf_vab=30";  // I, II, III, VI
const char* const kSteep = "gi_bhd=16 gi_hn=40 gc_stm=0.5 gc_vhieb=1500 gf_vab=30 gi_hvs=1";  // IV, V

TEST(SuitabilityReasons, EveryConditionJustAcrossItsBound) {
    const BoundRow rows[] = {
        {0, "gi_bhd=14", 15, "BHD 14 cm: mindestens 15 cm"},
        {0, "gi_hn=36", 35, "Hangneigung 36 %: höchstens 35 %"},
        {0, "gi_br=1", 0, "Befahrbarkeit Rückegassen nicht vorhanden: erforderlich vorhanden"},
        {0, "gf_vab=9.99", 10, "Volumen ausscheidender Bestand 9,99 EFm/ha: mindestens 10 EFm/ha"},
        {0, "gc_vhieb=29.99", 30, "Gesamt-Hiebsanfall 29,99 EFm: mindestens 30 EFm"},
        {1, "gi_bhd=14", 15, "BHD 14 cm: mindestens 15 cm"},
        {1, "gc_stm=1.0001", 1.0, "Stückvolumen je Baum 1,0001 EFm: höchstens 1,0 EFm"},
        {1, "gi_hn=36", 35, "Hangneigung 36 %: höchstens 35 %"},
        {1, "gi_br=1", 0, "Befahrbarkeit Rückegassen nicht vorhanden: erforderlich vorhanden"},
        {1, "gf_vab=20", 30, "Volumen ausscheidender Bestand 20,00 EFm/ha: mindestens 30 EFm/ha"},
        {1, "gc_vhieb=99.99", 100, "Gesamt-Hiebsanfall 99,99 EFm: mindestens 100 EFm"},
        {2, "gi_bhd=11", 12, "BHD 11 cm: mindestens 12 cm"},
        {2, "gc_stm=0.82", 0.7, "Stückvolumen je Baum 0,8200 EFm: höchstens 0,7 EFm"},
        {2, "gi_hn=40", 35, "Hangneigung 40 %: höchstens 35 %"},
        {2, "gi_ar=1", 0, "Abstand Rückegassen über 20 m: erforderlich bis 20 m"},
        {2, "gi_br=1", 0, "Befahrbarkeit Rückegassen nicht vorhanden: erforderlich vorhanden"},
        {2, "gf_vab=29.99", 30, "Volumen ausscheidender Bestand 29,99 EFm/ha: mindestens 30 EFm/ha"},
        {2, "gc_vhieb=250", 300, "Gesamt-Hiebsanfall 250,00 EFm: mindestens 300 EFm"},
        {3, "gi_bhd=11", 12, "BHD 11 cm: mindestens 12 cm"},
        {3, "gc_stm=0.7001", 0.7, "Stückvolumen je Baum 0,7001 EFm: höchstens 0,7 EFm"},
        {3, "gi_hn=35", 36, "Hangneigung 35 %: mindestens 36 %"},
        {3, "gi_hn=61", 60, "Hangneigung 61 %: höchstens 60 %"},
        {3, "gi_ar=1", 0, "Abstand Rückegassen über 20 m: erforderlich bis 20 m"},
        {3, "gi_br=1", 0, "Befahrbarkeit Rückegassen nicht vorhanden: erforderlich vorhanden"},
        {3, "gf_vab=29.99", 30, "Volumen ausscheidender Bestand 29,99 EFm/ha: mindestens 30 EFm/ha"},
        {3, "gc_vhieb=299.99", 300, "Gesamt-Hiebsanfall 299,99 EFm: mindestens 300 EFm"},
        {4, "gi_bhd=14", 15, "BHD 14 cm: mindestens 15 cm"},
        {4, "gi_hn=35", 36, "Hangneigung 35 %: mindestens 36 %"},
        {4, "gi_hvs=0", 1, "Mindestvolumen [ > 70 EFm] je Seillinie nicht erreicht"},
        {4, "gf_vab=29.99", 30, "Volumen ausscheidender Bestand 29,99 EFm/ha: mindestens 30 EFm/ha"},
        {4, "gc_vhieb=499.99", 500, "Gesamt-Hiebsanfall 499,99 EFm: mindestens 500 EFm"},
        {5, "gi_bhd=20", 18, "BHD 20 cm: höchstens 18 cm"},
        {5, "gi_hn=36", 35, "Hangneigung 36 %: höchstens 35 %"},
        {5, "gi_ar=1", 0, "Abstand Rückegassen über 20 m: erforderlich bis 20 m"},
        {5, "gi_br=1", 0, "Befahrbarkeit Rückegassen nicht vorhanden: erforderlich vorhanden"},
        {5, "gf_vab=9.99", 10, "Volumen ausscheidender Bestand 9,99 EFm/ha: mindestens 10 EFm/ha"},
        {5, "gc_vhieb=299.99", 300, "Gesamt-Hiebsanfall 299,99 EFm: mindestens 300 EFm"},
    };
    for (const BoundRow& r : rows) {
        SCOPED_TRACE(r.set);
        State s{};
        test::apply(s, r.system == 3 || r.system == 4 ? kSteep : kFlat);
        const std::string name = test::items(r.set)[0].name;
        set_value(s, test::value(name), r.limit);
        ASSERT_EQ(calc_eignung(suitability_inputs(s))[static_cast<std::size_t>(r.system)], 1);
        EXPECT_TRUE(unsuitability_reasons(s, r.system).empty());
        test::apply(s, r.set);
        const std::vector<Reason> got = unsuitability_reasons(s, r.system);
        ASSERT_EQ(got.size(), 1u) << got[0].text;
        EXPECT_TRUE(got[0].name == name && got[0].text == r.text && got[0].limit == r.limit) << got[0].text;
        ASSERT_TRUE(got[0].value.has_value());
        EXPECT_EQ(*got[0].value, get_value(s, test::value(name)));
        EXPECT_EQ(got[0].whole, name.starts_with("gi_"));
        EXPECT_EQ(calc_eignung(suitability_inputs(s))[static_cast<std::size_t>(r.system)], 0);
    }
}

std::string names_of(const std::vector<Reason>& reasons) {
    std::string out;
    for (const Reason& r : reasons) out += (out.empty() ? "" : " ") + r.name;
    return out;
}

TEST(SuitabilityReasons, EveryFailingConditionInTheOrderOfTheStandDialog) {
    struct Row {
        const char* label;
        const char* set;  // over the default stand
        std::array<const char*, 6> names;
    };
    const Row rows[] = {
        {"default_stand", "", {"", "", "", "gi_hn", "gi_hn gi_hvs", "gi_bhd"}},
        // Yarding on trafficable ground at 40 %: the slope suits it.
        {"bhd_12_slope_40", "gi_bhd=12 gi_hn=40",
         {"gi_bhd gi_hn", "gi_bhd gi_hn", "gi_hn", "", "gi_bhd gi_hvs", "gi_hn"}},
        {"everything_missed", "gi_bhd=11 gc_stm=0.82 gi_hn=62 gi_ar=1 gi_br=1 gf_vab=5 gc_vhieb=20",
         {"gi_bhd gi_hn gi_br gf_vab gc_vhieb", "gi_bhd gi_hn gi_br gf_vab gc_vhieb",
          "gi_bhd gc_stm gi_hn gi_ar gi_br gf_vab gc_vhieb", "gi_bhd gc_stm gi_hn gi_ar gi_br gf_vab gc_vhieb",
          "gi_bhd gi_hvs gf_vab gc_vhieb", "gi_hn gi_ar gi_br gf_vab gc_vhieb"}},
        // Trails that cannot be driven on: yarding at any slope.
        {"trails_not_driven_flat", "gi_br=1 gi_hvs=1 gi_hn=0", {"gi_br", "gi_br", "gi_br", "gi_hn gi_br", "", "gi_bhd gi_br"}},
    };
    for (const Row& r : rows) {
        State s{};
        test::apply(s, "gc_stm=0.235243 gc_vhieb=1500");
        test::apply(s, r.set);
        const SystemReasons all = unsuitability_reasons(s);
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(names_of(all[i]), r.names[i]) << r.label << ", system " << i + 1;
            EXPECT_EQ(names_of(unsuitability_reasons(s, static_cast<int>(i))), r.names[i]) << r.label;
        }
    }
    const State s{};
    EXPECT_TRUE(unsuitability_reasons(s, -1).empty() && unsuitability_reasons(s, 6).empty());
    // Not valid: no system, whatever the stand; the table alone would admit I.
    const SuitabilityInputs invalid{false, 20, 14, 0, 0, 0, 30.0, 0.2, 1500.0};
    EXPECT_EQ(calc_eignung(invalid), (std::array<std::int32_t, 6>{}));
    EXPECT_EQ(failing_conditions(invalid) & system_conditions(0), 0u);
}

TEST(SuitabilityReasons, AnUnreadableFieldIsTheOneReasonOfEverySystem) {
    struct Row {
        const char* field;
        const char* text;
    };
    const Row rows[] = {
        {"gf_vab", "Volumen ausscheidender Bestand: Eingabe nicht lesbar"},
        {"gf_gf", "Gesamtfläche der Maßnahme: Eingabe nicht lesbar"},
        {"gf_bh", "Baumhöhe: Eingabe nicht lesbar"},
        {"gf_stm", "Stückvolumen je Baum: Eingabe nicht lesbar"},
        {"", "Eingaben nicht lesbar"},
    };
    State s{};
    // A stand that misses several bounds: they are not what the user must mend first.
    test::apply(s, "gc_stm=0.235243 gc_vhieb=1500 gi_bhd=11");
    for (const Row& r : rows) {
        const SystemReasons all = unsuitability_reasons(suitability_inputs(s, false), r.field);
        for (const std::vector<Reason>& sys : all) {
            ASSERT_EQ(sys.size(), 1u) << r.field;
            EXPECT_EQ(sys[0].name, r.field);
            EXPECT_EQ(sys[0].text, r.text);
            EXPECT_FALSE(sys[0].value.has_value());
        }
    }
}

}  // namespace
}  // namespace forstrix
