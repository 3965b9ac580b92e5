// Times the capacity optimisation of a district's plan: 1,000 stands with
// harvester, forwarder and crew hours short should be proven optimal within
// a second, whether a plan fits or not; 10,000 stands should come within 0.1 % of the optimum within the
// default time limit of 10 s. The counters say how it ended: optimal (1 when
// proven), gap (relative, to the best bound) and the extra Euro over the
// plan of every stand's cheapest system.
//
//   build/bench/bench_capacity --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/calc.h"
#include "core/capacity.h"
#include "core/scenario.h"

namespace {

using namespace forstrix;

// A district of `count` stands drawn at random (fixed seed) over the stand
// inputs that set the systems apart: diameter, slope, the rope line, the
// skidding distance and the size of the measure.
std::vector<plan::StandFigures> district(std::size_t count) {
    std::mt19937 rng(20261207);
    auto whole = [&](int lo, int hi) { return static_cast<double>(std::uniform_int_distribution<int>(lo, hi)(rng)); };
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto given = [](const char* name, double v) { return Given{find_value(name), v}; };
    State base{};
    startup_compute(base);
    std::vector<plan::StandFigures> out;
    while (out.size() < count) {
        const std::vector<Given> g = {
            given("gi_bhd", whole(16, 45)),    given("gi_hn", whole(0, 45)),     given("gi_hvs", 1.0),
            given("gi_v_sll", whole(0, 4)),    given("gi_br", whole(0, 9) == 9), given("gf_vab", real(50, 200)),
            given("gf_gf", real(1.5, 10)),     given("gf_i_rd", whole(50, 600)), given("gi_ar", whole(0, 3) == 3),
        };
        State s = base;
        ScenarioOutcome outcome;
        compute_scenario(s, g, nullptr, outcome);
        if (!outcome.ok() || check_results_finite(s)) continue;
        out.push_back(plan::stand_figures(s, plan::kNone));
    }
    return out;
}

// Capacities as shares of the hours that every stand's cheapest system
// would need: harvester, forwarder and crews.
plan::CapacityOptions short_hours(const std::vector<plan::StandFigures>& stands, double harvester,
                                  double forwarder, double crews) {
    plan::ResourceHours need{};
    for (const plan::StandFigures& f : stands) {
        const plan::ResourceHours h = plan::resource_hours(f, f.cheapest);
        for (std::size_t r = 0; r < need.size(); ++r) need[r] += h[r];
    }
    plan::CapacityOptions o;
    o.capacity[static_cast<std::size_t>(plan::find_resource("harvester"))] = harvester * need[2];
    o.capacity[static_cast<std::size_t>(plan::find_resource("forwarder"))] = forwarder * need[3];
    o.capacity[static_cast<std::size_t>(plan::find_resource("forstwirte"))] = crews * need[0];
    return o;
}

void optimise(benchmark::State& state) {
    const std::vector<plan::StandFigures> stands = district(static_cast<std::size_t>(state.range(0)));
    // 0: 80 % of the harvester hours, 90 % of the forwarder hours and 105 %
    // of the crew hours: a plan fits, with the crews nearly full after the
    // moves; 1: 75 %, 90 %, 103 %: nothing fits.
    plan::CapacityOptions options =
        state.range(1) == 0 ? short_hours(stands, 0.8, 0.9, 1.05) : short_hours(stands, 0.75, 0.9, 1.03);
    // A third number: the time limit in seconds (how near the optimum a
    // shorter search comes); else the default.
    if (state.range(2) > 0) options.time_limit = static_cast<double>(state.range(2));
    plan::CapacityResult r;
    for (auto _ : state) {
        r = plan::optimise(stands, {}, options);
        benchmark::DoNotOptimize(r.chosen.data());
    }
    state.counters["optimal"] = r.optimal ? 1 : 0;
    state.counters["gap"] = r.gap;
    state.counters["fits"] = r.fits ? 1 : 0;
    state.counters["extra_euro"] = r.extra_cost;
}
BENCHMARK(optimise)->ArgsProduct({{1000, 10000}, {0, 1}, {0}})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(optimise)->Args({10000, 0, 2})->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
