#include "core/capacity.h"

#include <algorithm>
#include <cmath>

#include "core/capacity_model.h"
#include "core/systems.h"

namespace forstrix::plan {

namespace detail {

bool same_total(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)}); }

Score score(const Model& model, const std::vector<int>& pick) {
    Score s;
    ResourceHours need{};
    for (std::size_t i = 0; i < model.stands.size(); ++i) {
        const Option& o = model.stands[i][static_cast<std::size_t>(pick[i])];
        s.goal += o.goal;
        s.tie += o.tie;
        for (const int r : model.limited) need[static_cast<std::size_t>(r)] += o.hours[static_cast<std::size_t>(r)];
    }
    for (const int r : model.limited) {
        const auto k = static_cast<std::size_t>(r);
        s.shortfall += std::max(0.0, need[k] - model.room[k]);
    }
    return s;
}

}  // namespace detail

namespace {

using detail::Option;

bool finite_option(const Option& o) {
    if (!std::isfinite(o.goal)) return false;
    return std::all_of(o.hours.begin(), o.hours.end(), [](double h) { return std::isfinite(h); });
}

// `a` is at least as good as `b` on every count, and better on one: it
// needs no more of any limited resource and has the smaller total (or the
// same and the better tie). Such a `b` is never chosen.
bool dominates(const Option& a, const Option& b, const std::vector<int>& limited) {
    for (const int r : limited) {
        if (a.hours[static_cast<std::size_t>(r)] > b.hours[static_cast<std::size_t>(r)]) return false;
    }
    return a.goal < b.goal || (a.goal == b.goal && a.tie < b.tie);
}

bool before(const Option& a, const Option& b) { return a.goal < b.goal || (a.goal == b.goal && a.tie < b.tie); }

void add_hours(ResourceHours& sum, const ResourceHours& h) {
    for (std::size_t r = 0; r < sum.size(); ++r) sum[r] += h[r];
}

}  // namespace

bool CapacityOptions::any_capacity() const {
    return std::any_of(capacity.begin(), capacity.end(), [](double c) { return c != kUnlimited; });
}

std::string unsuitable_fixed_text(int system) {
    const std::string_view numeral =
        system >= 0 && system < kSystems ? kSystemNumerals[static_cast<std::size_t>(system)] : "?";
    return "gewaehlt: System " + std::string(numeral) + " ist für diesen Bestand nicht geeignet (fest = 1)";
}

CapacityResult optimise(std::span<const StandFigures> stands, std::span<const int> fixed,
                        const CapacityOptions& options) {
    CapacityResult result;
    if (!solver_available()) {
        result.solver = false;
        return result;
    }
    result.chosen.assign(stands.size(), kNone);

    detail::Model model;
    for (int r = 0; r < kResources; ++r) {
        if (options.capacity[static_cast<std::size_t>(r)] != kUnlimited) model.limited.push_back(r);
    }
    // A tie prefers the cheapest system by a margin no sum of system numbers
    // reaches, then the lower numbers.
    const double off_cheapest = 8.0 * static_cast<double>(stands.size()) + 8.0;

    ResourceHours settled{};
    std::vector<std::size_t> modelled;  // plan index of each model stand
    for (std::size_t i = 0; i < stands.size(); ++i) {
        const StandFigures& f = stands[i];
        if (!f.computed || !f.any_suitable()) continue;
        const int keep = i < fixed.size() ? fixed[i] : kNone;
        if (keep != kNone) {
            if (keep < 0 || keep >= kSystems || !f.suitable[static_cast<std::size_t>(keep)]) {
                result.unsuitable_fixed.push_back(i);
                continue;
            }
            result.chosen[i] = keep;
            add_hours(settled, resource_hours(f, keep));
            continue;
        }
        std::vector<Option> opts;
        for (int k = 0; k < kSystems; ++k) {
            if (!f.suitable[static_cast<std::size_t>(k)]) continue;
            const Amounts a = amounts(f, k);
            Option o{k, options.goal == Goal::Co2 ? a.co2_kg : a.euro,
                     (k == f.cheapest ? 0.0 : off_cheapest) + k, resource_hours(f, k)};
            if (finite_option(o)) opts.push_back(o);
        }
        std::vector<Option> kept;
        for (const Option& o : opts) {
            if (std::none_of(opts.begin(), opts.end(),
                             [&](const Option& other) { return dominates(other, o, model.limited); }))
                kept.push_back(o);
        }
        if (kept.empty()) continue;  // no suitable system with finite figures
        std::sort(kept.begin(), kept.end(), before);
        if (kept.size() == 1) {
            result.chosen[i] = kept.front().system;
            add_hours(settled, kept.front().hours);
            continue;
        }
        model.stands.push_back(std::move(kept));
        model.start.push_back(0);
        modelled.push_back(i);
    }
    for (const int r : model.limited) {
        const auto k = static_cast<std::size_t>(r);
        model.room[k] = options.capacity[k] - settled[k];
    }

    std::vector<int> pick = model.start;
    if (!model.stands.empty() && detail::score(model, pick).shortfall > 0.0) {
        const detail::Solution s = detail::solve(model, options.time_limit);
        pick = s.pick;
        result.optimal = s.optimal;
        result.gap = s.gap;
    }
    for (std::size_t m = 0; m < modelled.size(); ++m)
        result.chosen[modelled[m]] = model.stands[m][static_cast<std::size_t>(pick[m])].system;

    // The report, from the chosen systems of every stand alike.
    ResourceHours needed{};
    for (std::size_t i = 0; i < stands.size(); ++i) {
        const int k = result.chosen[i];
        if (k == kNone) continue;
        add_hours(needed, resource_hours(stands[i], k));
        result.extra_cost += amounts(stands[i], k).euro - amounts(stands[i], stands[i].cheapest).euro;
    }
    for (std::size_t r = 0; r < result.use.size(); ++r) {
        ResourceUse& u = result.use[r];
        u.available = options.capacity[r];
        u.needed = needed[r];
        const double over = u.needed - u.available;
        // Sums taken in another order differ in the last digits: that is no hour missing.
        u.missing = over > 1e-9 * std::max(1.0, std::fabs(u.available)) ? over : 0.0;
        result.shortfall += u.missing;
    }
    result.fits = result.shortfall == 0.0;
    return result;
}

}  // namespace forstrix::plan
