#include "core/scenario.h"

#include <cmath>
#include <vector>

#include "core/calc.h"
#include "core/numtext.h"

namespace forstrix {

const ValueInfo* find_settable(std::string_view name, Problem& problem) {
    const ValueInfo* info = find_value(name);
    if (info == nullptr) {
        problem = unknown_value(name);
        return nullptr;
    }
    if (!info->settable()) {
        // check_value refuses a value that only the computation writes.
        if (std::optional<Problem> p = check_value(*info, 0.0)) problem = std::move(*p);
        return nullptr;
    }
    return info;
}

std::optional<double> read_number(const ValueInfo& info, std::string_view text, Problem& problem) {
    if (text.empty()) {
        problem.name = std::string(info.name);
        problem.message = std::string(info.name) +
                          ": leerer Wert; erwartet wird eine Zahl (Ziffern mit höchstens "
                          "einem Dezimaltrennzeichen, Punkt oder Komma).";
        return std::nullopt;
    }
    // The range is checked once, by compute_scenario; here only the text.
    if (std::optional<double> v = f_check(text)) return v;
    ReadResult r = read_value(info, text);  // for the dialogs' wording
    problem = r.problem ? std::move(*r.problem) : Problem{std::string(info.name), std::string(info.name)};
    return std::nullopt;
}

std::optional<Problem> check_given(const Given& g) {
    return check_value(*g.info, g.value);
}

std::optional<Problem> check_results_finite(const State& s) {
    // Run for every row of a batch table: the decimals of the registry are
    // gathered once, so that a row costs one pass over plain numbers.
    static const std::vector<const ValueInfo*> decimals = [] {
        std::vector<const ValueInfo*> out;
        for (const ValueInfo& v : value_registry())
            if (v.type == ValueType::Double) out.push_back(&v);
        return out;
    }();
    for (const ValueInfo* v : decimals) {
        if (!std::isfinite(s.*(v->d))) {
            return Problem{std::string(v->name),
                           std::string(v->name) +
                               ": das Ergebnis ist keine endliche Zahl; die Eingaben "
                               "sind außerhalb jedes sinnvollen Bereichs."};
        }
    }
    return check_system_times(s);
}

void compute_scenario(State& s, std::span<const Given> given, TraceSink* trace,
                      ScenarioOutcome& out, bool machines_done) {
    out.problems.clear();
    out.warnings.clear();

    // The given values, each against the range its dialog allows.
    bool basics_given = false;
    bool ii_rd_given = false;
    for (const Given& g : given) {
        if (std::optional<Problem> p = check_given(g)) {
            out.problems.push_back(std::move(*p));
            continue;
        }
        set_value(s, *g.info, g.value);
        basics_given = basics_given || g.info->is_basic();
        ii_rd_given = ii_rd_given || g.info->d == &State::gf_ii_rd;
    }
    if (!out.problems.empty()) return;

    // The skidding distance of system II is not a value of its own in the
    // stand dialog: it is shown read-only and always equals that of system I.
    // A differing gf_ii_rd would be silently overwritten, so it is refused.
    if (ii_rd_given && s.gf_ii_rd != s.gf_i_rd) {
        out.problems.push_back(
            {"gf_ii_rd", "gf_ii_rd: die Rückedistanz von System II folgt immer der von "
                         "System I (gf_i_rd = " + format_shortest(s.gf_i_rd) +
                             "); bitte gf_i_rd setzen."});
        return;
    }
    s.gf_ii_rd = s.gf_i_rd;

    // The stand dialog: derived stand values, the verdict of the rules over
    // readable inputs, its leave checks and its plausibility questions.
    store(s, calc_bestand(stand_inputs(s)));
    s.set_flags(calc_eignung(suitability_inputs(s, true)));
    out.problems = check_stand(s);
    if (!out.problems.empty()) return;
    out.warnings = plausibility_warnings(s);

    // The basics dialogs refuse zeros and the chainsaw's missing mixing
    // ratio; a basics file has been checked whole when it was read.
    if (basics_given) {
        out.problems = check_basics(s);
        if (!out.problems.empty()) return;
    }

    // The machine-hour costs follow from the basics alone.
    if (basics_given || !machines_done) calc_all_machines(s, trace);
    s.gf_ss = s.gf_asb75;
    // Costs typed into the cost dialog replace the computed totals.
    for (const Given& g : given) {
        if (g.info->kind == ValueKind::MachineCost) set_value(s, *g.info, g.value);
    }

    calc_zeitbedarfkosten(s);
}

}  // namespace forstrix
