// The plan document's inside, shared by its reading and computing half
// (files/plan_table.cpp) and its writing half (files/plan_output.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "files/plan_table.h"
#include "files/table_source.h"

namespace forstrix::files {

struct PlanTable::Impl {
    table::Source source;
    columns::Mapping mapping;  // a copy: the header points into its codes
    columns::Header header;
    std::vector<PlanRow> rows;
    std::vector<std::optional<Problem>> cell_problem;  // a refused cell, found while reading
    // Every computed row's result columns (the values batch writes: derived
    // values, flags, results), row after row, and the conditions that fail.
    std::vector<const ValueInfo*> outputs;
    std::vector<double> results;
    std::vector<std::uint64_t> failing;
    // The last compute's basis, for a single row computed again.
    bool has_base = false;
    State prepared;
    std::vector<Given> common;

    void compute_one(std::size_t r, State& s, ScenarioOutcome& outcome, std::vector<Given>& given,
                     PlanRow& row, double* results_row, std::uint64_t& failing_row) const;
};

// The batch's result columns in registry order: derived values, flags,
// results.
std::vector<const ValueInfo*> result_values();

}  // namespace forstrix::files
