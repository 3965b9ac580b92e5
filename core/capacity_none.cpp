// A build without GLPK (the Windows build) cannot optimise a plan; the
// command says so when capacities are given.
#include "core/capacity.h"
#include "core/capacity_model.h"

namespace forstrix::plan {

bool solver_available() { return false; }

namespace detail {

Solution solve(const Model& model, double) {
    Solution out;
    out.pick = model.start;
    out.optimal = false;
    return out;
}

}  // namespace detail

}  // namespace forstrix::plan
