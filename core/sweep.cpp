#include "core/sweep.h"

#include <algorithm>
#include <cmath>

#include "core/calc.h"
#include "core/numtext.h"

namespace forstrix {

namespace {

// Whole numbers up to 2^53 are exact doubles; every grid value stays below.
constexpr std::int64_t kExactLimit = std::int64_t{1} << 53;
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxScale = 15;

// A number text as digits / 10^scale, trailing zeros of the fraction dropped.
struct Decimal {
    std::int64_t digits = 0;
    int scale = 0;
};

std::optional<Decimal> read_decimal(std::string_view text) {
    Decimal d;
    bool point = false, any_digit = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            any_digit = true;
            if (d.digits >= kExactLimit / 10) return std::nullopt;  // more digits than a double holds
            d.digits = d.digits * 10 + (c - '0');
            if (point) ++d.scale;
        } else if ((c == ',' || c == '.') && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!any_digit) return std::nullopt;
    while (d.scale > 0 && d.digits % 10 == 0) {
        d.digits /= 10;
        --d.scale;
    }
    if (d.scale > kMaxScale) return std::nullopt;
    return d;
}

// `d` on the grid of `scale` decimals (scale ≥ d.scale); false on overflow.
bool rescale(Decimal& d, int scale) {
    for (; d.scale < scale; ++d.scale) {
        if (d.digits >= kExactLimit / 10) return false;
        d.digits *= 10;
    }
    return true;
}

Problem refuse(const ValueInfo& info, const std::string& message) {
    return Problem{std::string(info.name), std::string(info.name) + ": " + message};
}

}  // namespace

double SweepRange::value(std::size_t k) const {
    // Beyond the last point the last one: first + k·step stays on the grid,
    // below 2^53, whatever k is asked for.
    const std::size_t at = count == 0 ? 0 : std::min(k, count - 1);
    // Both operands are exact doubles, so the quotient is the correctly
    // rounded value of the decimal number: the double its text reads as.
    const std::int64_t n = first + static_cast<std::int64_t>(at) * step;
    return static_cast<double>(n) / kPow10[scale];
}

std::size_t SweepRange::nearest(double v) const {
    if (count == 0) return 0;
    const double pos = (v * kPow10[scale] - static_cast<double>(first)) / static_cast<double>(step);
    if (!(pos > 0.0)) return 0;
    const double k = std::floor(pos + 0.5);
    return k >= static_cast<double>(count - 1) ? count - 1 : static_cast<std::size_t>(k);
}

