#include "files/json_document.h"

#include <set>
#include <vector>

#include "core/message_text.h"
#include "files/input_file.h"

namespace forstrix::files::json {

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

}  // namespace

std::string_view without_bom(std::string_view bytes) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    return bytes.substr(0, bom.size()) == bom ? bytes.substr(bom.size()) : bytes;
}

std::optional<Json> parse(std::string_view bytes, std::size_t max_depth, std::string_view too_deep,
                          std::string& problem) {
    if (json_depth(bytes, max_depth) > max_depth) {
        problem = std::string(too_deep);
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
        if (twice.empty()) return doc;
        problem = "\"" + printable(twice) + "\" steht zweimal in der Datei.";
    } catch (const Json::parse_error& e) {
        // e.byte counts from 1; at the end of the input the text was cut off.
        if (e.byte >= bytes.size()) {
            problem = "Die Datei endet vorzeitig; sie ist unvollständig.";
        } else {
            problem = "Die Datei ist kein gültiges JSON (" + position(bytes, e.byte == 0 ? 0 : e.byte - 1) + ").";
        }
    } catch (const Json::out_of_range&) {
        problem = "Die Datei enthält eine Zahl, die zu groß für eine endliche Zahl ist.";
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

}  // namespace forstrix::files::json
