#include "core/plan.h"

#include <vector>

#include "core/emissions.h"
#include "core/result_tables.h"
#include "core/sweep.h"

namespace forstrix::plan {

namespace {

const ValueInfo* value_of(double State::* field) {
    for (const ValueInfo& v : value_registry()) {
        if (v.type == ValueType::Double && v.d == field) return &v;
    }
    return nullptr;
}

// The time lines read once from the results' table: every worker and machine
// row of I..VI, with its unit.
std::vector<TimeLine> make_time_lines() {
    std::vector<TimeLine> lines;
    const auto& systems = system_results();
    for (std::size_t k = 0; k < systems.size(); ++k) {
        for (const ResultRow& row : systems[k].rows) {
            lines.push_back(TimeLine{static_cast<int>(k), value_of(row.time), row.time,
                                     std::string_view(row.unit) == "min/Fm"});
        }
    }
    return lines;
}

// The stand as the Kostenverlauf compares it: its flags and sums, measured
// sums for I and II.
PointCosts point_of(const State& s) {
    PointCosts p;
    p.computed = true;
    p.flags = s.flags();
    p.sums = chart_sums(s);
    return p;
}

}  // namespace

std::span<const TimeLine> time_lines() {
    static const std::vector<TimeLine> lines = make_time_lines();
    return lines;
}

double compared_sum(const State& s, int system) { return competing_sum(chart_sums(s), system, false); }

bool suits(const State& s, int system) {
    if (system < 0 || system >= kSystems) return false;
    // A system suits when it competes on its own: the comparison of the
    // Kostenverlauf with every other system left out.
    Competition alone;
    alone.excluded.fill(true);
    alone.excluded[static_cast<std::size_t>(system)] = false;
    return cheapest(point_of(s), alone) == system;
}

StandFigures stand_figures(const State& s, int wanted) {
    StandFigures f;
    f.computed = true;
    f.volume = s.gc_vhieb;
    for (int k = 0; k < kSystems; ++k) {
        const auto i = static_cast<std::size_t>(k);
        f.suitable[i] = suits(s, k);
        f.euro_fm[i] = compared_sum(s, k);
        f.diesel_fm[i] = s.*kDieselPerFm[i];
        f.petrol_fm[i] = s.*kBenzinPerFm[i];
        f.co2_fm[i] = s.*kCo2PerFm[i];
    }
    const auto lines = time_lines();
    for (std::size_t n = 0; n < lines.size() && n < kTimeLines; ++n) {
        const double per_fm = s.*lines[n].time;
        f.hours[n] = (lines[n].minutes ? per_fm / 60.0 : per_fm) * f.volume;
    }
    f.cheapest = cheapest(point_of(s), Competition{});
    choose(f, wanted);
    return f;
}

void choose(StandFigures& f, int wanted) {
    const bool fits = wanted >= 0 && wanted < kSystems && f.suitable[static_cast<std::size_t>(wanted)];
    f.chosen = fits ? wanted : f.cheapest;
}

Amounts amounts(const StandFigures& f, int system) {
    Amounts a;
    if (system < 0 || system >= kSystems) return a;
    const auto i = static_cast<std::size_t>(system);
    a.euro_fm = f.euro_fm[i];
    a.euro = a.euro_fm * f.volume;
    a.diesel_l = f.diesel_fm[i] * f.volume;
    a.petrol_l = f.petrol_fm[i] * f.volume;
    a.co2_kg = f.co2_fm[i] * f.volume;
    return a;
}

double Totals::euro_fm() const { return volume > 0.0 ? euro / volume : 0.0; }

void Totals::add(const StandFigures& f) {
    ++stands;
    if (!f.computed) {
        ++refused;
        return;
    }
    if (!f.any_suitable()) {
        ++without_system;
        return;
    }
    if (f.chosen == kNone) return;
    const Amounts a = amounts(f, f.chosen);
    volume += f.volume;
    euro += a.euro;
    diesel_l += a.diesel_l;
    petrol_l += a.petrol_l;
    co2_kg += a.co2_kg;
    SystemTotals& t = systems[static_cast<std::size_t>(f.chosen)];
    ++t.stands;
    t.volume += f.volume;
    t.euro += a.euro;
    t.diesel_l += a.diesel_l;
    t.petrol_l += a.petrol_l;
    t.co2_kg += a.co2_kg;
    const auto lines = time_lines();
    for (std::size_t n = 0; n < lines.size() && n < kTimeLines; ++n) {
        if (lines[n].system == f.chosen) t.hours[n] += f.hours[n];
    }
}

Totals totals(std::span<const StandFigures> stands) {
    Totals t;
    for (const StandFigures& f : stands) t.add(f);
    return t;
}

}  // namespace forstrix::plan
