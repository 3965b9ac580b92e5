#include <algorithm>
#include <cmath>

#include "core/capacity_model.h"

namespace forstrix::plan::detail {

namespace {

// The hours of the limited resources and the missing hours they make.
class Need {
public:
    Need(const Model& m, const std::vector<int>& pick) : m_(m) {
        for (std::size_t i = 0; i < m.stands.size(); ++i) add(m.stands[i][static_cast<std::size_t>(pick[i])], 1.0);
    }
    double shortfall() const { return shortfall_with(nullptr, nullptr); }
    // The missing hours were `from` replaced by `to` (and `from2` by `to2`).
    double shortfall_with(const Option* from, const Option* to, const Option* from2 = nullptr,
                          const Option* to2 = nullptr) const {
        double s = 0.0;
        for (const int r : m_.limited) {
            const auto k = static_cast<std::size_t>(r);
            double h = hours_[k];
            if (from != nullptr) h += to->hours[k] - from->hours[k];
            if (from2 != nullptr) h += to2->hours[k] - from2->hours[k];
            s += std::max(0.0, h - m_.room[k]);
        }
        return s;
    }
    void move(const Option& from, const Option& to) {
        add(from, -1.0);
        add(to, 1.0);
    }

private:
    void add(const Option& o, double sign) {
        for (const int r : m_.limited) hours_[static_cast<std::size_t>(r)] += sign * o.hours[static_cast<std::size_t>(r)];
    }
    const Model& m_;
    ResourceHours hours_{};
};

double aim_of(const Option& o, Aim aim) { return aim == Aim::Tie ? o.tie : o.goal; }

struct Move {
    std::size_t stand, option;
    double change;  // of the aim
    double goal;    // change of the total
};

// The best pair of changes of two stands that serves the aim within the
// bounds: one stand moves to a system better for the aim that needs more
// hours than are free, another to a worse one that frees them. The
// capacities leave little room once the relaxed plan is rounded, and a
// single change rarely fits into it.
bool best_pair(const Model& model, const std::vector<int>& pick, const Need& need, double goal, Aim aim,
               const Bounds& bounds, Move& first, Move& second) {
    std::vector<Move> savers, freers;
    for (std::size_t i = 0; i < model.stands.size(); ++i) {
        const Option& from = model.stands[i][static_cast<std::size_t>(pick[i])];
        for (std::size_t o = 0; o < model.stands[i].size(); ++o) {
            const Option& to = model.stands[i][o];
            if (o == static_cast<std::size_t>(pick[i])) continue;
            const Move m{i, o, aim_of(to, aim) - aim_of(from, aim), to.goal - from.goal};
            if (m.change < 0.0) {
                savers.push_back(m);
                continue;
            }
            for (const int r : model.limited) {
                if (to.hours[static_cast<std::size_t>(r)] < from.hours[static_cast<std::size_t>(r)]) {
                    freers.push_back(m);
                    break;
                }
            }
        }
    }
    const auto by_change = [](const Move& a, const Move& b) { return a.change < b.change; };
    std::sort(savers.begin(), savers.end(), by_change);
    std::sort(freers.begin(), freers.end(), by_change);
    constexpr std::size_t kSavers = 256;
    if (savers.size() > kSavers) savers.resize(kSavers);
    double best = 0.0;
    for (const Move& s : savers) {
        const Option& s_from = model.stands[s.stand][static_cast<std::size_t>(pick[s.stand])];
        const Option& s_to = model.stands[s.stand][s.option];
        for (const Move& f : freers) {
            // A lower total saves more than rounding takes away.
            if (s.change + f.change >= best - 1e-9 * std::max(1.0, std::fabs(f.change))) break;
            if (f.stand == s.stand || goal + s.goal + f.goal > bounds.goal) continue;
            const Option& f_from = model.stands[f.stand][static_cast<std::size_t>(pick[f.stand])];
            if (need.shortfall_with(&s_from, &s_to, &f_from, &model.stands[f.stand][f.option]) > bounds.shortfall)
                continue;
            best = s.change + f.change;
            first = s;
            second = f;
            break;
        }
    }
    return best < 0.0;
}

}  // namespace

bool polish(const Model& model, std::vector<int>& pick, Aim aim, const Bounds& bounds, int pair_rounds) {
    Need need(model, pick);
    double shortfall = need.shortfall();
    double goal = score(model, pick).goal;

    // Mend: the change that removes missing hours at the least cost per hour.
    while (shortfall > bounds.shortfall) {
        double best_ratio = std::numeric_limits<double>::infinity(), best_shortfall = shortfall;
        std::size_t best_stand = 0, best_option = 0;
        for (std::size_t i = 0; i < model.stands.size(); ++i) {
            const Option& from = model.stands[i][static_cast<std::size_t>(pick[i])];
            for (std::size_t o = 0; o < model.stands[i].size(); ++o) {
                const Option& to = model.stands[i][o];
                const double after = need.shortfall_with(&from, &to);
                if (!(after < shortfall)) continue;
                const double ratio = (to.goal - from.goal) / (shortfall - after);
                if (ratio < best_ratio) {
                    best_ratio = ratio;
                    best_shortfall = after;
                    best_stand = i;
                    best_option = o;
                }
            }
        }
        if (!(best_shortfall < shortfall)) return false;
        const Option& from = model.stands[best_stand][static_cast<std::size_t>(pick[best_stand])];
        const Option& to = model.stands[best_stand][best_option];
        goal += to.goal - from.goal;
        need.move(from, to);
        pick[best_stand] = static_cast<int>(best_option);
        shortfall = best_shortfall;
    }

    // Improve: single changes that serve the aim and keep the bounds, until
    // none is left (a few rounds at most: each change improves the aim);
    // then pairs of changes.
    for (int round = 0, pairs = 0; round < 4; ++round) {
        bool changed = false;
        for (std::size_t i = 0; i < model.stands.size(); ++i) {
            for (std::size_t o = 0; o < model.stands[i].size(); ++o) {
                const Option& from = model.stands[i][static_cast<std::size_t>(pick[i])];
                const Option& to = model.stands[i][o];
                const double after = need.shortfall_with(&from, &to);
                const double goal_after = goal + to.goal - from.goal;
                const bool better = aim == Aim::Shortfall
                                        ? after < shortfall || (after <= shortfall && to.goal < from.goal)
                                        : aim_of(to, aim) < aim_of(from, aim);
                if (!better || after > bounds.shortfall || goal_after > bounds.goal) continue;
                need.move(from, to);
                pick[i] = static_cast<int>(o);
                shortfall = after;
                goal = goal_after;
                changed = true;
            }
        }
        if (!changed && aim != Aim::Shortfall && pairs < pair_rounds) {
            Move a{}, b{};
            if (best_pair(model, pick, need, goal, aim, bounds, a, b)) {
                for (const Move& m : {a, b}) {
                    const Option& from = model.stands[m.stand][static_cast<std::size_t>(pick[m.stand])];
                    need.move(from, model.stands[m.stand][m.option]);
                    pick[m.stand] = static_cast<int>(m.option);
                    goal += m.goal;
                }
                shortfall = need.shortfall();
                ++pairs;
                round = 0;
                changed = true;
            }
        }
        if (!changed) break;
    }
    return shortfall <= bounds.shortfall && goal <= bounds.goal;
}

}  // namespace forstrix::plan::detail
