// Sweeps: the points of a range, each point computed as one scenario, and
// the cheapest suitable system.
#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/calc.h"
#include "core/sweep.h"
#include "support.h"

namespace forstrix {
namespace {

SweepRange range(const std::string& text) {
    Problem problem;
    std::optional<SweepRange> r = parse_range(text, problem);
    if (!r) throw std::invalid_argument(text + ": " + problem.message);
    return *r;
}

double read(std::string_view text) {
    double v = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

TEST(SweepRange, PointsOnTheDecimalGrid) {
    struct Row {
        const char* name;
        const char* text;
        std::vector<const char*> points;  // as decimal texts
    };
    const Row rows[] = {
        {"tenths_keep_the_last_point", "gf_i_rd=0:0.3:0.1", {"0", "0.1", "0.2", "0.3"}},
        {"decimal_comma", "gf_vab=10,5:11,5:0,25", {"10.5", "10.75", "11", "11.25", "11.5"}},
        {"end_off_the_grid_is_no_point", "gf_vab=1:2:0.3", {"1", "1.3", "1.6", "1.9"}},
        {"one_point", "gi_bhd=20:20:5", {"20"}},
        {"whole_number_written_with_zero_decimals", "gi_hn=10.0:12:1,00", {"10", "11", "12"}},
        {"millionths", "gf_fw=0.000001:0.000003:0.000001", {"0.000001", "0.000002", "0.000003"}},
        {"mixed_decimals", "gf_ss=40:41:0.125", {"40", "40.125", "40.25", "40.375", "40.5", "40.625",
                                                  "40.75", "40.875", "41"}},
    };
    for (const Row& row : rows) {
        const SweepRange r = range(row.text);
        ASSERT_EQ(r.count, row.points.size()) << row.name;
        for (std::size_t k = 0; k < r.count; ++k)
            EXPECT_EQ(r.value(k), read(row.points[k])) << row.name << " point " << k;
    }
}

TEST(SweepRange, ThousandTenthsWithoutDrift) {
    // Adding 0.1 a thousand times drifts; the grid must give the double each
    // decimal text reads as, up to the last point 100.
    const SweepRange r = range("gf_vab=0:100:0.1");
    ASSERT_EQ(r.count, 1001u);
    for (std::size_t k = 0; k < r.count; ++k) {
        const std::string text = std::to_string(k / 10) + "." + std::to_string(k % 10);
        ASSERT_EQ(r.value(k), read(text)) << text;
    }
    EXPECT_EQ(r.last(), 100.0);
    EXPECT_EQ(r.value(std::numeric_limits<std::size_t>::max()), 100.0);
    EXPECT_EQ(r.nearest(33.34), 333u);
    EXPECT_EQ(r.nearest(-5.0), 0u);
    EXPECT_EQ(r.nearest(1e9), 1000u);
}

TEST(SweepRange, Refusals) {
    struct Row {
        const char* name;
        const char* text;
        const char* says;
    };
    const Row rows[] = {
        {"zero_step", "gi_bhd=6:90:0", "der Schritt muss größer als 0 sein"},
        {"from_above_to", "gf_vab=5:4:1", "liegt über dem Ende"},
        {"too_many_points", "gf_vab=0:1000000:0.5", "2000001 Punkte; erlaubt sind höchstens 1000000"},
        {"half_step_of_a_whole_input", "gi_bhd=6:90:1.5", "Schritt 1.5 ist keine ganze Zahl"},
        {"decimal_start_of_a_whole_input", "gi_bhd=6,5:90:1", "Anfang 6,5 ist keine ganze Zahl"},
        {"bhd_below_the_list", "gi_bhd=5:90:1", "5 liegt nicht im erlaubten Bereich 6 bis 90"},
        {"hole_of_the_assortment_list", "gi_ii_vzs=0:10:1", "1 liegt nicht im erlaubten Bereich 0 oder 5 bis 85"},
        {"skidding_distance_of_system_two", "gf_ii_rd=50:100:10", "folgt immer der von System I"},
        {"result_not_settable", "gff_g7=1:2:1", "kann nicht gesetzt werden"},
        {"unknown_name", "gi_xyz=1:2:1", "unbekannter Name"},
        {"no_step", "gi_bhd=6:90", "NAME=ANFANG:ENDE:SCHRITT"},
        {"four_parts", "gf_vab=1:2:1:3", "NAME=ANFANG:ENDE:SCHRITT"},
        {"sign", "gf_vab=-1:2:1", "Anfang \u201E-1\u201C ist keine Zahl"},
        {"empty_end", "gf_vab=1::1", "Ende \u201E\u201C ist keine Zahl"},
        {"too_many_digits", "gf_vab=1:2:0.0000000000000001", "Schritt"},
    };
    for (const Row& row : rows) {
        Problem problem;
        EXPECT_FALSE(parse_range(row.text, problem)) << row.name;
        EXPECT_NE(problem.message.find(row.says), std::string::npos) << row.name << ": " << problem.message;
    }
}

PointCosts point(std::array<std::int32_t, 6> flags, std::array<double, 8> sums) {
    return PointCosts{true, flags, sums};
}

TEST(Cheapest, WhichSumWins) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::array<std::int32_t, 6> all = {1, 1, 1, 1, 1, 1};
    struct Row {
        const char* name;
        PointCosts p;
        Competition c;
        int expected;
    };
    const Row rows[] = {
        {"lowest_measured_sum", point(all, {30, 31, 32, 33, 21, 29, 123, 25}), {}, 2},
        {"exact_tie_goes_to_the_lower_numeral", point(all, {30, 31, 32, 33, 21, 21, 123, 25}), {}, 2},
        {"unmeasured_sum_of_i_decides", point(all, {19, 22, 32, 33, 21, 29, 123, 25}), {true, {}}, 0},
        {"measured_sum_of_i_loses", point(all, {19, 22, 32, 33, 21, 29, 123, 25}), {}, 2},
        {"unmeasured_sum_of_ii", point(all, {40, 41, 18, 24, 21, 29, 123, 25}), {true, {}}, 1},
        {"unsuitable_cheapest_does_not_compete", point({1, 1, 0, 1, 1, 1}, {30, 31, 32, 33, 21, 29, 123, 25}), {}, 5},
        {"none_suitable", point({0, 0, 0, 0, 0, 0}, {30, 31, 32, 33, 21, 29, 123, 25}), {}, -1},
        {"only_sums_not_above_zero", point({0, 0, 1, 0, 1, 0}, {30, 31, 32, 33, 0, 29, -1, 25}), {}, -1},
        {"not_a_number", point({0, 0, 1, 0, 0, 1}, {30, 31, 32, 33, nan, 29, 123, 25}), {}, 5},
        {"infinite", point({0, 0, 1, 0, 0, 1}, {30, 31, 32, 33, 21, 29, 123, inf}), {}, 2},
        {"excluded_cheapest", point(all, {30, 31, 32, 33, 21, 29, 123, 25}), {false, {false, false, true}}, 5},
        {"all_excluded", point(all, {30, 31, 32, 33, 21, 29, 123, 25}), {false, {true, true, true, true, true, true}}, -1},
        {"refused_point", PointCosts{}, {}, -1},
    };
    for (const Row& row : rows) EXPECT_EQ(cheapest(row.p, row.c), row.expected) << row.name;
}

// The same scenario computed as `calc` computes it: defaults, the given
// values, then the point, all through compute_scenario from scratch.
PointCosts as_calc(const std::vector<Given>& given, std::span<const Given> at, ScenarioOutcome& outcome) {
    State s{};
    std::vector<Given> all = given;
    all.insert(all.end(), at.begin(), at.end());
    compute_scenario(s, all, nullptr, outcome);
    PointCosts p;
    if (outcome.ok() && !check_results_finite(s)) p = PointCosts{true, s.flags(), chart_sums(s)};
    return p;
}

std::vector<std::string> names(const std::vector<Problem>& problems) {
    std::vector<std::string> out;
    for (const Problem& p : problems) out.push_back(p.name);
    return out;
}

std::vector<Given> given_of(std::string_view text) {
    std::vector<Given> out;
    for (const test::Item& i : test::items(text)) out.push_back({&test::value(i.name), i.value});
    return out;
}

// Given values that refuse every point (the first name refused), or every
// point the scenario that calc computes.
TEST(Sweep, EveryPointIsTheScenarioOfCalc) {
    struct Row {
        const char* name;
        const char* given;
        const char* range;
        const char* refused = nullptr;
    };
    const Row rows[] = {
        {"bhd_beyond_its_list", "gi_bhd=95", "gi_hn=0:65:1", "gi_bhd"},
        {"no_useful_life", "gf_hab46=0", "gi_hn=0:65:1", "gf_hab46"},
        {"neither_mixing_ratio_nor_ready_mix", "gf_msc21=0", "gi_hn=0:65:1", "gf_msc21"},
        {"bhd_over_the_default_stand", "", "gi_bhd=6:90:1"},
        {"slope_with_own_piece_volume", "gf_stm=0.4 gi_hvs=1", "gi_hn=0:65:1"},
        {"typed_machine_cost_and_skidder_cost_stay", "gf_hab112=99 gf_ss=50", "gf_i_rd=10:400:10"},
        {"swept_basic_recomputes_the_machine", "gf_mskb47=1500", "gf_hab44=300:600:50"},
        {"swept_machine_cost", "gf_hab44=700", "gf_hab112=80:160:20"},
        {"zeitgrad", "", "gi_zest=10:200:10"},
        {"skidding_distance_zero_where_i_suits", "gi_hn=30", "gf_i_rd=0:20:10"},
    };
    for (const Row& row : rows) {
        const std::vector<Given> given = given_of(row.given);
        std::vector<Problem> problems;
        std::optional<Sweep> sweep = Sweep::prepare(State{}, given, problems);
        if (row.refused != nullptr) {
            EXPECT_TRUE(!sweep && !problems.empty() && problems.front().name == row.refused) << row.name;
            continue;
        }
        ASSERT_TRUE(sweep) << row.name;
        const SweepRange r = range(row.range);
        const std::vector<PointCosts> line = sweep->line(r);
        ASSERT_EQ(line.size(), r.count);
        for (std::size_t k = 0; k < r.count; ++k) {
            const Given at[1] = {{r.info, r.value(k)}};
            ScenarioOutcome expected_outcome, outcome;
            const PointCosts expected = as_calc(given, at, expected_outcome);
            // Bit for bit: the same chain, the same order of operations.
            for (const PointCosts& got : {sweep->compute(at, outcome), line[k]})
                EXPECT_TRUE(got.computed == expected.computed && got.flags == expected.flags &&
                            std::memcmp(got.sums.data(), expected.sums.data(), sizeof got.sums) == 0)
                    << row.name << " point " << k;
            // A refused point says why, as calc says it.
            EXPECT_EQ(names(outcome.problems), names(expected_outcome.problems)) << row.name << " point " << k;
        }
        // That row holds a refused point.
        EXPECT_TRUE(std::string_view(row.name) != "skidding_distance_zero_where_i_suits" || !line[0].computed);
    }
}

TEST(Sweep, DesktopStateKeepsTypedCosts) {
    // The desktop program's state after start-up and a cost dialog in which
    // the harvester and the skidder of system I got costs of their own.
    State s{};
    startup_compute(s);
    s.gf_hab112 = 99.0;
    s.gf_ss = 50.0;
    s.gi_bhd = 27;
    store(s, calc_bestand(stand_inputs(s)));
    s.set_flags(calc_eignung(suitability_inputs(s)));
    calc_zeitbedarfkosten(s);
    std::vector<Problem> problems;
    std::optional<Sweep> sweep = Sweep::prepare(s, cost_dialog_values(s), problems);
    ASSERT_TRUE(sweep);
    ScenarioOutcome outcome;
    const Given at[1] = {{&test::value("gi_bhd"), 27.0}};
    const PointCosts p = sweep->compute(at, outcome);
    EXPECT_EQ(p.sums, chart_sums(s));
    EXPECT_EQ(p.flags, s.flags());
}

TEST(SweepTable, CellsAsTheBatchTableWritesThem) {
    const SweepRange x = range("gf_i_rd=0:1:0.1");
    const PointCosts p = point({1, 1, 1, 0, 0, 0}, {0.1 + 0.2, 28.5, 26, 33.25, 21.75, 29.5, -3, 1e-3});
    struct Row {
        const char* name;
        PointCosts p;
        char sep, decimal;
        const char* expected;
    };
    const Row rows[] = {
        {"semicolon_with_decimal_comma", p, ';', ',',
         "0,3;14;1;1;1;0;0;0;0,30000000000000004;28,5;26;33,25;21,75;29,5;-3;0,001;III\n"},
        {"none_suitable", point({0, 0, 0, 0, 0, 0}, p.sums), ',', '.',
         "0.3,14,0,0,0,0,0,0,0.30000000000000004,28.5,26,33.25,21.75,29.5,-3,0.001,\n"},
    };
    for (const Row& row : rows) {
        std::string line;
        const double inputs[] = {x.value(3), 14.0};
        append_sweep_row(line, inputs, row.p, {}, row.sep, row.decimal);
        EXPECT_EQ(line, row.expected) << row.name;
    }
}

}  // namespace
}  // namespace forstrix
