// The plan within the hours the district has: the capacity of each crew and
// machine kind, the hours the present choice of systems needs, the choice
// made afresh by the optimisation, and that choice taken back again. What
// the plan window's capacity dialog, panel and sheet show is worked out
// here, without any widget.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "core/capacity.h"
#include "core/resources.h"
#include "files/plan_table.h"

namespace forstrix::ui {

// The hours available as the planner types them: empty means unlimited
// (kUnlimited); a decimal point or comma is read alike. nullopt: not a
// number of hours.
std::optional<double> read_hours(const QString& text);
// The hours as a field shows them ("1250,5"); empty for unlimited.
QString hours_field_text(double hours);
// "1.250,5 MAS": hours with the resource's unit; "unbegrenzt" for kUnlimited.
QString hours_text(double hours, int resource);

// The capacities remembered for the plan's file (kUnlimited where none was
// given, or the file was never given any) and remembering them.
plan::ResourceHours remembered_capacity(const QString& path);
void remember_capacity(const QString& path, const plan::ResourceHours& capacity);

// The hours of each resource that the stands' present choice needs.
plan::ResourceHours needed_hours(const files::PlanTable& table);
// Euro that the stand's chosen system costs over its cheapest (0 on the
// cheapest, without a figure on a refused stand or one without a system).
std::optional<double> extra_cost(const plan::StandFigures& f);
// The extra cost of the whole plan.
double extra_cost(const files::PlanTable& table);

// One resource against its capacity, for the panel and the sheet.
struct CapacityLine {
    int resource = 0;
    double available = plan::kUnlimited;
    double needed = 0;
    double missing() const { return needed > available ? needed - available : 0.0; }
};
std::vector<CapacityLine> capacity_lines(const plan::ResourceHours& capacity, const plan::ResourceHours& needed);
// "Harvester: es fehlen 320,5 MAS" for every resource beyond its capacity.
QStringList missing_texts(const std::vector<CapacityLine>& lines);
// Whether the last optimisation found the best plan or how far it may lie
// from it: "Ergebnis optimal", "Ergebnis höchstens 2,5 % vom Optimum
// entfernt (Rechenzeit erreicht)"; with hours missing, that no choice
// misses fewer.
QString proof_text(const plan::CapacityResult& result);

// The optimisation of one plan and its one step back.
class PlanCapacity {
public:
    explicit PlanCapacity(files::PlanTable& table) : table_(table) {}

    plan::CapacityOptions& options() { return options_; }
    const plan::CapacityOptions& options() const { return options_; }

    // The stands' figures and fixed systems for plan::optimise: copies, so
    // that the optimisation runs on another thread while the table stays.
    struct Input {
        std::vector<plan::StandFigures> stands;
        std::vector<int> fixed;
    };
    Input input() const;
    // Takes the optimisation's choice into the table: stands fixed to a
    // system that does not suit them refused, every other stand with a
    // choice given its system. The choice before is kept for undo().
    void apply(const plan::CapacityResult& result);
    // The last result while the choice is still the optimisation's.
    const std::optional<plan::CapacityResult>& result() const { return result_; }

    bool can_undo() const { return undo_.has_value(); }
    // Restores the choice before the last apply(); the refused stands are
    // computed again. Nothing to restore: nothing happens.
    void undo();
    // The planner changed the plan by hand: the optimisation's result no
    // longer describes it and there is nothing to take back.
    void forget();

private:
    struct Before {
        std::vector<int> wanted;
        std::vector<std::size_t> refused;
    };
    files::PlanTable& table_;
    plan::CapacityOptions options_;
    std::optional<plan::CapacityResult> result_;
    std::optional<Before> undo_;
};

}  // namespace forstrix::ui
