// The dialogs' checks as plain rules.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "core/calc.h"
#include "core/checks.h"

namespace forstrix {
namespace {

struct ValueRow {
    const char* test;
    const char* name;
    double value;
    bool ok;
};

class CheckValue : public ::testing::TestWithParam<ValueRow> {};

TEST_P(CheckValue, Verdict) {
    const ValueRow& r = GetParam();
    const ValueInfo* v = find_value(r.name);
    ASSERT_NE(v, nullptr) << r.name;
    const auto p = check_value(*v, r.value);
    EXPECT_EQ(!p.has_value(), r.ok) << (p ? p->message : std::string("no problem"));
    if (p) {
        EXPECT_EQ(p->name, r.name);
        EXPECT_EQ(p->message.rfind(std::string(r.name) + ": ", 0), 0u) << p->message;  // names the value
    }
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Ranges, CheckValue,
    ::testing::Values(
        ValueRow{"Species0", "gi_ba", 0, true}, ValueRow{"Species9", "gi_ba", 9, true},
        ValueRow{"Species10", "gi_ba", 10, false}, ValueRow{"SpeciesFraction", "gi_ba", 1.5, false},
        ValueRow{"Bhd5", "gi_bhd", 5, false}, ValueRow{"Bhd6", "gi_bhd", 6, true},
        ValueRow{"Bhd90", "gi_bhd", 90, true}, ValueRow{"Bhd91", "gi_bhd", 91, false},
        ValueRow{"Bhd0", "gi_bhd", 0, false}, ValueRow{"BhdFraction", "gi_bhd", 20.5, false},
        ValueRow{"Form3", "gi_sf", 3, true}, ValueRow{"Form4", "gi_sf", 4, false},
        ValueRow{"Slope0", "gi_hn", 0, true}, ValueRow{"Slope65", "gi_hn", 65, true},
        ValueRow{"Slope66", "gi_hn", 66, false}, ValueRow{"Spacing1", "gi_ar", 1, true},
        ValueRow{"Spacing2", "gi_ar", 2, false}, ValueRow{"Trafficable1", "gi_br", 1, true},
        ValueRow{"Trafficable2", "gi_br", 2, false}, ValueRow{"RopeVolume1", "gi_hvs", 1, true},
        ValueRow{"RopeVolume2", "gi_hvs", 2, false}, ValueRow{"Obstacle5", "gi_i_bb", 5, true},
        ValueRow{"Obstacle6", "gi_i_bb", 6, false}, ValueRow{"Assortments0", "gi_ii_vzs", 0, true},
        ValueRow{"Assortments1", "gi_ii_vzs", 1, false}, ValueRow{"Assortments4", "gi_ii_vzs", 4, false},
        ValueRow{"Assortments5", "gi_ii_vzs", 5, true}, ValueRow{"Assortments85", "gi_ii_vzs", 85, true},
        ValueRow{"Assortments86", "gi_ii_vzs", 86, false}, ValueRow{"CableLine4", "gi_v_sll", 4, true},
        ValueRow{"CableLine5", "gi_v_sll", 5, false}, ValueRow{"Crown2", "gi_v_kf", 2, true},
        ValueRow{"Crown3", "gi_v_kf", 3, false}, ValueRow{"NegativeIndex", "gi_sf", -1, false},
        // Zeitgrad, read as a decimal by the cost dialog
        ValueRow{"Zeitgrad9", "gi_zest", 9, false}, ValueRow{"Zeitgrad10", "gi_zest", 10, true},
        ValueRow{"Zeitgrad200", "gi_zmgv", 200, true}, ValueRow{"Zeitgrad201", "gi_zmgv", 201, false},
        ValueRow{"ZeitgradDecimal", "gi_zest", 160.7, true}, ValueRow{"ZeitgradJustAbove", "gi_zest", 200.5, false},
        ValueRow{"ZeitgradJustBelow", "gi_zest", 9.99, false},
        // decimals
        ValueRow{"VolumeZeroIsLeftToTheStandCheck", "gf_vab", 0, true},
        ValueRow{"VolumeNegative", "gf_vab", -1, false}, ValueRow{"VolumeInfinite", "gf_vab", kInf, false},
        ValueRow{"VolumeNaN", "gf_vab", kNaN, false}, ValueRow{"OwnHeightZero", "gf_bh", 0, true},
        ValueRow{"WageZero", "gf_fw", 0, true}, ValueRow{"PnkDecimal", "gf_nfw", 60.5, true},
        ValueRow{"SkidderCostZero", "gf_ss", 0, true}, ValueRow{"HarvesterCostTyped", "gf_hab112", 99, true},
        ValueRow{"HarvesterCostNegative", "gf_hab112", -1, false},
        // basics: the zero the dialogs refuse
        ValueRow{"HarvesterPriceZero", "gf_hab44", 0, false},
        ValueRow{"HarvesterUsefulLifeZero", "gf_hab46", 0, false},
        ValueRow{"HarvesterResidualZero", "gf_hab53", 0, true},
        ValueRow{"HarvesterProfitZero", "gf_hab56", 0, true},
        ValueRow{"SkidderProfitZero", "gf_asb56", 0, false},
        ValueRow{"SkidderResidualZero", "gf_asb53", 0, true},
        ValueRow{"YarderMobilityZero", "gf_mskb54", 0, false},
        ValueRow{"FsaInterestZero", "gf_hfsab49", 0, false},
        ValueRow{"BasicFraction", "gf_hab45", 8.5, true},
        ValueRow{"ChainsawAnnualUseZero", "gf_msc8", 0, false},
        ValueRow{"ChainsawPetrolZero", "gf_msc19", 0, false},
        ValueRow{"ChainsawMixingRatioZeroAlone", "gf_msc21", 0, true},
        ValueRow{"ChainsawReadyMixZero", "gf_msc22", 0, true},
        ValueRow{"ChainsawTransportZero", "gf_msc27", 0, false},
        // not settable
        ValueRow{"Derived", "gc_stm", 0.3, false}, ValueRow{"Flag", "g_sys4", 1, false},
        ValueRow{"Result", "gff_g45", 1, false}, ValueRow{"MachineResult", "gf_asb75", 45, false},
        ValueRow{"ChainsawResult", "gf_msc31", 1, false}),
    [](const auto& param_info) { return std::string(param_info.param.test); });

TEST(CheckValue, MessagesSayWhatIsAllowed) {
    auto msg = [](const char* name, double value) { return check_value(*find_value(name), value)->message; };
    EXPECT_EQ(msg("gi_bhd", 95), "gi_bhd: 95 liegt nicht im erlaubten Bereich 6 bis 90 (BHD [cm]).");
    EXPECT_NE(msg("gi_ii_vzs", 3).find("0 oder 5 bis 85"), std::string::npos);
    EXPECT_NE(msg("gi_zest", 250).find("10 bis 200"), std::string::npos);
    EXPECT_NE(msg("gi_bhd", 20.5).find("20,5 ist keine ganze Zahl"), std::string::npos);
    EXPECT_NE(msg("gf_hab46", 0).find("Normale Nutzungsdauer"), std::string::npos);
    EXPECT_NE(msg("gf_vab", -2).find("negativ"), std::string::npos);
    EXPECT_NE(msg("gc_stm", 1).find("kann nicht gesetzt werden"), std::string::npos);
}

struct TextRow {
    const char* test;
    const char* name;
    const char* text;
    bool ok;
    double value;
};

class ReadValue : public ::testing::TestWithParam<TextRow> {};

TEST_P(ReadValue, Verdict) {
    const TextRow& r = GetParam();
    const ReadResult got = read_value(*find_value(r.name), r.text);
    EXPECT_EQ(!got.problem.has_value(), r.ok) << (got.problem ? got.problem->message : "");
    if (r.ok) { EXPECT_EQ(got.value, r.value); }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadValue,
    ::testing::Values(TextRow{"Comma", "gf_vab", "12,5", true, 12.5}, TextRow{"Point", "gf_vab", "12.5", true, 12.5},
                      TextRow{"Empty", "gf_bh", "", true, 0.0}, TextRow{"Sign", "gf_vab", "-5", false, 0},
                      TextRow{"Exponent", "gf_vab", "1e3", false, 0},
                      TextRow{"TwoSeparators", "gf_vab", "1,2,3", false, 0},
                      TextRow{"WholeForInteger", "gi_bhd", "20", true, 20},
                      TextRow{"DecimalForInteger", "gi_bhd", "20,5", false, 0},
                      TextRow{"ZeitgradDecimal", "gi_zest", "160,7", true, 160.7},
                      TextRow{"OutOfRange", "gi_hn", "70", false, 0}),
    [](const auto& param_info) { return std::string(param_info.param.test); });

TEST(ReadValue, UnreadableTextNamesTheValue) {
    const ReadResult r = read_value(*find_value("gf_gf"), "1,5,0");
    ASSERT_TRUE(r.problem);
    EXPECT_EQ(r.problem->name, "gf_gf");
    EXPECT_EQ(r.problem->message.rfind("gf_gf: ", 0), 0u);
    EXPECT_NE(r.problem->message.find("Punkt oder Komma"), std::string::npos);
    EXPECT_EQ(unknown_value("gf_xyz").name, "gf_xyz");
}

// A state as the stand dialog leaves it: derived values and flags computed.
State stand(const std::function<void(State&)>& change) {
    State s{};
    change(s);
    s.gf_ii_rd = s.gf_i_rd;
    store(s, calc_bestand(stand_inputs(s)));
    s.set_flags(calc_eignung(suitability_inputs(s)));
    return s;
}

std::vector<std::string> names(const std::vector<Problem>& ps) {
    std::vector<std::string> out;
    for (const Problem& p : ps) out.push_back(p.name);
    return out;
}

TEST(CheckStand, DefaultStandPasses) { EXPECT_TRUE(check_stand(stand([](State&) {})).empty()); }

TEST(CheckStand, MissingVolumeAndArea) {
    EXPECT_EQ(names(check_stand(stand([](State& s) { s.gf_vab = 0; }))), std::vector<std::string>{"gf_vab"});
    EXPECT_EQ(names(check_stand(stand([](State& s) { s.gf_gf = 0; }))), std::vector<std::string>{"gf_gf"});
    EXPECT_EQ(names(check_stand(stand([](State& s) { s.gf_vab = 0; s.gf_gf = 0; }))),
              (std::vector<std::string>{"gf_vab", "gf_gf"}));
    const auto p = check_stand(stand([](State& s) { s.gf_vab = 0; }));
    EXPECT_NE(p[0].message.find("Volumens des ausscheidenden Bestands"), std::string::npos);
}

TEST(CheckStand, MissingExtraDataForSuitableSystems) {
    // Skidding distance 0: system I and II suitable, both need it.
    EXPECT_EQ(names(check_stand(stand([](State& s) { s.gf_i_rd = 0; }))),
              (std::vector<std::string>{"gf_i_rd", "gf_ii_rd"}));
    EXPECT_EQ(names(check_stand(stand([](State& s) { s.gf_i_bse = 0; }))), std::vector<std::string>{"gf_i_bse"});
    // Not needed when the systems are unsuitable (slope 40 excludes I and II).
    EXPECT_TRUE(check_stand(stand([](State& s) { s.gi_hn = 40; s.gf_i_rd = 0; s.gf_i_bse = 0; })).empty());
    // System II suitable alone: only its own distance counts.
    State only_ii = stand([](State&) {});
    only_ii.g_sys1 = 0;
    only_ii.gf_ii_rd = 0;
    EXPECT_EQ(names(check_stand(only_ii)), std::vector<std::string>{"gf_ii_rd"});
}

TEST(Plausibility, OwnHeightAndPieceVolume) {
    State s{};
    EXPECT_TRUE(plausibility_warnings(s).empty());
    s.gf_bh = 30.0;  // model height about 18.9
    auto w = plausibility_warnings(s);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].rfind("gf_bh: Kontrollieren Sie Ihre Höheneingabe", 0), 0u) << w[0];
    s.gf_bh = 18.9091 * 1.25 - 0.001;
    EXPECT_TRUE(plausibility_warnings(s).empty());
    s.gf_bh = 18.9091 * 0.75 + 0.001;
    EXPECT_TRUE(plausibility_warnings(s).empty());
    s.gf_bh = 0.0;
    s.gf_stm = 0.5;  // model volume about 0.2352, even with an own height
    w = plausibility_warnings(s);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].rfind("gf_stm: Kontrollieren Sie Ihre Stückvolumeneingabe", 0), 0u) << w[0];
    s.gf_stm = 0.25;
    EXPECT_TRUE(plausibility_warnings(s).empty());
    s.gf_bh = 30.0;  // the band for the volume ignores the own height
    EXPECT_EQ(plausibility_warnings(s).size(), 1u);
}