std::optional<SweepRange> make_range(const ValueInfo& info, std::string_view from_text,
                                     std::string_view to_text, std::string_view step_text, Problem& problem) {
    if (!info.settable()) {
        if (std::optional<Problem> p = check_value(info, 0.0)) problem = std::move(*p);
        return std::nullopt;
    }
    if (info.d == &State::gf_ii_rd) {
        problem = refuse(info, "die Rückedistanz von System II folgt immer der von System I; bitte "
                               "gf_i_rd variieren.");
        return std::nullopt;
    }
    struct Part {
        std::string_view what, text;
        Decimal d;
    } parts[3] = {{"Anfang", from_text, {}}, {"Ende", to_text, {}}, {"Schritt", step_text, {}}};
    int scale = 0;
    for (Part& p : parts) {
        std::optional<Decimal> d = read_decimal(p.text);
        if (!d) {
            problem = refuse(info, std::string(p.what) + " \u201E" + std::string(p.text) +
                                       "\u201C ist keine Zahl; erlaubt sind Ziffern mit höchstens einem "
                                       "Dezimaltrennzeichen (Punkt oder Komma) und höchstens 15 Stellen, "
                                       "ohne Vorzeichen.");
            return std::nullopt;
        }
        p.d = *d;
        if (info.type != ValueType::Double && d->scale != 0) {
            problem = refuse(info, std::string(p.what) + " " + std::string(p.text) +
                                       " ist keine ganze Zahl; diese Eingabe nimmt nur ganze Zahlen an.");
            return std::nullopt;
        }
        scale = std::max(scale, d->scale);
    }
    for (Part& p : parts) {
        if (!rescale(p.d, scale)) {
            problem = refuse(info, "Anfang, Ende und Schritt haben zusammen zu viele Stellen.");
            return std::nullopt;
        }
    }
    const Decimal& from = parts[0].d;
    const Decimal& to = parts[1].d;
    const Decimal& step = parts[2].d;
    if (step.digits <= 0) {
        problem = refuse(info, "der Schritt muss größer als 0 sein.");
        return std::nullopt;
    }
    if (from.digits > to.digits) {
        problem = refuse(info, "der Anfang " + std::string(from_text) + " liegt über dem Ende " +
                                   std::string(to_text) + ".");
        return std::nullopt;
    }
    const std::int64_t steps = (to.digits - from.digits) / step.digits;
    if (steps >= static_cast<std::int64_t>(kMaxSweepPoints)) {
        problem = refuse(info, "der Bereich ergibt " + std::to_string(steps + 1) + " Punkte; erlaubt sind " +
                                   "höchstens " + std::to_string(kMaxSweepPoints) + ".");
        return std::nullopt;
    }
    SweepRange r;
    r.info = &info;
    r.first = from.digits;
    r.step = step.digits;
    r.scale = scale;
    r.count = static_cast<std::size_t>(steps) + 1;
    // Every point must be a value the input's dialog accepts (the list of
    // gi_ii_vzs has a hole between 0 and 5, so the ends alone do not tell).
    for (std::size_t k = 0; k < r.count; ++k) {
        if (std::optional<Problem> p = check_value(info, r.value(k))) {
            problem = std::move(*p);
            problem.message += " Der Bereich " + format_shortest_comma(r.from()) + " bis " +
                               format_shortest_comma(r.last()) + " enthält diesen Wert.";
            return std::nullopt;
        }
    }
    return r;
}

std::optional<SweepRange> parse_range(std::string_view text, Problem& problem) {
    const std::size_t eq = text.find('=');
    const std::size_t c1 = eq == std::string_view::npos ? eq : text.find(':', eq + 1);
    const std::size_t c2 = c1 == std::string_view::npos ? c1 : text.find(':', c1 + 1);
    if (c2 == std::string_view::npos || text.find(':', c2 + 1) != std::string_view::npos) {
        problem = {std::string(text.substr(0, eq)),
                   "\u201E" + std::string(text) + "\u201C: erwartet wird NAME=ANFANG:ENDE:SCHRITT, zum "
                   "Beispiel gi_bhd=15:40:1 oder gf_i_rd=50:300:12,5."};
        return std::nullopt;
    }
    const ValueInfo* info = find_settable(text.substr(0, eq), problem);
    if (info == nullptr) return std::nullopt;
    return make_range(*info, text.substr(eq + 1, c1 - eq - 1), text.substr(c1 + 1, c2 - c1 - 1),
                      text.substr(c2 + 1), problem);
}

double competing_sum(const std::array<double, 8>& sums, int system, bool unmeasured) {
    switch (system) {
        case 0: return unmeasured ? sums[0] : sums[1];
        case 1: return unmeasured ? sums[2] : sums[3];
        default: return sums[static_cast<std::size_t>(system) + 2];
    }
}

int cheapest(const PointCosts& p, const Competition& c) {
    if (!p.computed) return -1;
    int best = -1;
    double best_sum = 0.0;
    for (int k = 0; k < 6; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (p.flags[i] == 0 || c.excluded[i]) continue;
        const double sum = competing_sum(p.sums, k, c.unmeasured);
        if (!std::isfinite(sum) || !(sum > 0.0)) continue;
        if (best < 0 || sum < best_sum) {  // equal: the lower numeral stays
            best = k;
            best_sum = sum;
        }
    }
    return best;
}

std::vector<Given> cost_dialog_values(const State& s) {
    std::vector<Given> out;
    for (const ValueInfo& v : value_registry())
        if (v.kind == ValueKind::MachineCost) out.push_back({&v, get_value(s, v)});
    return out;
}

