// Plans within capacities: the hours each resource draws from the results'
// time lines, and the choice of systems against the best choice found by
// trying every one.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/calc.h"
#include "core/capacity.h"
#include "support.h"

namespace forstrix {
namespace {

using plan::kNone;

TEST(Capacity, ResourceHoursFollowTheResultLines) {
    State s{};
    startup_compute(s);
    calc_zeitbedarfkosten(s);
    const plan::StandFigures f = plan::stand_figures(s, kNone);
    const double v = s.gc_vhieb;
    struct Row {
        const char* resource;
        int system;
        double hours;
    };
    const Row rows[] = {
        {"forstwirte", 0, s.gff_e3 * v / 60}, {"forstwirte", 1, s.gff_e12 * v / 60}, {"forstwirte", 4, s.gff_e34 * v},
        {"forstwirte", 2, 0}, {"seilschlepper", 0, s.gff_e5 * v / 60}, {"seilschlepper", 1, s.gff_e14 * v / 60},
        {"harvester", 2, s.gff_e20 * v}, {"harvester", 5, s.gff_e41 * v}, {"forwarder", 2, s.gff_e22 * v},
        {"forwarder", 4, s.gff_e37 * v}, {"forwarder", 5, s.gff_e43 * v}, {"hangharvester", 3, s.gff_e27 * v},
        {"hangforwarder", 3, s.gff_e29 * v}, {"seilkran", 4, s.gff_e35 * v}, {"seilkran", 0, 0},
    };
    for (const Row& r : rows) {
        const int k = plan::find_resource(r.resource);
        ASSERT_GE(k, 0) << r.resource;
        EXPECT_NEAR(plan::resource_hours(f, r.system)[static_cast<std::size_t>(k)], r.hours, 1e-9 * (1 + r.hours))
            << r.resource << " system " << r.system;
    }
    EXPECT_EQ(plan::find_resource("Hang-Harvester"), -1);
    EXPECT_EQ(plan::find_resource("HARVESTER"), 2);
    EXPECT_EQ(plan::find_resource("motorsaege"), -1);
}

// A made-up stand: per system Euro, kg CO2 and hours of harvester,
// forwarder and crews for the whole stand.
struct Sys {
    int system;
    double euro, co2, harvester, forwarder, crews;
};

std::size_t line_of(int system, int resource) {
    const auto lines = plan::time_lines();
    for (std::size_t n = 0; n < lines.size(); ++n)
        if (lines[n].system == system && plan::resource_of_line(n) == resource) return n;
    return plan::kTimeLines;
}

plan::StandFigures make_stand(const std::vector<Sys>& systems) {
    plan::StandFigures f;
    f.computed = true;
    f.volume = 1.0;
    for (const Sys& s : systems) {
        const auto k = static_cast<std::size_t>(s.system);
        f.suitable[k] = true;
        f.euro_fm[k] = s.euro;
        f.co2_fm[k] = s.co2;
        const std::pair<int, double> uses[] = {{2, s.harvester}, {3, s.forwarder}, {0, s.crews}};
        for (const auto& [resource, hours] : uses) {
            const std::size_t n = line_of(s.system, resource);
            if (n < plan::kTimeLines) f.hours[n] = hours;
        }
        if (f.cheapest == kNone || s.euro < f.euro_fm[static_cast<std::size_t>(f.cheapest)] ||
            (s.euro == f.euro_fm[static_cast<std::size_t>(f.cheapest)] && s.system < f.cheapest))
            f.cheapest = s.system;
    }
    f.chosen = f.cheapest;
    return f;
}

// The best choice by trying every one: fewest missing hours, then the
// smallest total, then most stands on their cheapest, then the lower numbers.
std::vector<int> enumerate(const std::vector<plan::StandFigures>& stands, const std::vector<int>& fixed,
                           const plan::CapacityOptions& o) {
    std::vector<std::vector<int>> options(stands.size());
    for (std::size_t i = 0; i < stands.size(); ++i) {
        const int keep = i < fixed.size() ? fixed[i] : kNone;
        for (int k = 0; k < plan::kSystems; ++k)
            if (stands[i].suitable[static_cast<std::size_t>(k)] && (keep == kNone || keep == k)) options[i].push_back(k);
        if (options[i].empty()) options[i].push_back(kNone);
    }
    std::vector<std::size_t> at(stands.size(), 0);
    std::vector<int> best;
    double best_key[4] = {};
    for (;;) {
        plan::ResourceHours need{};
        double key[4] = {0, 0, 0, 0};
        std::vector<int> pick(stands.size(), kNone);
        for (std::size_t i = 0; i < stands.size(); ++i) {
            const int k = options[i][at[i]];
            pick[i] = k;
            if (k == kNone) continue;
            const plan::ResourceHours h = plan::resource_hours(stands[i], k);
            for (std::size_t r = 0; r < need.size(); ++r) need[r] += h[r];
            const plan::Amounts a = plan::amounts(stands[i], k);
            key[1] += o.goal == plan::Goal::Co2 ? a.co2_kg : a.euro;
            key[2] += k != stands[i].cheapest;
            key[3] += k;
        }
        for (std::size_t r = 0; r < need.size(); ++r) key[0] += std::max(0.0, need[r] - o.capacity[r]);
        bool better = best.empty();
        for (int c = 0; c < 4 && !better; ++c) {
            if (std::fabs(key[c] - best_key[c]) <= 1e-9 * std::max(1.0, std::fabs(key[c]))) continue;
            better = key[c] < best_key[c];
            break;
        }
        if (better) {
            best = pick;
            std::copy(key, key + 4, best_key);
        }
        std::size_t i = 0;
        while (i < at.size() && ++at[i] == options[i].size()) at[i++] = 0;
        if (i == at.size()) break;
    }
    return best;
}

plan::CapacityOptions limits(double harvester, double forwarder, double crews, plan::Goal goal = plan::Goal::Cost) {
    plan::CapacityOptions o;
    o.capacity[2] = harvester;
    o.capacity[3] = forwarder;
    o.capacity[0] = crews;
    o.goal = goal;
    return o;
}

constexpr double kFree = plan::kUnlimited;

// The Windows build has no solver: it says so and chooses nothing.
TEST(Capacity, WithoutSolverSaysSo) {
    const std::vector<plan::StandFigures> stands = {make_stand({{0, 700, 50, 0, 0, 25}})};
    EXPECT_EQ(plan::optimise(stands, {}, limits(1, kFree, kFree)).solver, plan::solver_available());
}

TEST(Capacity, ChoiceAsTheBestOfEveryChoice) {
    if (!plan::solver_available()) GTEST_SKIP() << "built without GLPK";
    struct Row {
        const char* name;
        std::vector<std::vector<Sys>> stands;
        std::vector<int> fixed;
        plan::CapacityOptions options;
        std::vector<int> chosen;
        double missing_harvester;
    };
    // III needs the harvester and the forwarder, I the crews.
    const std::vector<Sys> big = {{0, 1200, 90, 0, 0, 40}, {2, 1000, 120, 20, 15, 0}};
    const std::vector<Sys> small = {{0, 700, 50, 0, 0, 25}, {2, 590, 60, 12, 8, 0}};
    const std::vector<Sys> small2 = {{0, 700, 50, 0, 0, 25}, {2, 595, 60, 12, 8, 0}};
    const std::vector<Sys> chip = {{2, 500, 40, 10, 6, 0}, {5, 520, 45, 8, 9, 0}};
    const std::vector<Sys> chip2 = {{2, 500, 40, 10, 6, 0}, {5, 530, 45, 8, 9, 0}};
    // Equal CO2 of I and III (X), of III and VI (Y).
    const std::vector<Sys> x = {{0, 900, 50, 0, 0, 10}, {2, 800, 50, 5, 5, 0}};
    const std::vector<Sys> y = {{2, 600, 40, 12, 8, 0}, {5, 650, 40, 8, 8, 0}};
    const Row rows[] = {
        {"no_capacity_every_stand_cheapest", {big, small, small2}, {}, limits(kFree, kFree, kFree), {2, 2, 2}, 0},
        // By saving per hour the big stand comes first; the two small ones save more.
        {"knapsack_not_greedy", {big, small, small2}, {}, limits(24, kFree, kFree), {0, 2, 2}, 0},
        {"knapsack_room_for_big", {big, small, small2}, {}, limits(32, kFree, kFree), {2, 2, 0}, 0},
        {"zero_harvester_hours_missing", {big, small, chip}, {}, limits(0, kFree, kFree), {0, 0, 5}, 8},
        {"harvester_short_one_stand_to_VI", {chip, chip2}, {}, limits(18, kFree, kFree), {5, 2}, 0},
        {"nothing_fits_fewest_missing", {big, small}, {}, limits(5, kFree, 30), {2, 0}, 15},
        {"nothing_fits_then_cheapest", {small, small2}, {}, limits(0, kFree, 25), {2, 0}, 12},
        {"fixed_stand_beyond_capacity", {big, small}, {2, kNone}, limits(10, kFree, kFree), {2, 0}, 10},
        {"co2_goal_within_crews", {big, small}, {}, limits(kFree, kFree, 30, plan::Goal::Co2), {2, 0}, 0},
        {"co2_tie_keeps_cheapest", {x}, {}, limits(10, kFree, kFree, plan::Goal::Co2), {2}, 0},
        {"co2_tie_of_two_stands", {x, y}, {}, limits(13, kFree, kFree, plan::Goal::Co2), {0, 2}, 0},
        {"euro_tie_lower_number", {{{0, 800, 50, 0, 0, 10}, {2, 800, 40, 5, 5, 0}}}, {}, limits(10, kFree, kFree),
         {0}, 0},
    };
    for (const Row& r : rows) {
        std::vector<plan::StandFigures> stands;
        for (const auto& s : r.stands) stands.push_back(make_stand(s));
        const plan::CapacityResult got = plan::optimise(stands, r.fixed, r.options);
        ASSERT_TRUE(got.solver) << r.name;
        EXPECT_EQ(got.chosen, r.chosen) << r.name;
        EXPECT_EQ(got.chosen, enumerate(stands, r.fixed, r.options)) << r.name;
        EXPECT_NEAR(got.use[2].missing, r.missing_harvester, 1e-9) << r.name;
        EXPECT_EQ(got.fits, got.shortfall == 0.0) << r.name;
        EXPECT_TRUE(got.optimal) << r.name;
    }
}

TEST(Capacity, ReportOfHoursAndExtraCost) {
    if (!plan::solver_available()) GTEST_SKIP() << "built without GLPK";
    const std::vector<plan::StandFigures> stands = {
        make_stand({{0, 1200, 90, 0, 0, 40}, {2, 1000, 120, 20, 15, 0}}),
        make_stand({{0, 700, 50, 0, 0, 25}, {2, 600, 60, 12, 8, 0}}),
        plan::StandFigures{},  // refused
        make_stand({}),        // no system suits
        make_stand({{0, 700, 50, 0, 0, 25}}),
    };
    const plan::CapacityResult r = plan::optimise(stands, std::vector<int>{kNone, kNone, kNone, kNone, 2},
                                                  limits(10, kFree, 60));
    // I and I miss 5 crew hours, I and III 2 harvester hours.
    EXPECT_EQ(r.chosen, (std::vector<int>{0, 2, kNone, kNone, kNone}));
    EXPECT_EQ(r.unsuitable_fixed, (std::vector<std::size_t>{4}));
    EXPECT_FALSE(r.fits);
    EXPECT_DOUBLE_EQ(r.use[0].needed, 40);
    EXPECT_DOUBLE_EQ(r.use[2].missing, 2);
    EXPECT_DOUBLE_EQ(r.use[3].needed, 8);
    EXPECT_DOUBLE_EQ(r.shortfall, 2);
    EXPECT_DOUBLE_EQ(r.extra_cost, 200);
    EXPECT_EQ(plan::unsuitable_fixed_text(3), "gewaehlt: System IV ist für diesen Bestand nicht geeignet (fest = 1)");
}

// Plans of six stands with random figures against every choice.
TEST(Capacity, RandomPlansAgainstEveryChoice) {
    if (!plan::solver_available()) GTEST_SKIP() << "built without GLPK";
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int round = 0; round < 60; ++round) {
        std::vector<plan::StandFigures> stands;
        for (int i = 0; i < 6; ++i) {
            std::vector<Sys> systems;
            for (int k = 0; k < plan::kSystems; ++k) {
                if (u(rng) < 0.5) continue;
                systems.push_back({k, 500 + 900 * u(rng), 30 + 90 * u(rng), k == 2 || k == 5 ? 5 + 20 * u(rng) : 0,
                                   k >= 2 ? 4 + 15 * u(rng) : 0, k < 2 || k == 4 ? 10 + 30 * u(rng) : 0});
            }
            stands.push_back(make_stand(systems));
        }
        const plan::Goal goal = round % 3 == 0 ? plan::Goal::Co2 : plan::Goal::Cost;
        const plan::CapacityOptions o = limits(40 * u(rng), round % 2 ? kFree : 30 * u(rng), 80 * u(rng), goal);
        const plan::CapacityResult got = plan::optimise(stands, {}, o);
        const std::vector<int> want = enumerate(stands, {}, o);
        EXPECT_EQ(got.chosen, want) << "round " << round;
    }
}

}  // namespace
}  // namespace forstrix
