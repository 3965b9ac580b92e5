// One parse per file: the document is parsed once, then read as the kind it
// is. nlohmann's DOM parser is iterative, but the nesting is counted before
// it runs anyway, so that no hostile file of a million brackets is built.
#include "files/scenario_input.h"

#include <cstdint>
#include <optional>
#include <string>

#include "core/checks.h"
#include "core/message_text.h"
#include "files/input_file.h"
#include "files/json_document.h"

namespace forstrix::files {

namespace {

using json::Json;
using json::shown;

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
            return "\"" + printable(key) + "\" ist keine Angabe einer Bestandsdatei (erlaubt sind format, "
                                           "version, name, note und values).";
        }
    }
    return std::nullopt;
}

// The members of an object of values, each a settable name with a number
// its dialog would accept.
std::optional<std::string> read_values(const Json& object, std::vector<Given>& values) {
    for (const auto& [name, value] : object.items()) {
        Problem why;
        const ValueInfo* info = find_settable(name, why);
        if (info == nullptr) return why.message;
        if (!value.is_number()) return name + ": " + shown(value) + " ist keine Zahl.";
        // + 0.0 turns a written -0 into 0.
        const double v = value.get<double>() + 0.0;
        if (std::optional<Problem> p = check_value(*info, v)) return p->message;
        values.push_back({info, v});
    }
    return std::nullopt;
}

}  // namespace

Outcome parse_scenario_input(std::string_view bytes, ScenarioInput& input, bool stand_file_only) {
    bytes = json::without_bom(bytes);
    std::string problem;
    const std::optional<Json> doc =
        json::parse(bytes, kMaxJsonDepth,
                    "Die Datei ist zu tief verschachtelt; eine Bestandsdatei und ein Objekt aus Namen und Werten "
                    "haben höchstens " + std::to_string(kMaxJsonDepth) + " Ebenen.",
                    problem);
    ScenarioInput read;
    // A stand file cut short is still meant as one.
    read.stand_file = stand_file_only || (doc ? doc->is_object() && doc->contains("format")
                                              : bytes.find("\"format\"") != std::string_view::npos);
    const char* heading = read.stand_file ? kStandNotLoaded : kInputNotLoaded;
    if (!doc) return {Status::Refused, heading, problem};

    std::optional<std::string> refused;
    if (read.stand_file) {
        refused = check_header(*doc);
        if (!refused && doc->contains("name")) read.label.name = (*doc)["name"].get<std::string>();
        if (!refused && doc->contains("note")) read.label.note = (*doc)["note"].get<std::string>();
        if (!refused && doc->contains("values")) refused = read_values((*doc)["values"], read.values);
    } else if (!doc->is_object()) {
        refused = "Die Datei muss ein JSON-Objekt aus Namen und Werten sein, zum Beispiel "
                  "{\"gi_bhd\": 25, \"gf_vab\": 40.5}.";
    } else {
        refused = read_values(*doc, read.values);
    }
    if (refused) return {Status::Refused, heading, *refused};
    input = std::move(read);
    return {};
}

Outcome read_scenario_input(const std::filesystem::path& path, ScenarioInput& input) {
    std::string bytes;
    const Outcome read = read_input_file(path, kInputNotLoaded, bytes);
    return read.ok() ? parse_scenario_input(bytes, input) : read;
}

}  // namespace forstrix::files
