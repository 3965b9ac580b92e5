// The plan document's inside, shared by its reading and computing half
// (files/plan_table.cpp) and its writing half (files/plan_output.cpp).
#pragma once

#include <cstdint>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "files/plan_table.h"
#include "files/table_source.h"

namespace forstrix::files {

struct PlanTable::Impl {
    table::Source source;
    columns::Mapping mapping;  // a copy: the header points into its codes
    columns::Header header;
    std::vector<PlanRow> rows;
    // Every row's own values, row after row: row r's are given[given_at[r]
    // .. given_at[r + 1]) (one block rather than a vector a row).
    std::vector<Given> given;
    std::vector<std::uint32_t> given_at{0};
    // Rows refused while reading: a cell that cannot be read, or a CSV row
    // with the wrong number of fields.
    std::unordered_map<std::size_t, Problem> read_problem;
    std::vector<std::size_t> uneven;  // the rows with the wrong number of fields, ascending
    // Every computed row's result columns (the values batch writes: derived
    // values, flags, results), row after row, and the conditions that fail.
    std::vector<const ValueInfo*> outputs;
    std::vector<double> results;
    std::vector<std::uint64_t> failing;
    // The last compute's basis, for a single row computed again.
    bool has_base = false;
    State prepared;
    std::vector<Given> common;

    // Where a computed row's figures go.
    struct RowOut {
        plan::StandFigures& figures;
        std::optional<Problem>& problem;
        std::vector<std::string>& warnings;
    };
    void compute_one(std::size_t r, State& s, ScenarioOutcome& outcome, std::vector<Given>& given_now, RowOut out,
                     double* results_row, std::uint64_t& failing_row) const;
    // Reads row r's cells into `given_now`, its choice and its fixed mark;
    // the first refused cell's problem. Column `set` (a value column) gives
    // `value` whatever its cell holds; the choice then stays as it is.
    std::optional<Problem> read_row(std::size_t r, std::vector<Given>& given_now, std::size_t set = SIZE_MAX,
                                    double value = 0);
    // Row r's values become `given_now`.
    void replace_given(std::size_t r, std::span<const Given> given_now);
};

// The batch's result columns in registry order: derived values, flags,
// results.
std::vector<const ValueInfo*> result_values();

}  // namespace forstrix::files
