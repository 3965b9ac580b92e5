// The table of suitability conditions: its flags against the rules as they
// were written out condition by condition, over a grid that crosses every
// bound; and the reasons it gives at every bound, on both sides.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "core/calc.h"
#include "core/suitability.h"
#include "support.h"

namespace forstrix {
namespace {

// The rules written out as boolean expressions, as the program had them
// before the table; kept here only as the oracle of the grid.
std::array<std::int32_t, 6> rules_written_out(const SuitabilityInputs& in) {
    std::array<std::int32_t, 6> f{0, 0, 0, 0, 0, 0};
    if (!in.inputs_valid) return f;
    const bool trafficable = in.br == 0;
    const bool near_trails = in.ar == 0;
    f[0] = in.bhd > 14 && in.hn < 36 && trafficable && in.vab >= 10.0 && in.vhieb >= 30.0;
    f[1] = in.bhd > 14 && in.stm <= 1.0 && in.hn < 36 && trafficable && in.vab >= 30.0 && in.vhieb >= 100.0;
    f[2] = in.bhd > 11 && in.stm <= 0.7 && in.hn < 36 && near_trails && trafficable && in.vab >= 30.0 &&
           in.vhieb >= 300.0;
    f[3] = in.bhd > 11 && in.stm <= 0.7 && in.hn > 35 && in.hn < 61 && near_trails && trafficable &&
           in.vab >= 30.0 && in.vhieb >= 300.0;
    f[4] = in.bhd > 14 && in.hvs == 1 && in.vab >= 30.0 && in.vhieb >= 500.0 &&
           (in.br == 1 || (in.br == 0 && in.hn > 35));
    f[5] = in.bhd < 19 && in.hn < 36 && near_trails && trafficable && in.vab >= 10.0 && in.vhieb >= 300.0;
    return f;
}

// A bound, and the doubles next to it on either side.
std::vector<double> around(std::initializer_list<double> bounds) {
    std::vector<double> out;
    for (double b : bounds) {
        out.push_back(std::nextafter(b, 0.0));
        out.push_back(b);
        out.push_back(std::nextafter(b, 1e9));
    }
    return out;
}

// Two grids that together cross every bound. The first takes the whole
// numbers next to their bounds and crosses them with every combination of
// the decimals at, just below and just above theirs; the second takes every
// BHD and every slope with both answers of each list, pairing each point
// with the next of those decimal combinations in turn.
TEST(SuitabilityTable, FlagsEqualTheWrittenOutRulesOverEveryBound) {
    struct Decimals {
        double stm, vab, vhieb;
    };
    std::vector<Decimals> decimals;
    for (double stm : around({0.7, 1.0}))
        for (double vab : around({10.0, 30.0}))
            for (double vhieb : around({30.0, 100.0, 300.0, 500.0})) decimals.push_back({stm, vab, vhieb});
    long compared = 0, differing = 0, reasons_checked = 0;
    const auto compare = [&](SuitabilityInputs in, const Decimals& d) {
        in.stm = d.stm;
        in.vab = d.vab;
        in.vhieb = d.vhieb;
        const auto expected = rules_written_out(in);
        const auto got = calc_eignung(in);
        ++compared;
        if (got != expected && ++differing <= 10)
            ADD_FAILURE() << "bhd " << in.bhd << " hn " << in.hn << " ar " << in.ar << " br " << in.br << " hvs "
                          << in.hvs << " stm " << in.stm << " vab " << in.vab << " vhieb " << in.vhieb;
        // The reasons belong to the verdict; texts are dear, so a sample.
        if (compared % 23 == 0) {
            ++reasons_checked;
            const SystemReasons r = unsuitability_reasons(in);
            for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(r[i].empty(), got[i] == 1) << "system " << i + 1;
        }
    };
    const auto lists = [](SuitabilityInputs in, const auto& each) {
        for (in.ar = 0; in.ar <= 1; ++in.ar)
            for (in.br = 0; in.br <= 1; ++in.br)
                for (in.hvs = 0; in.hvs <= 1; ++in.hvs) each(in);
    };
    SuitabilityInputs in{true, 0, 0, 0, 0, 0, 0.0, 0.0, 0.0};
    for (std::uint32_t bhd : {6u, 11u, 12u, 14u, 15u, 18u, 19u, 90u})
        for (std::uint32_t hn : {0u, 35u, 36u, 60u, 61u, 65u}) {
            in.bhd = bhd;
            in.hn = hn;
            lists(in, [&](const SuitabilityInputs& point) {
                for (const Decimals& d : decimals) compare(point, d);
            });
        }
    std::size_t next = 0;
    for (in.bhd = 6; in.bhd <= 90; ++in.bhd)
        for (in.hn = 0; in.hn <= 65; ++in.hn)
            lists(in, [&](const SuitabilityInputs& point) { compare(point, decimals[next++ % decimals.size()]); });

    EXPECT_EQ(differing, 0);
    EXPECT_EQ(decimals.size(), 6u * 6 * 12);
    EXPECT_EQ(compared, 8L * 6 * 8 * 432 + 85L * 66 * 8);
    EXPECT_GT(reasons_checked, 9000);

    // Not valid: no system, whatever the stand; the table alone would admit I.
    const SuitabilityInputs invalid{false, 20, 14, 0, 0, 0, 30.0, 0.2, 1500.0};
    EXPECT_EQ(calc_eignung(invalid), (std::array<std::int32_t, 6>{}));
    EXPECT_EQ(failing_conditions(invalid) & system_conditions(0), 0u);
}

// Each row: a stand that suits `system` (0 for I), changed by `set` just
// across one bound, and the one reason expected; its value's name is the
// name set, its limit the one the text states. (That a stand within every
// bound gets no reason, the grid above checks.)
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
        ASSERT_EQ(calc_eignung(suitability_inputs(s))[static_cast<std::size_t>(r.system)], 1);
        test::apply(s, r.set);
        const std::vector<Reason> got = unsuitability_reasons(s, r.system);
        ASSERT_EQ(got.size(), 1u) << got[0].text;
        const std::string name = test::items(r.set)[0].name;
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
    State s{};
    test::apply(s, "gc_stm=0.235243 gc_vhieb=1500 gi_bhd=11 gi_hn=62 gi_ar=1");
    const std::vector<Reason> iv = unsuitability_reasons(s, 3);
    ASSERT_EQ(iv.size(), 3u);
    EXPECT_EQ(iv[0].text, "BHD 11 cm: mindestens 12 cm");
    EXPECT_EQ(iv[1].text, "Hangneigung 62 %: höchstens 60 %");
    EXPECT_EQ(iv[2].text, "Abstand Rückegassen über 20 m: erforderlich bis 20 m");
    EXPECT_TRUE(unsuitability_reasons(s, -1).empty());
    EXPECT_TRUE(unsuitability_reasons(s, 6).empty());
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