TEST(CheckBasics, DefaultsPass) { EXPECT_TRUE(check_basics(State{}).empty()); }

struct BasicsRow {
    const char* test;
    std::function<void(State&)> change;
    std::vector<std::string> names;
};

class CheckBasics : public ::testing::TestWithParam<BasicsRow> {};

TEST_P(CheckBasics, Problems) {
    State s{};
    GetParam().change(s);
    const State before = s;
    const auto problems = check_basics(s);
    EXPECT_EQ(names(problems), GetParam().names);
    EXPECT_EQ(s.gf_hab112, before.gf_hab112);  // computed on a copy
    for (const Problem& p : problems) EXPECT_EQ(p.message.rfind(p.name + ": ", 0), 0u) << p.message;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CheckBasics,
    ::testing::Values(
        BasicsRow{"HarvesterProfitZeroAllowed", [](State& s) { s.gf_hab56 = 0; }, {}},
        BasicsRow{"SkidderProfitZeroRefused", [](State& s) { s.gf_asb56 = 0; }, {"gf_asb56"}},
        BasicsRow{"ZeroDivisorsRefusedWithoutTotal",
                  [](State& s) { s.gf_fob45 = 0; s.gf_fob46 = 0; s.gf_fob47 = 0; },
                  {"gf_fob45", "gf_fob46", "gf_fob47"}},
        BasicsRow{"MixingRatioAndReadyMixBothZero", [](State& s) { s.gf_msc21 = 0; }, {"gf_msc21"}},
        BasicsRow{"MixingRatioZeroWithReadyMix", [](State& s) { s.gf_msc21 = 0; s.gf_msc22 = 1.5; }, {}},
        BasicsRow{"ChainsawZeroRefused", [](State& s) { s.gf_msc9 = 0; }, {"gf_msc9"}},
        BasicsRow{"NegativeTotalRefused", [](State& s) { s.gf_hab53 = 2000; }, {"gf_hab112"}},
        BasicsRow{"HighResidualStillPositive", [](State& s) { s.gf_hab53 = 500; }, {}},
        BasicsRow{"NotFinite", [](State& s) { s.gf_mskb50 = std::numeric_limits<double>::infinity(); },
                  {"gf_mskb50"}},
        BasicsRow{"NaNBasic", [](State& s) { s.gf_msc5 = std::numeric_limits<double>::quiet_NaN(); },
                  {"gf_msc5"}},
        BasicsRow{"NegativeBasic", [](State& s) { s.gf_hhb44 = -1; }, {"gf_hhb44"}},
        BasicsRow{"SeveralKindsInFixedOrder",
                  [](State& s) { s.gf_mskb44 = 0; s.gf_msc8 = 0; s.gf_asb47 = 0; s.gf_hfb53 = 5000; },
                  {"gf_msc8", "gf_asb47", "gf_hfb260", "gf_mskb44"}}),
    [](const auto& param_info) { return std::string(param_info.param.test); });

TEST(CheckBasics, NegativeTotalMessage) {
    State s{};
    s.gf_hab53 = 2000;
    const auto p = check_basics(s);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_NE(p[0].message.find("-52,07 Euro/MAS"), std::string::npos) << p[0].message;
    EXPECT_NE(p[0].message.find("Harvester"), std::string::npos) << p[0].message;
}

}  // namespace
}  // namespace forstrix
