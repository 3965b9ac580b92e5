// The formulas: stand model, suitability rules, machine-hour costs and the
// time-and-cost model of the six work systems. Every function works on the
// values passed to it; there is no hidden state.
#pragma once

#include <array>
#include <cstdint>

#include "core/machines.h"
#include "core/state.h"
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

// --------------------------------------------------------- suitability rules
struct SuitabilityInputs {
    bool inputs_valid;
    std::uint32_t bhd, hn, ar, br, hvs;
    double vab, stm, vhieb;
};
SuitabilityInputs suitability_inputs(const State& s, bool inputs_valid = true);
std::array<std::int32_t, 6> calc_eignung(const SuitabilityInputs& in);

// ----------------------------------------------------- machine-hour costs
// Each computes the results of its kind from the basics in `s`, stores them
// into `s` and writes its trace lines to `trace` unless it is null.
void calc_motorsaege(State& s, TraceSink* trace = nullptr);
void calc_machine(State& s, const MachineKind& kind, TraceSink* trace = nullptr);
// All eight, in the fixed order chainsaw, asb, hab, fob, hfsab, hhb, hfb, mskb.
void calc_all_machines(State& s, TraceSink* trace = nullptr);

// ------------------------------------------------------- time and cost model
double calc_stm_sys1(const State& s);
void calc_zeitbedarfkosten(State& s);

// ------------------------------------------------------------- start-up
// The derived stand values from the stand in `s`, the eight machine-hour
// costs, then gf_ss = gf_asb75. The suitability flags keep their values.
// (The desktop program reads "daten.klg" before calling this.)
void startup_compute(State& s, TraceSink* trace = nullptr);

}  // namespace forstrix
