// Times one whole scenario of the calculation core, as the command line
// runs it: the stand model over the stand, the suitability rules, the eight
// machine-hour costs with the trace off, gf_ss = gf_asb75, and the
// time-and-cost model of all six work systems.
//
//   build/bench/bench_scenario --benchmark_repetitions=20
//       --benchmark_report_aggregates_only=true  (one line)
//
// On a shared machine the instructions per scenario say more than the time:
//   valgrind --tool=callgrind build/bench/bench_scenario
//       --benchmark_filter='BM_Scenario$' --benchmark_min_time=0.05
//   callgrind_annotate --tree=caller callgrind.out.*  (compute_scenario: its
//       inclusive count over its number of calls)
//
// Goal: at most 300 ns per scenario, the stand's checks included.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/scenario.h"
#include "core/calc.h"

namespace {

using forstrix::State;
using forstrix::bench::run_scenario;

// The default scenario (the worked example of the cost scheme).
void BM_Scenario(benchmark::State& state) {
    for (auto _ : state) {
        State s{};
        benchmark::DoNotOptimize(s);  // the compiler must not fold the defaults
        run_scenario(s);
        benchmark::DoNotOptimize(s.gff_g45);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Scenario);

// Varying stands, so no branch or input stays the same from run to run.
void BM_ScenarioVarying(benchmark::State& state) {
    std::uint32_t i = 0;
    for (auto _ : state) {
        State s{};
        s.gi_ba = i % 10;
        s.gi_bhd = 6 + (i * 7) % 85;
        s.gi_sf = i % 4;
        s.gi_hn = (i * 13) % 66;
        s.gi_v_sll = i % 5;
        s.gi_v_kf = i % 3;
        benchmark::DoNotOptimize(s);
        run_scenario(s);
        benchmark::DoNotOptimize(s.gff_g45);
        benchmark::ClobberMemory();
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScenarioVarying);

// What a basics dialog does on each keystroke: copy the state, set a working
// value, compute one machine.
void BM_MachineOverCopy(benchmark::State& state) {
    State base{};
    forstrix::startup_compute(base);
    const auto& kind = forstrix::machine_kind(forstrix::MachineId::hab);
    double r = 0.0;
    for (auto _ : state) {
        State work = base;
        work.gf_hab53 = r;
        forstrix::calc_machine(work, kind, nullptr);
        benchmark::DoNotOptimize(work.gf_hab112);
        r = r < 100.0 ? r + 1.0 : 0.0;
    }
}
BENCHMARK(BM_MachineOverCopy);

}  // namespace

BENCHMARK_MAIN();
