// Times the writing of result numbers as the batch table writes them: fixed
// notation, fewest digits that read back exactly. The values are those of a
// thousand varied stands (every derived value and result, as in the table),
// so the mix of short inputs, whole numbers and 17-digit costs is the real one.
//
//   build/bench/bench_numbers --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <vector>

#include "bench/scenario.h"
#include "core/numtext.h"
#include "core/registry.h"

namespace {

using forstrix::State;

std::vector<double> table_values() {
    std::vector<double> values;
    for (std::uint32_t i = 0; i < 1000; ++i) {
        State s{};
        s.gi_ba = i % 10;
        s.gi_bhd = 6 + (i * 7) % 85;
        s.gi_sf = i % 4;
        s.gi_hn = (i * 13) % 66;
        s.gf_vab = 5.0 + (i * 37 % 19500) / 100.0;
        s.gf_i_rd = 20.0 + (i * 11) % 780;
        forstrix::bench::run_scenario(s);
        for (const forstrix::ValueInfo& v : forstrix::value_registry())
            if (v.type == forstrix::ValueType::Double &&
                (v.kind == forstrix::ValueKind::Derived || v.kind == forstrix::ValueKind::Result))
                values.push_back(s.*(v.d));
    }
    return values;
}

template <typename Write>
void run(benchmark::State& state, Write write) {
    const std::vector<double> values = table_values();
    std::array<char, 2 * forstrix::kMaxFixedChars> buf;
    for (auto _ : state) {
        for (double v : values) benchmark::DoNotOptimize(write(buf.data(), v));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

void BM_LibraryToChars(benchmark::State& state) {
    run(state, [](char* p, double v) {
        return std::to_chars(p, p + forstrix::kMaxFixedChars, v, std::chars_format::fixed).ptr;
    });
}
BENCHMARK(BM_LibraryToChars);

void BM_WriteFixedShortest(benchmark::State& state) {
    run(state, [](char* p, double v) { return forstrix::write_fixed_shortest(p, v, '.'); });
}
BENCHMARK(BM_WriteFixedShortest);

}  // namespace

BENCHMARK_MAIN();
