#include "cli/capacity.h"

#include <cmath>

#include "cli/errors.h"
#include "core/message_text.h"
#include "core/numtext.h"

namespace forstrix::cli {

namespace {

std::string in_quotes(std::string_view text) { return "\u201E" + printable(text) + "\u201C"; }

std::string resource_names() {
    std::string names;
    const auto all = plan::resources();
    for (std::size_t r = 0; r < all.size(); ++r) {
        if (r > 0) names += r + 1 == all.size() ? " und " : ", ";
        names += all[r].name;
    }
    return names;
}

}  // namespace

void add_capacity_options(CLI::App& cmd, CapacityArgs& args) {
    cmd.add_option("--capacity", args.capacities,
                   "Verfügbare Stunden einer Ressource (Std. für Forstwirte, sonst MAS), NAME=STUNDEN, mehrfach; "
                   "Namen: " + resource_names())
        ->type_name("NAME=STUNDEN")
        ->take_all()
        ->allow_extra_args(false);
    cmd.add_option("--goal", args.goal, "Was innerhalb der Kapazitäten am kleinsten sein soll: kosten oder co2")
        ->type_name("kosten|co2");
    cmd.add_option("--time-limit", args.time_limit, "Längste Rechenzeit der Optimierung in Sekunden (sonst 10)")
        ->type_name("SEKUNDEN");
}

std::optional<plan::CapacityOptions> parse_capacity_options(const CapacityArgs& args, std::string& error) {
    plan::CapacityOptions o;
    std::vector<bool> named(plan::kResources, false);
    for (const std::string& item : args.capacities) {
        const std::size_t eq = item.find('=');
        if (eq == std::string::npos) {
            error = "--capacity " + in_quotes(item) + ": erwartet NAME=STUNDEN, z. B. harvester=1200.";
            return std::nullopt;
        }
        const std::string_view name = std::string_view(item).substr(0, eq);
        const int r = plan::find_resource(name);
        if (r < 0) {
            error = "--capacity: " + in_quotes(name) + " ist keine Ressource; erlaubt sind " + resource_names() + ".";
            return std::nullopt;
        }
        const auto k = static_cast<std::size_t>(r);
        if (named[k]) {
            error = "--capacity: " + std::string(plan::resources()[k].name) + " ist mehr als einmal angegeben.";
            return std::nullopt;
        }
        named[k] = true;
        const std::string_view text = std::string_view(item).substr(eq + 1);
        const std::optional<double> hours = text.empty() ? std::nullopt : f_check(text);
        if (!hours) {
            error = "--capacity " + std::string(plan::resources()[k].name) + ": " + in_quotes(text) +
                    " ist keine Zahl von Stunden; erlaubt sind Ziffern mit höchstens einem Dezimaltrennzeichen "
                    "(Punkt oder Komma), ohne Vorzeichen und ohne Exponent.";
            return std::nullopt;
        }
        o.capacity[k] = *hours;
    }
    if (args.goal == "kosten") {
        o.goal = plan::Goal::Cost;
    } else if (args.goal == "co2") {
        o.goal = plan::Goal::Co2;
    } else {
        error = "--goal: " + in_quotes(args.goal) + " ist kein Ziel; erlaubt sind kosten und co2.";
        return std::nullopt;
    }
    if (!args.time_limit.empty()) {
        const std::optional<double> seconds = f_check(args.time_limit);
        if (!seconds || !(*seconds > 0.0)) {
            error = "--time-limit: " + in_quotes(args.time_limit) + " ist keine Zahl von Sekunden größer als 0.";
            return std::nullopt;
        }
        o.time_limit = *seconds;
    }
    return o;
}

std::optional<plan::CapacityOptions> read_capacity_options(const CapacityArgs& args, std::FILE* err) {
    std::string error;
    std::optional<plan::CapacityOptions> o = parse_capacity_options(args, error);
    if (!o) print_error(err, error);
    return o;
}

std::vector<std::string> shortfall_lines(const plan::CapacityResult& result) {
    std::vector<std::string> lines;
    const auto all = plan::resources();
    for (std::size_t r = 0; r < all.size(); ++r) {
        const double missing = result.use[r].missing;
        if (!(missing > 0.0)) continue;
        // Rounded up: a plan that misses 0.04 hours still misses hours.
        const double shown = std::ceil(missing * 10.0 - 1e-9) / 10.0;
        lines.push_back(std::string(all[r].display) + ": es fehlen " + format_comma(shown, 1) + " " +
                        std::string(all[r].unit));
    }
    return lines;
}

int report_capacity(const plan::CapacityResult& result, std::FILE* err) {
    if (!result.solver) {
        print_error(err, kNoSolver);
        return kExitRefused;
    }
    if (!result.optimal) {
        print_warning(err, "Die Zeitgrenze der Optimierung ist abgelaufen; die beste gefundene Wahl wird "
                           "verwendet, sie liegt höchstens " +
                               format_comma(std::ceil(result.gap * 1e4) / 1e2, 2) + " % über dem Optimum.");
    }
    if (result.fits) return kExitDone;
    print_error(err, "Keine Wahl der Systeme bleibt innerhalb der Kapazitäten; gewählt ist die mit den "
                     "wenigsten fehlenden Stunden.");
    for (const std::string& line : shortfall_lines(result)) std::fprintf(err, "%s\n", line.c_str());
    return kExitNothingFits;
}

}  // namespace forstrix::cli
