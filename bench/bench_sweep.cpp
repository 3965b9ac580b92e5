// Times the sweeps behind the "Kostenverlauf" window, which must follow the
// mouse: a line of 1,000 points and the map of BHD × Hangneigung (85 × 66
// cells) should each be computed well within one screen frame (16 ms).
//
//   build/bench/bench_sweep --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "core/calc.h"
#include "core/sweep.h"

namespace {

using namespace forstrix;

SweepRange range(const char* text) {
    Problem problem;
    std::optional<SweepRange> r = parse_range(text, problem);
    if (!r) throw std::invalid_argument(problem.message);
    return *r;
}

// The desktop program's state after start-up, with the costs of the cost
// dialog given, as the window starts from it.
Sweep desktop_sweep() {
    State s{};
    startup_compute(s);
    std::vector<Problem> problems;
    return *Sweep::prepare(s, cost_dialog_values(s), problems);
}

void line(benchmark::State& state, const char* text) {
    Sweep sweep = desktop_sweep();
    const SweepRange x = range(text);
    for (auto _ : state) {
        std::vector<PointCosts> points = sweep.line(x);
        benchmark::DoNotOptimize(points.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(x.count));
}

// 1,000 skidding distances: stand inputs, machine costs computed once.
void BM_Line1000SkiddingDistance(benchmark::State& state) { line(state, "gf_i_rd=1:1000:1"); }
BENCHMARK(BM_Line1000SkiddingDistance)->Unit(benchmark::kMillisecond);

// 1,000 harvester costs: a cost of the cost dialog, still no machine recomputed.
void BM_Line1000HarvesterCost(benchmark::State& state) { line(state, "gf_hab112=50.5:150.4:0.1"); }
BENCHMARK(BM_Line1000HarvesterCost)->Unit(benchmark::kMillisecond);

// 1,000 purchase prices of the harvester: a basic, so every point computes
// the eight machine-hour costs again.
void BM_Line1000HarvesterPrice(benchmark::State& state) { line(state, "gf_hab44=100.5:200.4:0.1"); }
BENCHMARK(BM_Line1000HarvesterPrice)->Unit(benchmark::kMillisecond);

// The map the window opens with: BHD 6..90 × Hangneigung 0..65.
void BM_Map85x66(benchmark::State& state) {
    Sweep sweep = desktop_sweep();
    const SweepRange x = range("gi_bhd=6:90:1");
    const SweepRange y = range("gi_hn=0:65:1");
    for (auto _ : state) {
        std::vector<PointCosts> cells = sweep.map(x, y);
        benchmark::DoNotOptimize(cells.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(x.count * y.count));
}
BENCHMARK(BM_Map85x66)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
