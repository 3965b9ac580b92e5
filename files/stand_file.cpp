// The stand file. Writing walks the value registry, so a value added to the
// registry is written and read without a second list of names. Reading
// checks the file whole (files/scenario_input.h) and hands its values to the
// scenario chain of the core, which applies them in the order the desktop
// program would.
#include "files/stand_file.h"

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "core/calc.h"
#include "core/checks.h"
#include "core/numtext.h"
#include "core/registry.h"
#include "files/atomic_write.h"
#include "files/input_file.h"
#include "files/scenario_input.h"

namespace forstrix::files {

namespace {

constexpr const char* kSaveFailure = "Bestandsdatei kann nicht gespeichert werden!";

// A JSON string, UTF-8 kept as it is (a broken byte becomes U+FFFD).
std::string json_string(std::string_view text) {
    return nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

std::vector<Given> stand_values(const State& s) {
    // The machine costs the basics give, as a fresh reading of the file
    // computes them; a cost equal to its total need not be written.
    State computed = s;
    calc_all_machines(computed);
    computed.gf_ss = computed.gf_asb75;
    std::vector<Given> out;
    for (const ValueInfo& v : value_registry()) {
        if (!v.settable() || (v.type == ValueType::Double && v.d == &State::gf_ii_rd)) continue;
        const double value = get_value(s, v);
        if (v.kind == ValueKind::MachineCost && value == get_value(computed, v)) continue;
        out.push_back({&v, value});
    }
    return out;
}

std::string stand_text(const State& s, const StandLabel& label) {
    std::string out = "{\n  \"format\": " + json_string(kStandFormat) + ",\n  \"version\": " +
                      std::to_string(kStandVersion) + ",\n  \"name\": " + json_string(label.name) +
                      ",\n  \"note\": " + json_string(label.note) + ",\n  \"values\": {";
    bool first = true;
    for (const Given& g : stand_values(s)) {
        out += first ? "\n    \"" : ",\n    \"";
        first = false;
        out += g.info->name;
        out += "\": ";
        out += format_shortest(g.value);
    }
    out += first ? "}\n}\n" : "\n  }\n}\n";
    return out;
}

Outcome parse_stand(std::string_view bytes, State& s, StandLabel& label) {
    ScenarioInput content;
    if (Outcome r = parse_scenario_input(bytes, content, true); !r.ok()) return r;
    auto refused = [](const std::string& problem) { return Outcome{Status::Refused, kStandNotLoaded, problem}; };
    State candidate = s;
    ScenarioOutcome outcome;
    compute_scenario(candidate, content.values, nullptr, outcome);
    if (!outcome.ok()) return refused(outcome.problems.front().message);
    if (std::optional<Problem> p = check_results_finite(candidate)) return refused(p->message);
    s = candidate;
    label = std::move(content.label);
    return {};
}

Outcome read_stand(const std::filesystem::path& path, State& s, StandLabel& label) {
    std::string bytes;
    Outcome read = read_input_file(path, kStandNotLoaded, bytes);
    if (read.status == Status::NotFound) read.detail = "Die Datei kann nicht geöffnet werden.";
    return read.ok() ? parse_stand(bytes, s, label) : read;
}

Outcome write_stand(const std::filesystem::path& path, const State& s, const StandLabel& label) {
    const std::string text = stand_text(s, label);
    // Never write a file that would not give this stand back: a value that
    // no dialog would accept, or one that is not finite.
    State reread;
    StandLabel relabel;
    if (const Outcome check = parse_stand(text, reread, relabel); !check.ok())
        return {Status::WriteFailed, kSaveFailure, "Die Datei ließe sich nicht wieder laden: " + check.detail};
    if (stand_text(reread, relabel) != text)
        return {Status::WriteFailed, kSaveFailure, "Die Datei gäbe den Bestand nicht genau wieder."};
    WriteFailure failure;
    if (!atomic_write(path, text, &failure)) return {Status::WriteFailed, kSaveFailure, describe(failure)};
    return {};
}

}  // namespace forstrix::files
