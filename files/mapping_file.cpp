#include "files/mapping_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/checks.h"
#include "core/columns_text.h"
#include "core/message_text.h"
#include "files/atomic_write.h"
#include "files/input_file.h"
#include "files/json_document.h"

namespace forstrix::files {

namespace {

using json::Json;
using json::shown;

std::string named(std::string_view text) { return "\"" + printable(text) + "\""; }

std::optional<std::string> check_header(const Json& doc) {
    if (!doc.is_object() || !doc.contains("format"))
        return "Die Datei ist keine Zuordnung (es fehlt \"format\": \"" + std::string(kMappingFormat) + "\").";
    const Json& format = doc["format"];
    if (!format.is_string() || format.get_ref<const std::string&>() != kMappingFormat)
        return "Die Datei hat das Format " + shown(format) + "; eine Zuordnung hat das Format \"" +
               std::string(kMappingFormat) + "\".";
    if (!doc.contains("version")) return std::string("Die Angabe \"version\" fehlt.");
    const Json& version = doc["version"];
    if (!version.is_number_unsigned() || version.get<std::uint64_t>() < 1)
        return "\"version\": " + shown(version) + " ist keine Versionsnummer (eine ganze Zahl ab 1).";
    if (version.get<std::uint64_t>() > static_cast<std::uint64_t>(kMappingVersion))
        return "Die Datei hat die Version " + shown(version) + " und stammt von einem neueren Forstrix; " +
               "dieses Programm liest Zuordnungen bis zur Version " + std::to_string(kMappingVersion) + ".";
    for (const auto& [key, value] : doc.items()) {
        if (key == "format" || key == "version") continue;
        if (key != "columns" && key != "values")
            return named(key) + " ist keine Angabe einer Zuordnung (erlaubt sind format, version, columns und "
                                "values).";
        if (!value.is_object()) return "\"" + key + "\" muss ein Objekt sein.";
    }
    return std::nullopt;
}

// A settable value by its name in any case, or the problem.
const ValueInfo* settable_named(const std::string& name, std::string& problem) {
    const ValueInfo* info = find_value(columns::detail::folded(name));
    if (info == nullptr) {
        problem = unknown_value(name).message;
    } else if (!info->settable()) {
        problem = check_value(*info, 0.0)->message;
        info = nullptr;
    }
    return info;
}

// A key that an earlier key of the same object already gave, case aside.
std::optional<std::string> earlier(const std::vector<std::string>& keys, const std::string& key) {
    for (const std::string& k : keys)
        if (columns::detail::same_text(columns::detail::trimmed(k), columns::detail::trimmed(key))) return k;
    return std::nullopt;
}

std::optional<std::string> read_columns(const Json& object, columns::Mapping& m) {
    std::vector<std::string> seen;
    for (const auto& [column, value] : object.items()) {
        const std::string where = "Spalte " + named(column) + ": ";
        if (columns::detail::trimmed(column).empty()) return std::string("Eine Spalte ohne Namen in \"columns\".");
        if (const std::optional<std::string> first = earlier(seen, column))
            return where + "steht schon als " + named(*first) + " in \"columns\" (Groß- und Kleinschreibung "
                                                                "zählen nicht).";
        seen.push_back(column);
        if (!value.is_string()) return where + shown(value) + " ist kein Name eines Wertes.";
        std::string problem;
        const ValueInfo* info = settable_named(value.get<std::string>(), problem);
        if (info == nullptr) return where + problem;
        m.columns.emplace_back(column, std::string(info->name));
    }
    return std::nullopt;
}

std::optional<std::string> read_codes(const Json& object, columns::Mapping& m) {
    std::vector<const ValueInfo*> done;
    for (const auto& [name, codes] : object.items()) {
        std::string problem;
        const ValueInfo* info = settable_named(name, problem);
        if (info == nullptr) return "\"values\": " + problem;
        if (columns::list_words(*info).empty()) {
            std::string lists;
            for (const ValueInfo& v : value_registry())
                if (v.settable() && !columns::list_words(v).empty()) lists += (lists.empty() ? "" : ", ") + std::string(v.name);
            return "\"values\": " + std::string(info->name) + " ist keine Liste; Schlüssel gibt es nur für " + lists +
                   ".";
        }
        if (std::find(done.begin(), done.end(), info) != done.end())
            return "\"values\": " + std::string(info->name) + " steht zweimal in der Datei.";
        done.push_back(info);
        if (!codes.is_object())
            return "\"values\": " + std::string(info->name) + " muss ein Objekt aus Schlüsseln und Zahlen sein, "
                                                             "zum Beispiel {\"BU\": 5}.";
        columns::Mapping::Codes read{std::string(info->name), {}};
        std::vector<std::string> seen;
        for (const auto& [code, number] : codes.items()) {
            const std::string where = std::string(info->name) + ", Schlüssel " + named(code) + ": ";
            if (columns::detail::trimmed(code).empty()) return std::string(info->name) + ": ein leerer Schlüssel.";
            if (const std::optional<std::string> first = earlier(seen, code))
                return where + "steht schon als " + named(*first) + " in der Datei (Groß- und Kleinschreibung "
                                                                    "zählen nicht).";
            seen.push_back(code);
            if (!number.is_number()) return where + shown(number) + " ist keine Zahl.";
            const double v = number.get<double>() + 0.0;  // + 0.0: no -0
            if (const std::optional<Problem> p = check_value(*info, v)) return where + p->message;
            read.codes.emplace_back(code, v);
        }
        m.values.push_back(std::move(read));
    }
    return std::nullopt;
}

}  // namespace

Outcome parse_mapping(std::string_view bytes, columns::Mapping& mapping) {
    std::string problem;
    const std::optional<Json> doc =
        json::parse(json::without_bom(bytes), kMaxMappingDepth,
                    "Die Datei ist zu tief verschachtelt; eine Zuordnung hat höchstens " +
                        std::to_string(kMaxMappingDepth) + " Ebenen.",
                    problem);
    if (!doc) return {Status::Refused, kMappingNotLoaded, problem};
    columns::Mapping read;
    std::optional<std::string> refused = check_header(*doc);
    if (!refused && doc->contains("columns")) refused = read_columns((*doc)["columns"], read);
    if (!refused && doc->contains("values")) refused = read_codes((*doc)["values"], read);
    if (refused) return {Status::Refused, kMappingNotLoaded, *refused};
    mapping = std::move(read);
    return {};
}

Outcome read_mapping(const std::filesystem::path& path, columns::Mapping& mapping) {
    std::string bytes;
    const Outcome read = read_input_file(path, kMappingNotLoaded, bytes);
    return read.ok() ? parse_mapping(bytes, mapping) : read;
}

std::string mapping_text(const columns::Mapping& mapping) {
    Json doc = Json::object();
    doc["format"] = kMappingFormat;
    doc["version"] = kMappingVersion;
    Json& cols = doc["columns"] = Json::object();
    for (const auto& [column, value] : mapping.columns) cols[column] = value;
    Json& values = doc["values"] = Json::object();
    for (const columns::Mapping::Codes& c : mapping.values) {
        Json& codes = values[c.value] = Json::object();
        for (const auto& [code, number] : c.codes) {
            // List positions are whole numbers: "5", not "5.0".
            if (number == std::trunc(number) && std::abs(number) < 1e15)
                codes[code] = static_cast<std::int64_t>(number);
            else
                codes[code] = number;
        }
    }
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

Outcome write_mapping(const std::filesystem::path& path, const columns::Mapping& mapping) {
    const std::string text = mapping_text(mapping);
    columns::Mapping again;
    if (const Outcome check = parse_mapping(text, again); !check.ok())
        return {Status::WriteFailed, kMappingNotSaved, check.detail};
    WriteFailure failure;
    if (!atomic_write(path, text, &failure)) return {Status::WriteFailed, kMappingNotSaved, describe(failure)};
    return {};
}

}  // namespace forstrix::files
