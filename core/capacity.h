// A plan within the hours a district has: the Forstamt owns or hires so many
// harvester, forwarder or crew hours for the season; the plan of every
// stand's cheapest system may need more. The optimisation chooses for every
// stand one of its suitable systems so that the hours stay within the
// capacities and the plan costs as little as possible (or emits the least
// CO2). When no choice fits, it finds the one with the fewest missing hours
// and says what is missing.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "core/plan.h"
#include "core/resources.h"

namespace forstrix::plan {

enum class Goal { Cost, Co2 };

inline constexpr double kUnlimited = std::numeric_limits<double>::infinity();
inline constexpr double kDefaultTimeLimit = 10.0;  // seconds

struct CapacityOptions {
    // Hours available per resource (Std. for people, MAS for machines);
    // kUnlimited for a resource without a capacity.
    ResourceHours capacity;
    Goal goal = Goal::Cost;
    double time_limit = kDefaultTimeLimit;  // seconds of solving at most

    CapacityOptions() { capacity.fill(kUnlimited); }
    bool any_capacity() const;
};

struct ResourceUse {
    double available = kUnlimited;  // the capacity
    double needed = 0;              // hours of the chosen plan
    double missing = 0;             // needed beyond available, else 0
};

struct CapacityResult {
    // False: this build has no solver (the Windows build); nothing else is set.
    bool solver = true;
    // Per stand: the system chosen, or kNone for a stand outside the plan
    // (refused, no system suits, or fixed to a system that does not suit).
    std::vector<int> chosen;
    // Stands whose fixed system does not suit them: these rows are refused.
    std::vector<std::size_t> unsuitable_fixed;
    std::array<ResourceUse, kResources> use{};
    bool fits = true;       // every resource within its capacity
    bool optimal = true;    // the choice is proven best (within the solver's tolerance)
    double gap = 0;         // relative distance to the best bound when not proven
    double shortfall = 0;   // missing hours summed over the resources
    double extra_cost = 0;  // Euro over the plan of every stand's cheapest system
};

// Whether this build can optimise (GLPK compiled in).
bool solver_available();

// Chooses the systems. `fixed[i]` is the system stand i keeps whatever the
// capacities (the input's gewaehlt with fest = 1), else kNone; an empty span
// fixes nothing. Every other stand with a suitable system gets one of its
// suitable systems afresh. The choice, in order of precedence:
//   the fewest missing hours summed over the resources (every hour weighs
//   the same, people's and machines' alike);
//   the smallest total Euro (Goal::Cost) or kg CO2 (Goal::Co2); totals
//   within a relative 1e-9 count as equal;
//   among plans of the same total, stands on their cheapest system, then on
//   lower system numbers: the plan found is moved that way, one or two
//   stands at a time, wherever hours and total allow, so that the same plan
//   always gives the same choice.
// A stand whose cheapest choice uses no resource with a capacity is settled
// without the solver; the plan of the cheapest choices is the solver's
// first solution. When the time limit ends the search, the best choice found
// is taken and `gap` says how far it may lie from the optimum.
CapacityResult optimise(std::span<const StandFigures> stands, std::span<const int> fixed,
                        const CapacityOptions& options);

// The German problem of a stand whose fixed system does not suit it:
// "gewaehlt: System IV ist für diesen Bestand nicht geeignet und fest (fest = 1)".
std::string unsuitable_fixed_text(int system);

}  // namespace forstrix::plan
