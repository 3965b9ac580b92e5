// The stand file. Writing walks the value registry, so a value added to the
// registry is written and read without a second list of names. Reading
// checks the file whole and hands its values to the scenario chain of the
// core, which applies them in the order the desktop program would.
#include "files/stand_file.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "core/calc.h"
#include "core/checks.h"
#include "core/numtext.h"
#include "core/registry.h"
#include "files/atomic_write.h"
#include "files/read_file.h"

namespace forstrix::files {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kLoadFailure = "Bestandsdatei kann nicht geladen werden!";
constexpr const char* kSaveFailure = "Bestandsdatei kann nicht gespeichert werden!";
// A stand file is a few kilobytes; a note would have to be a book to reach this.
constexpr std::size_t kMaxFileSize = 1 << 20;
// The document object and its "values" object; nothing is deeper.
constexpr std::size_t kMaxDepth = 2;

Outcome refused(const std::string& problem) { return {Status::Refused, std::string(kLoadFailure) + "\n" + problem}; }

// A JSON string, UTF-8 kept as it is (a broken byte becomes U+FFFD).
std::string json_string(std::string_view text) {
    return Json(std::string(text)).dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string_view without_bom(std::string_view bytes) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    return bytes.substr(0, bom.size()) == bom ? bytes.substr(bom.size()) : bytes;
}

}  // namespace

std::size_t json_depth(std::string_view text, std::size_t limit) {
    std::size_t depth = 0, deepest = 0;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_string) {
            if (c == '\\') ++i;
            else if (c == '"') in_string = false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '{' || c == '[') {
            deepest = std::max(deepest, ++depth);
            if (deepest > limit) return deepest;
        } else if ((c == '}' || c == ']') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

namespace {

// Line and column (1-based) of byte `offset`.
std::string position(std::string_view bytes, std::size_t offset) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "Zeile " + std::to_string(line) + ", Spalte " + std::to_string(column);
}

// The document, or the problem. A member given twice in one object is
// refused: which of the two was meant cannot be known.
std::optional<Json> parse_json(std::string_view bytes, std::string& problem) {
    if (json_depth(bytes, kMaxDepth) > kMaxDepth) {
        problem = "Die Datei ist tiefer verschachtelt, als eine Bestandsdatei es ist.";
        return std::nullopt;
    }
    std::vector<std::set<std::string>> keys;
    std::string twice;
    const Json::parser_callback_t note_keys = [&](int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start) {
            keys.emplace_back();
        } else if (event == Json::parse_event_t::object_end) {
            if (!keys.empty()) keys.pop_back();
        } else if (event == Json::parse_event_t::key && !keys.empty()) {
            const std::string& key = parsed.get_ref<const std::string&>();
            if (!keys.back().insert(key).second && twice.empty()) twice = key;
        }
        return true;
    };
    try {
        Json doc = Json::parse(bytes.begin(), bytes.end(), note_keys);
        if (!twice.empty()) {
            problem = "\"" + twice + "\" steht zweimal in der Datei.";
            return std::nullopt;
        }
        return doc;
    } catch (const Json::parse_error& e) {
        // e.byte counts from 1; at the end of the input the text was cut off.
        if (e.byte >= bytes.size()) {
            problem = "Die Datei endet vorzeitig; sie ist unvollständig.";
        } else {
            problem = "Die Datei ist kein gültiges JSON (" + position(bytes, e.byte == 0 ? 0 : e.byte - 1) + ").";
        }
    } catch (const Json::exception&) {
        problem = "Die Datei ist kein gültiges JSON.";
    }
    return std::nullopt;
}

// A JSON value as a message may quote it: short, on one line.
std::string shown(const Json& value) {
    std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (text.size() > 40) text = text.substr(0, 37) + "...";
    return text;
}

