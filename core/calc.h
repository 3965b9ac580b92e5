// The formulas: stand model, suitability rules (core/suitability.h),
// machine-hour costs and the time-and-cost model of the six work systems.
// Every function works on the values passed to it; there is no hidden state.
#pragma once

#include <array>
#include <cstdint>

#include "core/machines.h"
#include "core/state.h"
#include "core/suitability.h"
#include "core/trace.h"

namespace forstrix {

// ------------------------------------------------------------- stand model
double calc_hoehe(int ba, std::uint32_t sf, std::uint32_t bhd);
double calc_stm(double hoehe, std::uint32_t bhd);
double calc_stmvoll(std::uint32_t ba, double hoehe, std::uint32_t bhd);

struct StandInputs {
    std::uint32_t ba, sf, bhd;
    double bh;   // own height, 0 = not given
    double stm;  // own piece volume, 0 = not given
    double vab, gf;
};
struct StandValues {
    double hoehe, stm, stmvoll, stmderb, vhieb;
};
StandInputs stand_inputs(const State& s);
StandValues calc_bestand(const StandInputs& in);
void store(State& s, const StandValues& v);  // into gc_hoehe ... gc_vhieb

// ----------------------------------------------------- machine-hour costs
// The chainsaw's results (gf_msc31 ... gf_msc35, gf_msc37, gf_msc38) from its
// basics in `s`, without storing them.
struct ChainsawCosts {
    double depreciation, cutting_set, fuel, interest, transport, total, per_minute;
};
ChainsawCosts chainsaw_costs(const State& s);

// The thirteen basics of a machine, rows 44..56 in order
// (P, V, N, A, r, i, f, c, s, R, m, o, g of the cost scheme).
using MachineBasics = std::array<double, kBasicsPerMachine>;
// The seven components and the total of a machine, in the order of its
// result rows (D Q I F M O G, T).
struct MachineCosts {
    double depreciation, repair, interest, fuel, mobility, other, profit, total;
    std::array<double, kResultsPerMachine> as_array() const {
        return {depreciation, repair, interest, fuel, mobility, other, profit, total};
    }
};
// The one formula of the seven machines, pure.
MachineCosts machine_costs(const MachineBasics& basics);
MachineBasics machine_basics(const State& s, const MachineKind& kind);

// Each computes the results of its kind from the basics in `s`, stores them
// into `s` and writes its trace lines to `trace` unless it is null. The
// cost scheme's calc_agrarschlepper, calc_harvester, calc_forwarder,
// calc_fsaharvester, calc_hangharvester, calc_hangforwarder and
// calc_mobilkran are calc_machine with the kinds asb, hab, fob, hfsab, hhb,
// hfb and mskb of kMachineKinds. A dialog may run them over a copy of the
// State holding its working values; a copy and a call cost well under a
// microsecond.
void calc_motorsaege(State& s, TraceSink* trace = nullptr);
void calc_machine(State& s, const MachineKind& kind, TraceSink* trace = nullptr);
// All eight, in the fixed order chainsaw, asb, hab, fob, hfsab, hhb, hfb, mskb.
void calc_all_machines(State& s, TraceSink* trace = nullptr);

// ------------------------------------------------------- time and cost model
double calc_stm_sys1(const State& s);
// Every gff_ result, then the litres of fuel and the CO2 per Fm of each
// system (calc_kraftstoff, core/emissions.h).
void calc_zeitbedarfkosten(State& s);

// ------------------------------------------------------------- start-up
// The derived stand values from the stand in `s`, the eight machine-hour
// costs, then gf_ss = gf_asb75. The suitability flags keep their values.
// (The desktop program reads "daten.klg" before calling this.)
void startup_compute(State& s, TraceSink* trace = nullptr);

}  // namespace forstrix
