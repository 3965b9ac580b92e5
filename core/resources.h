// The crews and machines that a harvest plan ties up: for each, the time
// lines of the results that draw on it, so that the hours a choice of
// systems needs follow from the results (time per Fm × the stand's
// Hiebsmenge). Operators and chainsaws go with their machine and are no
// resource of their own.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "core/plan.h"
#include "core/state.h"

namespace forstrix::plan {

inline constexpr int kResources = 7;

struct ResourceInfo {
    std::string_view name;     // as the command line names it: "harvester"
    std::string_view display;  // as messages name it: "Harvester"
    std::string_view unit;     // "Std." for people, "MAS" for machines
    std::span<double State::* const> lines;  // the time lines of the results that draw on it
};

// forstwirte, seilschlepper, harvester, forwarder, hangharvester,
// hangforwarder, seilkran, in this order.
std::span<const ResourceInfo> resources();

// The resource 0..kResources-1 named `name` (case does not matter), or -1.
int find_resource(std::string_view name);

// The resource that time line n (index into time_lines()) draws on, or -1.
int resource_of_line(std::size_t n);

using ResourceHours = std::array<double, kResources>;

// The hours of every resource that system `system` needs for the stand.
ResourceHours resource_hours(const StandFigures& f, int system);

}  // namespace forstrix::plan
