// Machine-hour cost calculation: the chainsaw's own formula and
// the one formula of the seven machines, with the diagnostic trace.
#include <string>
#include <utility>

#include "core/calc.h"
#include "core/numtext.h"

namespace forstrix {

// ------------------------------------------------------------------ chainsaw
ChainsawCosts chainsaw_costs(const State& s) {
    ChainsawCosts c{};
    // Depreciation: mean price of the two reference saws less the cutting-set
    // share, spread over the operating hours of the whole useful life.
    c.depreciation = (1.0 - 0.01 * s.gf_msc7) * ((s.gf_msc5 + s.gf_msc6) * 0.5) / (s.gf_msc8 * s.gf_msc9);
    // Wear of bar, sprocket and chain, repair of power head and bar,
    // maintenance of the power head; added from left to right.
    c.cutting_set = s.gf_msc10 / s.gf_msc11 + s.gf_msc12 / s.gf_msc13 + s.gf_msc14 / s.gf_msc15 +
                    s.gf_msc16 * c.depreciation + s.gf_msc17 * s.gf_msc10 / s.gf_msc11 +
                    s.gf_msc18 * c.depreciation;
    // A ready-mix price other than 0 replaces the mixed price entirely.
    const double fuel_price = s.gf_msc22 != 0.0 ? s.gf_msc22 : s.gf_msc20 / s.gf_msc21 + s.gf_msc19;
    c.fuel = fuel_price * s.gf_msc23 + s.gf_msc24 * s.gf_msc25;
    // Interest on half the mean price of the two saws per hour of annual use.
    c.interest = (s.gf_msc5 + s.gf_msc6) * 0.25 / s.gf_msc8 * s.gf_msc26 * 0.01;
    c.transport = s.gf_msc27;
    c.total = c.depreciation + c.cutting_set + c.fuel + c.interest + c.transport;
    c.per_minute = c.total * 0.016666666666666666;
    return c;
}

void calc_motorsaege(State& s, TraceSink* trace) {
    const ChainsawCosts c = chainsaw_costs(s);
    s.gf_msc31 = c.depreciation;
    s.gf_msc32 = c.cutting_set;
    s.gf_msc33 = c.fuel;
    s.gf_msc34 = c.interest;
    s.gf_msc35 = c.transport;
    s.gf_msc37 = c.total;
    s.gf_msc38 = c.per_minute;
    if (trace == nullptr) return;
    std::string out(kChainsawTraceHeading);
    for (double v : {c.depreciation, c.cutting_set, c.fuel, c.interest, c.transport, c.total}) {
        out += format_fixed(v, 2);
        out += '\n';
    }
    out += format_fixed(c.per_minute, 2);
    out += "\n\n";
    trace->write(out);
}

// ------------------------------------------------------------------ machines
// Symbols as in the cost scheme: P purchase price and R residual value
// [Tsd. Euro], V obsolescence time [years], N normal useful life [MAS],
// A annual use [MAS/year].
// Depreciation on the obsolescence basis (taken when N / V > A, i.e. the
// machine becomes obsolete before its useful life is used up) spreads the
// loss of value P − R over the hours actually reached, A · V; otherwise it
// spreads it over N. Repair follows the same choice.
MachineCosts machine_costs(const MachineBasics& b) {
    const double P = b[0], V = b[1], N = b[2], A = b[3], r = b[4], i = b[5], f = b[6], c = b[7],
                 s = b[8], R = b[9], m = b[10], o = b[11], g = b[12];
    MachineCosts k{};
    const bool obsolescence = N / V > A;
    if (obsolescence) {
        k.depreciation = (P * 1000.0 - R * 1000.0) / (A * V);
        k.repair = (P - R) * 1000.0 / N * r * (A * V / N);
    } else {
        k.depreciation = (P * 1000.0 - R * 1000.0) / N;
        k.repair = (P - R) * r * 1000.0 / N;
    }
    k.interest = 0.01 * i * (P + R) * 1000.0 / (2.0 * A);  // on the mean capital
    k.fuel = (1.0 + s) * f * c;
    k.mobility = m * P * 1000.0 / (100.0 * A);
    k.other = o * P * 1000.0 / (100.0 * A);
    k.profit = 0.01 * g * (P + R) * 1000.0 / (2.0 * A);
    k.total = k.depreciation + k.repair + k.interest + k.fuel + k.mobility + k.other + k.profit;
    return k;
}

namespace {

// The rows of a kind, spelt out one by one rather than in a loop: every
// scenario reads 91 basics and writes 56 results.
template <std::size_t... N>
MachineBasics read_basics(const State& s, const MachineKind& kind, std::index_sequence<N...>) {
    return {s.*kind.basics[N]...};
}

template <std::size_t... N>
void store_results(State& s, const MachineKind& kind, const std::array<double, kResultsPerMachine>& r,
                   std::index_sequence<N...>) {
    ((s.*kind.results[N] = r[N]), ...);
}

}  // namespace

MachineBasics machine_basics(const State& s, const MachineKind& kind) {
    return read_basics(s, kind, std::make_index_sequence<kBasicsPerMachine>{});
}

void calc_machine(State& s, const MachineKind& kind, TraceSink* trace) {
    const MachineCosts k = machine_costs(machine_basics(s, kind));
    const std::array<double, kResultsPerMachine> r = k.as_array();
    store_results(s, kind, r, std::make_index_sequence<kResultsPerMachine>{});
    if (trace == nullptr) return;
    std::string out(kind.trace_heading);
    for (int n = 0; n < kResultsPerMachine - 1; ++n) {
        out += format_fixed(r[n], 2);
        out += '\n';
    }
    out += kind.trace_total;
    out += format_fixed(k.total, 2);
    out += kind.trace_blank_after_total ? "\n\n" : "\n";
    trace->write(out);
}

void calc_all_machines(State& s, TraceSink* trace) {
    calc_motorsaege(s, trace);
    for (const MachineKind& kind : kMachineKinds) calc_machine(s, kind, trace);
}

// ------------------------------------------------------------------ start-up
void startup_compute(State& s, TraceSink* trace) {
    store(s, calc_bestand(stand_inputs(s)));
    calc_all_machines(s, trace);
    s.gf_ss = s.gf_asb75;
}

}  // namespace forstrix
