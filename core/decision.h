// The decision for a stand at a glance: which suitable work system harvests
// it cheapest, what the whole measure then costs and burns, and how far the
// next system lies behind. The results dialog, the result sheet and the main
// window's status line all state it in the words made here.
#pragma once

#include <string>
#include <vector>

#include "core/state.h"

namespace forstrix {

struct Decision {
    int best = -1;          // 0..5 for I..VI; -1: no system suits the stand
    double per_fm = 0.0;    // its sum [Euro/Fm], unrounded
    double measure = 0.0;   // the whole measure [Euro]: per_fm × gc_vhieb
    double litres = 0.0;    // diesel and petrol of the measure [l]
    double co2 = 0.0;       // [kg CO2e]
    int second = -1;        // the next cheapest, -1 when no other competes
    double second_per_fm = 0.0;
};

// The decision over the computed results in `s` (the time-and-cost model has
// run). The systems compete as the Kostenverlauf lets them (core/sweep.h,
// cheapest): I and II by their sums "inklusive Vermessung", a sum not
// greater than 0 never. One Fm of the sums counts as one EFm of the
// Gesamt-Hiebsanfall.
Decision decide(const State& s);

// A whole number of Euro, litres or kg with a point between the thousands,
// as German texts write them: "32.608". Rounded half away from zero.
std::string format_thousands(double v);

inline constexpr const char* kNoSuitableSystem = "Kein Arbeitssystem ist für diesen Bestand geeignet.";

// The block in words, UTF-8, one string per line: the cheapest system with
// its Euro/Fm, the measure's cost, fuel and CO2, the second-cheapest with the
// difference per Fm; or the one line kNoSuitableSystem.
std::vector<std::string> decision_lines(const Decision& d, const State& s);

// One line for a status bar: "III) Hochmechanisierte Holzernte: 21,74
// Euro/Fm, 32.608 Euro für die Maßnahme", or the line of no suitable system.
std::string decision_summary(const Decision& d);

}  // namespace forstrix
