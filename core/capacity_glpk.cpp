// The optimisation as a mixed-integer program, solved by GLPK in two
// stages: the fewest missing hours; with those held, the smallest total.
// Each stage starts from the better of the plan before and its relaxed
// solution rounded and mended, which GLPK is handed as its first solution,
// so a stage cut short by the time limit is never worse than its start; the
// relaxed solutions of the search are rounded and mended into plans as it
// goes. Options that the relaxation prices out of every plan better than the
// start are fixed at 0 before the search. The ties among plans of the same
// total are settled stand by stand afterwards.
#include <glpk.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "core/capacity.h"
#include "core/capacity_model.h"

namespace forstrix::plan {

bool solver_available() { return true; }

namespace detail {

namespace {

using Clock = std::chrono::steady_clock;

class Program {
public:
    explicit Program(const Model& m);
    ~Program() { glp_delete_prob(p_); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Optimises one stage from `pick`; false when the solver gave up
    // (`pick` then stays). `proven`: the stage's optimum was proven.
    bool run(Aim aim, const Bounds& bounds, std::vector<int>& pick, double seconds, bool& proven, double& gap);
    // Holds a stage's optimum in the stages after it; returns the bound.
    double hold(Aim aim, double value);

    // The callback of GLPK's search.
    void on_event(glp_tree* tree);

private:
    int col(std::size_t stand, std::size_t option) const { return first_[stand] + static_cast<int>(option); }
    int shortfall_col(std::size_t r) const { return cols_ + 1 + static_cast<int>(r); }
    void set_row(int row, int type, double bound, const std::vector<int>& idx, const std::vector<double>& val);
    // The 1-based column values of a pick.
    std::vector<double> columns_of(const std::vector<int>& pick) const;
    // Each stand on the option with the largest share in the relaxed solution of `lp`.
    void round(glp_prob* lp, std::vector<int>& pick) const;
    // The stage's objective of a pick.
    double value(const std::vector<int>& pick) const;
    // Fixes at 0 every option that the relaxed solution prices out: one whose
    // reduced cost exceeds the distance between the start and the bound
    // cannot be part of a plan better than the start.
    void fix_priced_out(double start_value);

    const Model& m_;
    glp_prob* p_ = glp_create_prob();
    std::vector<int> first_;
    int cols_ = 0;

    // The stage being searched.
    Aim aim_ = Aim::Shortfall;
    Bounds bounds_;
    std::vector<double> start_;
    bool handed_ = false;
    int roundings_ = 0;
    std::vector<int> rounded_;
    double gap_ = std::numeric_limits<double>::infinity();
    Clock::time_point end_;
};

double seconds_left_of(Clock::time_point end) { return std::chrono::duration<double>(end - Clock::now()).count(); }

void on_event(glp_tree* tree, void* info) { static_cast<Program*>(info)->on_event(tree); }

Program::Program(const Model& m) : m_(m) {
    glp_term_out(GLP_OFF);
    glp_set_obj_dir(p_, GLP_MIN);
    for (const auto& options : m.stands) {
        first_.push_back(cols_ + 1);
        cols_ += static_cast<int>(options.size());
    }
    glp_add_cols(p_, cols_ + static_cast<int>(m.limited.size()));
    for (int j = 1; j <= cols_; ++j) glp_set_col_kind(p_, j, GLP_BV);
    for (std::size_t r = 0; r < m.limited.size(); ++r) glp_set_col_bnds(p_, shortfall_col(r), GLP_LO, 0, 0);

    glp_add_rows(p_, static_cast<int>(m.stands.size() + m.limited.size()));
    std::vector<int> idx;
    std::vector<double> val;
    int row = 0;
    for (std::size_t i = 0; i < m.stands.size(); ++i) {  // one system per stand
        idx.assign(1, 0);
        val.assign(1, 0);
        for (std::size_t o = 0; o < m.stands[i].size(); ++o) {
            idx.push_back(col(i, o));
            val.push_back(1.0);
        }
        set_row(++row, GLP_FX, 1.0, idx, val);
    }
    for (std::size_t r = 0; r < m.limited.size(); ++r) {  // hours within the room, or missing
        const auto k = static_cast<std::size_t>(m.limited[r]);
        idx.assign(1, 0);
        val.assign(1, 0);
        for (std::size_t i = 0; i < m.stands.size(); ++i) {
            for (std::size_t o = 0; o < m.stands[i].size(); ++o) {
                if (m.stands[i][o].hours[k] == 0.0) continue;
                idx.push_back(col(i, o));
                val.push_back(m.stands[i][o].hours[k]);
            }
        }
        idx.push_back(shortfall_col(r));
        val.push_back(-1.0);
        set_row(++row, GLP_UP, m.room[k], idx, val);
    }
}

void Program::set_row(int row, int type, double bound, const std::vector<int>& idx, const std::vector<double>& val) {
    glp_set_row_bnds(p_, row, type, bound, bound);
    glp_set_mat_row(p_, row, static_cast<int>(idx.size()) - 1, idx.data(), val.data());
}

std::vector<double> Program::columns_of(const std::vector<int>& pick) const {
    std::vector<double> x(static_cast<std::size_t>(cols_) + m_.limited.size() + 1, 0.0);
    ResourceHours need{};
    for (std::size_t i = 0; i < m_.stands.size(); ++i) {
        const auto o = static_cast<std::size_t>(pick[i]);
        x[static_cast<std::size_t>(col(i, o))] = 1.0;
        for (const int r : m_.limited)
            need[static_cast<std::size_t>(r)] += m_.stands[i][o].hours[static_cast<std::size_t>(r)];
    }
    for (std::size_t r = 0; r < m_.limited.size(); ++r) {
        const auto k = static_cast<std::size_t>(m_.limited[r]);
        x[static_cast<std::size_t>(shortfall_col(r))] = std::max(0.0, need[k] - m_.room[k]);
    }
    return x;
}

void Program::round(glp_prob* lp, std::vector<int>& pick) const {
    // The price of an hour of each limited resource in the relaxed solution.
    ResourceHours price{};
    for (std::size_t r = 0; r < m_.limited.size(); ++r) {
        const int row = static_cast<int>(m_.stands.size() + r) + 1;
        price[static_cast<std::size_t>(m_.limited[r])] = std::fabs(glp_get_row_dual(lp, row));
    }
    pick.resize(m_.stands.size());
    for (std::size_t i = 0; i < m_.stands.size(); ++i) {
        // A stand split between options takes the one of them that leaves
        // the most priced room, so that the rounded plan stays within the
        // capacities; a whole one keeps its option.
        std::size_t best = 0;
        double best_x = -1.0, best_price = std::numeric_limits<double>::infinity();
        bool split = true;
        for (std::size_t o = 0; o < m_.stands[i].size(); ++o) {
            const double x = glp_get_col_prim(lp, col(i, o));
            if (x > 1.0 - 1e-6) split = false;
            if (x > best_x) {
                best_x = x;
                best = o;
            }
        }
        if (split) {
            for (std::size_t o = 0; o < m_.stands[i].size(); ++o) {
                if (glp_get_col_prim(lp, col(i, o)) <= 1e-6) continue;
                double priced = 0.0;
                for (const int r : m_.limited)
                    priced += price[static_cast<std::size_t>(r)] * m_.stands[i][o].hours[static_cast<std::size_t>(r)];
                if (priced < best_price) {
                    best_price = priced;
                    best = o;
                }
            }
        }
        pick[i] = static_cast<int>(best);
    }
}

double Program::value(const std::vector<int>& pick) const {
    const Score s = score(m_, pick);
    return aim_ == Aim::Shortfall ? s.shortfall : aim_ == Aim::Goal ? s.goal : s.tie;
}

void Program::fix_priced_out(double start_value) {
    const double bound = glp_get_obj_val(p_);
    const double room = start_value - bound + 1e-9 * std::max(1.0, std::fabs(start_value));
    for (int j = 1; j <= cols_; ++j) {
        if (glp_get_col_stat(p_, j) == GLP_NL && glp_get_col_dual(p_, j) > room) {
            glp_set_col_bnds(p_, j, GLP_FX, 0.0, 0.0);
        }
    }
}

void Program::on_event(glp_tree* tree) {
    switch (glp_ios_reason(tree)) {
        case GLP_IHEUR: {
            if (!handed_) {
                handed_ = true;
                glp_ios_heur_sol(tree, start_.data());
            }
            // The relaxed solution of the node rounded and mended: at the
            // first nodes, then now and then.
            ++roundings_;
            if (roundings_ > 16 && roundings_ % 64 != 0) break;
            round(glp_ios_get_prob(tree), rounded_);
            if (polish(m_, rounded_, aim_, bounds_, roundings_ <= 4 ? 16 : 2)) {
                const std::vector<double> x = columns_of(rounded_);
                glp_ios_heur_sol(tree, x.data());
            }
            break;
        }
        case GLP_ISELECT:
        case GLP_IBINGO: gap_ = glp_ios_mip_gap(tree); break;
        default: break;
    }
}

bool Program::run(Aim aim, const Bounds& bounds, std::vector<int>& pick, double seconds, bool& proven,
                  double& gap) {
    for (std::size_t i = 0; i < m_.stands.size(); ++i) {
        for (std::size_t o = 0; o < m_.stands[i].size(); ++o) {
            const Option& opt = m_.stands[i][o];
            glp_set_obj_coef(p_, col(i, o), aim == Aim::Goal ? opt.goal : 0.0);
        }
    }
    for (std::size_t r = 0; r < m_.limited.size(); ++r)
        glp_set_obj_coef(p_, shortfall_col(r), aim == Aim::Shortfall ? 1.0 : 0.0);

    end_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    const int limit_ms = static_cast<int>(std::clamp(seconds * 1000.0, 1.0, 1e9));
    glp_scale_prob(p_, GLP_SF_AUTO);
    glp_smcp lp;
    glp_init_smcp(&lp);
    lp.msg_lev = GLP_MSG_OFF;
    lp.tm_lim = limit_ms;
    if (glp_simplex(p_, &lp) != 0 || glp_get_status(p_) != GLP_OPT) return false;

    aim_ = aim;
    bounds_ = bounds;
    // The better of the plan so far and the relaxed solution rounded and mended.
    round(p_, rounded_);
    if (polish(m_, rounded_, aim, bounds, 64) && value(rounded_) < value(pick)) pick = rounded_;
    // Options priced out stay out in the later stages too: those hold this
    // stage's optimum, which no plan with such an option reaches.
    fix_priced_out(value(pick));
    start_ = columns_of(pick);
    handed_ = false;
    roundings_ = 0;
    gap_ = std::numeric_limits<double>::infinity();

    glp_iocp mip;
    glp_init_iocp(&mip);
    mip.msg_lev = GLP_MSG_OFF;
    // The search ends a little early: what follows it (the rounding of the
    // last plan, the ties) must fit within the limit too.
    const double search_left = seconds_left_of(end_) * 0.98 - 0.05;
    mip.tm_lim = static_cast<int>(std::clamp(search_left * 1000.0, 1.0, 1e9));
    mip.presolve = GLP_OFF;  // the plans handed in are given in the columns as built
    mip.cb_func = detail::on_event;
    mip.cb_info = this;
    const int ret = glp_intopt(p_, &mip);
    const int status = glp_mip_status(p_);
    if ((ret != 0 && ret != GLP_ETMLIM) || (status != GLP_OPT && status != GLP_FEAS)) return false;
    proven = ret == 0 && status == GLP_OPT;
    gap = proven ? 0.0 : (std::isfinite(gap_) ? gap_ : 1.0);
    for (std::size_t i = 0; i < m_.stands.size(); ++i) {
        std::size_t best = 0;
        for (std::size_t o = 1; o < m_.stands[i].size(); ++o) {
            if (glp_mip_col_val(p_, col(i, o)) > glp_mip_col_val(p_, col(i, best))) best = o;
        }
        pick[i] = static_cast<int>(best);
    }
    // With the optimum known, the relaxation prices out more options for the
    // stages to come.
    if (proven && glp_simplex(p_, &lp) == 0 && glp_get_status(p_) == GLP_OPT) fix_priced_out(value(pick));
    return true;
}

double Program::hold(Aim aim, double value) {
    const int row = glp_add_rows(p_, 1);
    std::vector<int> idx{0};
    std::vector<double> val{0};
    if (aim == Aim::Shortfall) {
        for (std::size_t r = 0; r < m_.limited.size(); ++r) {
            idx.push_back(shortfall_col(r));
            val.push_back(1.0);
        }
    } else {
        for (std::size_t i = 0; i < m_.stands.size(); ++i) {
            for (std::size_t o = 0; o < m_.stands[i].size(); ++o) {
                idx.push_back(col(i, o));
                val.push_back(m_.stands[i][o].goal);
            }
        }
    }
    // A hair of room, so that the rounding of the solver's sums does not cut
    // off the optimum it just found.
    const double bound = value + 1e-10 * std::max(1.0, std::fabs(value));
    set_row(row, GLP_UP, bound, idx, val);
    return bound;
}


}  // namespace

Solution solve(const Model& model, double seconds) {
    Solution out;
    out.pick = model.start;
    if (model.stands.empty()) return out;
    // At least a millisecond, at most a week (beyond, the clock's arithmetic
    // would overflow); a limit that is no number gets the least.
    const double limit = seconds > 0.001 ? std::min(seconds, 604800.0) : 0.001;
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(limit));
    // GLPK keeps its memory per thread until it is given back; the desktop
    // program optimises on a worker thread that ends afterwards.
    struct ReleaseSolverMemory {
        ~ReleaseSolverMemory() { glp_free_env(); }
    } release;
    Program program(model);
    Bounds bounds;
    for (const Aim aim : {Aim::Shortfall, Aim::Goal}) {
        if (aim == Aim::Shortfall && score(model, out.pick).shortfall == 0.0) {
            bounds.shortfall = program.hold(aim, 0.0);  // nothing missing: it stays so
            continue;
        }
        std::vector<int> pick = out.pick;
        bool proven = false;
        double gap = 1.0;
        const double left = seconds_left_of(end);
        const bool ran = left > 0.0 && program.run(aim, bounds, pick, left, proven, gap);
        // The goal stage's plan replaces the one before only where it misses
        // no more hours.
        const Score was = score(model, out.pick), now = score(model, pick);
        if (ran && (now.shortfall <= was.shortfall || same_total(now.shortfall, was.shortfall))) out.pick = pick;
        if (!ran || !proven) {
            out.optimal = false;
            out.gap = ran ? gap : 1.0;
            break;
        }
        const Score held = score(model, out.pick);
        if (aim == Aim::Shortfall) bounds.shortfall = program.hold(aim, held.shortfall);
        else bounds.goal = program.hold(aim, held.goal);
    }
    // Among plans of the same total: stands move to their cheapest system,
    // else to a lower number, one or two at a time, wherever hours and total
    // allow.
    const Score final = score(model, out.pick);
    bounds.shortfall = final.shortfall + 1e-10 * std::max(1.0, final.shortfall);
    bounds.goal = final.goal + 1e-10 * std::max(1.0, std::fabs(final.goal));
    std::vector<int> tied = out.pick;
    if (polish(model, tied, Aim::Tie, bounds, 64)) out.pick = tied;
    return out;
}

}  // namespace detail

}  // namespace forstrix::plan
