// The harvest plan of many stands: for every stand, which work systems suit
// it, which is cheapest, which the planner chose, and what the chosen one
// costs and emits for the stand's whole harvest; then the plan's totals.
// The command line's `plan`, the desktop's plan window and the capacity
// optimisation all read these figures here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/registry.h"
#include "core/state.h"

namespace forstrix::plan {

inline constexpr int kSystems = 6;
inline constexpr int kNone = -1;  // no system (none suits, or none chosen)

// One time line of a system's results (a worker or machine), with the
// value that holds its time per Fm.
struct TimeLine {
    int system;              // 0..5 for I..VI
    const ValueInfo* value;  // gff_e3, gff_e4, ...
    double State::* time;
    bool minutes;            // min/Fm; else hours (MAS/Fm, Std./Fm)
};
// Every time line of the six systems, in the order of the results (I..VI,
// each system's rows in the order the results dialog shows them).
std::span<const TimeLine> time_lines();
inline constexpr std::size_t kTimeLines = 23;

// The sum by which system 0..5 is compared in a plan: I and II "inklusive
// Vermessung" (gff_g8, gff_g16), III gff_g24, IV gff_g31, V gff_g39,
// VI gff_g45.
double compared_sum(const State& s, int system);

// A system suits a stand when its flag is 1 and its compared sum is finite
// and greater than 0.
bool suits(const State& s, int system);

// What the plan keeps of one computed stand: enough to choose, total and
// optimise without computing it again.
struct StandFigures {
    bool computed = false;                // false: the row was refused
    double volume = 0;                    // gc_vhieb, EFm (one Fm of the results counts as one EFm)
    std::array<bool, kSystems> suitable{};
    std::array<double, kSystems> euro_fm{};    // compared sums, Euro/Fm
    std::array<double, kSystems> diesel_fm{};  // diesel_sysN, l/Fm
    std::array<double, kSystems> petrol_fm{};  // benzin_sysN, l/Fm
    std::array<double, kSystems> co2_fm{};     // co2_sysN, kg/Fm
    std::array<double, kTimeLines> hours{};    // per time line: hours for the whole stand (time × volume)
    int cheapest = kNone;  // suitable system with the smallest compared sum; ties to the lower number
    int chosen = kNone;    // the planner's choice where it suits, else cheapest

    bool any_suitable() const { return cheapest != kNone; }
};

// The figures of a stand computed in `s` (compute_scenario done and
// checked). `wanted` is the planner's choice 0..5, or kNone.
StandFigures stand_figures(const State& s, int wanted);

// Changes the choice: `wanted` where it suits, else the cheapest.
void choose(StandFigures& f, int wanted);

// The stand's totals with system `system` (which must suit it).
struct Amounts {
    double euro_fm = 0;   // kosten_fm
    double euro = 0;      // kosten = euro_fm × volume
    double diesel_l = 0;  // per Fm × volume
    double petrol_l = 0;
    double co2_kg = 0;
};
Amounts amounts(const StandFigures& f, int system);

struct SystemTotals {
    long stands = 0;
    double volume = 0, euro = 0, diesel_l = 0, petrol_l = 0, co2_kg = 0;
    std::array<double, kTimeLines> hours{};  // only this system's lines are non-zero
};

struct Totals {
    long stands = 0;          // every data row read, refused ones included
    long refused = 0;         // fehlerhaft
    long without_system = 0;  // read, but no system suits
    double volume = 0, euro = 0, diesel_l = 0, petrol_l = 0, co2_kg = 0;  // stands with a chosen system
    std::array<SystemTotals, kSystems> systems{};

    // Volume-weighted Euro/Fm of the plan (kosten / hiebsmenge_efm); 0 without volume.
    double euro_fm() const;
    // Adds a stand (refused or not) with its present choice.
    void add(const StandFigures& f);
};

Totals totals(std::span<const StandFigures> stands);

}  // namespace forstrix::plan
