// How the cost of each work system moves when one or two inputs vary, and
// which suitable system is cheapest where. A sweep is a grid of scenarios:
// every point is computed by compute_scenario exactly as `calc` computes it
// with that value set (stand model, suitability rules, the dialogs' checks
// and the time-and-cost model), so the line chart, the map, the CSV table of
// the command line and the tests all read the same figures from here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/checks.h"
#include "core/registry.h"
#include "core/scenario.h"
#include "core/state.h"
#include "core/systems.h"

namespace forstrix {

// More points than this are refused: a million scenarios take about a
// second and a table of a hundred megabytes.
inline constexpr std::size_t kMaxSweepPoints = 1'000'000;

// The points FROM, FROM + STEP, FROM + 2·STEP, ... up to TO of one input.
// The three numbers are held as whole multiples of 10^-scale, so point k is
// (first + k·step) / 10^scale computed from whole numbers: a decimal step
// never drifts (the third point of 0.1 steps is 0.3, not 0.30000000000000004)
// and TO is a point exactly when it lies on the grid.
struct SweepRange {
    const ValueInfo* info = nullptr;
    std::int64_t first = 0;  // FROM · 10^scale
    std::int64_t step = 1;   // STEP · 10^scale, > 0
    int scale = 0;           // decimals of the grid
    std::size_t count = 0;   // number of points, FROM first

    // Point k; an index beyond the last point gives the last.
    double value(std::size_t k) const;
    double from() const { return value(0); }
    double last() const { return value(count == 0 ? 0 : count - 1); }
    // The index of the grid point nearest to v (clamped to the range).
    std::size_t nearest(double v) const;
};

// A range from the texts FROM, TO and STEP (digits with at most one point or
// comma, as a dialog field reads them), or nullopt with a German problem:
// a text that is no number, STEP not greater than 0, FROM greater than TO,
// more than kMaxSweepPoints points, a non-whole number for a whole-number
// input, a point outside the values the input's dialog allows, and the
// skidding distance of system II (it always follows that of system I).
std::optional<SweepRange> make_range(const ValueInfo& info, std::string_view from, std::string_view to,
                                     std::string_view step, Problem& problem);

// "NAME=FROM:TO:STEP", the name an input's (see find_settable).
std::optional<SweepRange> parse_range(std::string_view text, Problem& problem);

// What one point yields for the comparison of the systems.
struct PointCosts {
    bool computed = false;               // false: the checks refused this scenario
    std::array<std::int32_t, 6> flags{};  // g_sys1 ... g_sys6
    std::array<double, 8> sums{};         // chart_sums order: g7 g8 g15 g16 g24 g31 g39 g45
};

// Which sums compete for "cheapest".
struct Competition {
    // I and II by their sums without measuring (gff_g7, gff_g15) instead of
    // "inklusive Vermessung" (gff_g8, gff_g16).
    bool unmeasured = false;
    std::array<bool, 6> excluded{};  // systems left out of the comparison
};

// The sum by which system 0..5 (I..VI) competes.
double competing_sum(const std::array<double, 8>& sums, int system, bool unmeasured);

// The cheapest competing system 0..5, or -1 when none competes. A system
// competes when it suits the stand, is not excluded and its sum is a finite
// number greater than 0 (system V's yarder turns negative for tiny pieces on
// long lines; such a figure is no price). Sums are compared unrounded; on
// exact equality the lower numeral wins.
int cheapest(const PointCosts& p, const Competition& c);

// The eight machine costs of the cost dialog (gf_ss, gf_msc37, gf_hab112,
// ...) of `s` as given values. A sweep from the desktop program's state
// gives them, so that costs typed into that dialog stay in force and the
// skidder cost of system I keeps the value that start-up or the dialog set.
std::vector<Given> cost_dialog_values(const State& s);

// Computes the points of a sweep over one base scenario. The base is a State
// holding the defaults (and a basics file), and the values given on top as
// `calc` takes them; the swept values are given last, so they win.
class Sweep {
public:
    // nullopt when the given basics are refused: they would refuse every
    // point alike (the problems say why).
    static std::optional<Sweep> prepare(const State& base, std::span<const Given> given,
                                        std::vector<Problem>& problems);

    // One point: the swept values in `at` (one per range). `outcome` holds
    // the checks' problems of a refused point and the plausibility warnings.
    // A result that is not a finite number refuses the point, as `calc`
    // refuses such a scenario.
    PointCosts compute(std::span<const Given> at, ScenarioOutcome& outcome);

    // The computed state of the last point (valid when it was computed).
    const State& state() const { return work_; }

    // All points of a line, in range order.
    std::vector<PointCosts> line(const SweepRange& x);
    // All cells of a map, the second input varying fastest: cell (i, j) is
    // element i · y.count + j.
    std::vector<PointCosts> map(const SweepRange& x, const SweepRange& y);

private:
    Sweep() = default;
    State prepared_;              // basics applied, machine-hour costs computed
    std::vector<Given> given_;    // the other given values
    std::vector<Given> point_;    // given_ plus the swept values
    State work_;
    ScenarioOutcome scratch_;
};

// ----------------------------------------------------------------- the table
// The CSV table of a sweep, as the batch table writes numbers: fixed
// notation with the fewest digits that read back exactly, `decimal` as the
// mark, whole numbers without decimals, LF line ends. Columns: the swept
// inputs, g_sys1 ... g_sys6, gff_g7, gff_g8, gff_g15, gff_g16, gff_g24,
// gff_g31, gff_g39, gff_g45, cheapest. A refused point keeps its input cells
// and leaves the others empty.
void append_sweep_header(std::string& out, std::span<const SweepRange* const> ranges, char sep);
void append_sweep_row(std::string& out, std::span<const double> inputs, const PointCosts& p,
                      const Competition& c, char sep, char decimal);

}  // namespace forstrix
