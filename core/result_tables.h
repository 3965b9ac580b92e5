// What the time-and-cost model yields for each work system, as the results
// are shown to the user: one row per worker or machine (time and cost per
// Fm), then the cost sums with the assortment the system delivers at that
// price. The results dialog and the result sheet both read this one table,
// so a label, a unit or a value behind a field is written once.
// (The report "erg.txt" keeps a table of its own: its labels differ in two
// places, which the files that other programs read must keep.)
#pragma once

#include <cstdint>
#include <vector>

#include "core/state.h"

namespace forstrix {

// One worker or machine: time per Fm and cost per Fm.
struct ResultRow {
    const char* label;
    double State::* time;
    const char* unit;  // "min/Fm", "MAS/Fm" or "Std./Fm"
    double State::* cost;
};

// A cost sum with the assortment the system delivers at that price.
struct ResultSum {
    const char* label;  // "Summe:" or "inklusive Vermessung"
    double State::* cost;
    int id;             // control number of its field in the results dialog
    const char* assortment;
};

struct SystemResults {
    int id;  // results dialog group box; row k has the time field id + 2k + 1, the cost field id + 2k + 2
    const char* title;  // "I) Konventionelle Holzernte"
    std::int32_t State::* flag;
    std::vector<ResultRow> rows;
    std::vector<ResultSum> sums;
};

// The six systems in the order I..VI.
const std::vector<SystemResults>& system_results();

}  // namespace forstrix
