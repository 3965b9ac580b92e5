// The optimisation as the solver sees it: only the stands that still have a
// choice, each with its remaining options, and the room left in each
// resource with a capacity once the settled stands are counted.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <vector>

#include "core/resources.h"

namespace forstrix::plan::detail {

struct Option {
    int system = 0;
    double goal = 0;   // Euro or kg CO2 for the whole stand
    double tie = 0;    // smaller is preferred among equal totals
    ResourceHours hours{};
};

struct Model {
    std::vector<int> limited;  // resources with a capacity
    ResourceHours room{};      // capacity minus the settled stands' hours (may be negative)
    std::vector<std::vector<Option>> stands;  // two options or more each
    std::vector<int> start;    // the option each stand starts from (its best alone)
};

struct Solution {
    std::vector<int> pick;  // option per stand of the model
    bool optimal = true;
    double gap = 0;
};

// The lexicographic optimum (missing hours, then goal, then tie) of the
// model, within `seconds`; starts from model.start.
Solution solve(const Model& model, double seconds);

// Missing hours, goal and tie of a pick, computed exactly as the result
// reports them.
struct Score {
    double shortfall = 0, goal = 0, tie = 0;
};
Score score(const Model& model, const std::vector<int>& pick);

// Totals within a relative 1e-9 are equal.
bool same_total(double a, double b);

// What a stage of the search aims at, and the bounds the stages before it
// set (infinite where none).
enum class Aim { Shortfall, Goal, Tie };
struct Bounds {
    double shortfall = std::numeric_limits<double>::infinity();
    double goal = std::numeric_limits<double>::infinity();
};

// Mends and improves `pick` by changing one stand at a time: first the
// missing hours are brought within the bound where that can be done (each
// hour bought where it costs least), then every change that serves the aim
// within the bounds is made. False when the result breaks a bound. The
// solver rounds its relaxed solutions with this, so that it always holds a
// good plan long before it can prove one best.
// `pair_rounds`: how many pairs of changes may be made at most.
bool polish(const Model& model, std::vector<int>& pick, Aim aim, const Bounds& bounds, int pair_rounds = 0);

}  // namespace forstrix::plan::detail