std::optional<std::string> check_header(const Json& doc) {
    if (!doc.is_object() || !doc.contains("format")) {
        return "Die Datei ist keine Bestandsdatei (es fehlt \"format\": \"" + std::string(kStandFormat) + "\").";
    }
    const Json& format = doc["format"];
    if (!format.is_string() || format.get_ref<const std::string&>() != kStandFormat) {
        return "Die Datei hat das Format " + shown(format) + "; eine Bestandsdatei hat das Format \"" +
               std::string(kStandFormat) + "\".";
    }
    if (!doc.contains("version")) return std::string("Die Angabe \"version\" fehlt.");
    const Json& version = doc["version"];
    if (!version.is_number_unsigned() || version.get<std::uint64_t>() < 1) {
        return "\"version\": " + shown(version) + " ist keine Versionsnummer (eine ganze Zahl ab 1).";
    }
    if (version.get<std::uint64_t>() > static_cast<std::uint64_t>(kStandVersion)) {
        return "Die Datei hat die Version " + shown(version) + " und stammt von einem neueren Forstrix; " +
               "dieses Programm liest Bestandsdateien bis zur Version " + std::to_string(kStandVersion) + ".";
    }
    for (const auto& [key, value] : doc.items()) {
        if (key == "format" || key == "version") continue;
        if (key == "name" || key == "note") {
            if (!value.is_string()) return "\"" + key + "\": " + shown(value) + " ist kein Text.";
        } else if (key == "values") {
            if (!value.is_object()) {
                return "\"values\" muss ein Objekt aus Namen und Werten sein, zum Beispiel {\"gi_bhd\": 34}.";
            }
        } else {
            return "\"" + key + "\" ist keine Angabe einer Bestandsdatei (erlaubt sind format, version, name, "
                                "note und values).";
        }
    }
    return std::nullopt;
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

bool is_stand_text(std::string_view bytes) {
    std::string problem;
    const std::optional<Json> doc = parse_json(without_bom(bytes), problem);
    // A stand file cut short is still meant as one; its reader says what is wrong.
    if (!doc) return bytes.find("\"format\"") != std::string_view::npos;
    return doc->is_object() && doc->contains("format");
}

Outcome parse_stand_content(std::string_view bytes, StandContent& content) {
    bytes = without_bom(bytes);
    std::string problem;
    const std::optional<Json> doc = parse_json(bytes, problem);
    if (!doc) return refused(problem);
    if (std::optional<std::string> p = check_header(*doc)) return refused(*p);

    StandContent read;
    if (doc->contains("name")) read.label.name = (*doc)["name"].get<std::string>();
    if (doc->contains("note")) read.label.note = (*doc)["note"].get<std::string>();
    if (doc->contains("values")) {
        for (const auto& [name, value] : (*doc)["values"].items()) {
            Problem why;
            const ValueInfo* info = find_settable(name, why);
            if (info == nullptr) return refused(why.message);
            if (!value.is_number()) {
                return refused(name + ": " + shown(value) + " ist keine Zahl.");
            }
            // + 0.0 turns a written -0 into 0.
            const double v = value.get<double>() + 0.0;
            if (std::optional<Problem> p = check_value(*info, v)) return refused(p->message);
            read.values.push_back({info, v});
        }
    }
    content = std::move(read);
    return {};
}

Outcome parse_stand(std::string_view bytes, State& s, StandLabel& label) {
    StandContent content;
    if (Outcome r = parse_stand_content(bytes, content); !r.ok()) return r;
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
    // Read without waiting: a named pipe, a device or a folder is refused.
    std::string bytes;
    ReadFailure failure;
    switch (read_small_file(path, kMaxFileSize, bytes, failure)) {
        case ReadStatus::Ok: return parse_stand(bytes, s, label);
        case ReadStatus::NotFound:
            return {Status::NotFound, std::string(kLoadFailure) + "\nDie Datei kann nicht geöffnet werden."};
        case ReadStatus::TooLarge: return refused("Die Datei ist zu groß für eine Bestandsdatei.");
        case ReadStatus::Failed: break;
    }
    return refused(describe_read(failure));
}

Outcome write_stand(const std::filesystem::path& path, const State& s, const StandLabel& label) {
    const std::string text = stand_text(s, label);
    // Never write a file that would not give this stand back: a value that
    // no dialog would accept, or one that is not finite.
    State reread;
    StandLabel relabel;
    if (const Outcome check = parse_stand(text, reread, relabel); !check.ok()) {
        return {Status::WriteFailed, std::string(kSaveFailure) + "\nDie Datei ließe sich nicht wieder laden: " +
                                         check.message.substr(check.message.find('\n') + 1)};
    }
    if (stand_text(reread, relabel) != text) {
        return {Status::WriteFailed,
                std::string(kSaveFailure) + "\nDie Datei gäbe den Bestand nicht genau wieder."};
    }
    WriteFailure failure;
    if (!atomic_write(path, text, &failure))
        return {Status::WriteFailed, std::string(kSaveFailure) + "\n" + describe(failure)};
    return {};
}

}  // namespace forstrix::files