std::optional<Sweep> Sweep::prepare(const State& base, std::span<const Given> given,
                                    std::vector<Problem>& problems) {
    Sweep sw;
    sw.prepared_ = base;
    bool basics = false;
    for (const Given& g : given) {
        if (std::optional<Problem> p = check_given(g)) {
            problems.push_back(std::move(*p));
            continue;
        }
        if (g.info->is_basic()) {
            set_value(sw.prepared_, *g.info, g.value);
            basics = true;
        } else {
            sw.given_.push_back(g);
        }
    }
    if (!problems.empty()) return std::nullopt;
    if (basics) {
        problems = check_basics(sw.prepared_);
        if (!problems.empty()) return std::nullopt;
    }
    // The machine-hour costs follow from the basics alone: once for all
    // points, unless a swept basic changes them (compute_scenario then
    // computes them again for that point).
    calc_all_machines(sw.prepared_);
    sw.point_.reserve(sw.given_.size() + 2);
    return sw;
}

PointCosts Sweep::compute(std::span<const Given> at, ScenarioOutcome& outcome) {
    point_.assign(given_.begin(), given_.end());
    point_.insert(point_.end(), at.begin(), at.end());
    work_ = prepared_;
    compute_scenario(work_, point_, nullptr, outcome, /*machines_done=*/true);
    PointCosts p;
    if (!outcome.ok()) return p;
    if (std::optional<Problem> nf = check_results_finite(work_)) {
        outcome.problems.push_back(std::move(*nf));
        return p;
    }
    p.computed = true;
    p.flags = work_.flags();
    p.sums = chart_sums(work_);
    return p;
}

std::vector<PointCosts> Sweep::line(const SweepRange& x) {
    std::vector<PointCosts> out;
    out.reserve(x.count);
    for (std::size_t i = 0; i < x.count; ++i) {
        const Given at[1] = {{x.info, x.value(i)}};
        out.push_back(compute(at, scratch_));
    }
    return out;
}

std::vector<PointCosts> Sweep::map(const SweepRange& x, const SweepRange& y) {
    std::vector<PointCosts> out;
    out.reserve(x.count * y.count);
    for (std::size_t i = 0; i < x.count; ++i) {
        for (std::size_t j = 0; j < y.count; ++j) {
            const Given at[2] = {{x.info, x.value(i)}, {y.info, y.value(j)}};
            out.push_back(compute(at, scratch_));
        }
    }
    return out;
}

// ----------------------------------------------------------------- the table

void append_sweep_header(std::string& out, std::span<const SweepRange* const> ranges, char sep) {
    static constexpr std::string_view kColumns[] = {
        "g_sys1", "g_sys2", "g_sys3", "g_sys4",  "g_sys5",  "g_sys6",  "gff_g7",  "gff_g8",
        "gff_g15", "gff_g16", "gff_g24", "gff_g31", "gff_g39", "gff_g45", "cheapest"};
    bool first = true;
    for (const SweepRange* r : ranges) {
        if (!first) out += sep;
        out += r->info->name;
        first = false;
    }
    for (std::string_view c : kColumns) {
        out += sep;
        out += c;
    }
    out += '\n';
}

void append_sweep_row(std::string& out, std::span<const double> inputs, const PointCosts& p,
                      const Competition& c, char sep, char decimal) {
    char buf[kMaxFixedChars + 1];
    bool first = true;
    for (const double v : inputs) {
        if (!first) out += sep;
        out.append(buf, write_fixed_shortest(buf, v, decimal));
        first = false;
    }
    if (!p.computed) {
        out.append(15, sep);  // flags, sums and cheapest stay empty
        out += '\n';
        return;
    }
    for (const std::int32_t f : p.flags) {
        out += sep;
        out += f != 0 ? '1' : '0';
    }
    for (const double s : p.sums) {
        out += sep;
        out.append(buf, write_fixed_shortest(buf, s, decimal));
    }
    out += sep;
    if (const int k = cheapest(p, c); k >= 0) out += kSystemNumerals[static_cast<std::size_t>(k)];
    out += '\n';
}

}  // namespace forstrix
