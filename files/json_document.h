// The one way the files library parses the JSON files a user gives it (a
// stand file, an object of values, a mapping of columns): nesting counted
// before the parser runs, a name given twice in one object refused (which of
// the two was meant cannot be known), and every failure told in German with
// its line and column. Used inside the files library only.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace forstrix::files::json {

using Json = nlohmann::ordered_json;

// Without a UTF-8 byte order mark at the start.
std::string_view without_bom(std::string_view bytes);

// The document, or nullopt with the problem (one German line). `too_deep`
// is the message for a text nested deeper than `max_depth`.
std::optional<Json> parse(std::string_view bytes, std::size_t max_depth, std::string_view too_deep,
                          std::string& problem);

// A JSON value as a message may quote it: short, on one line.
std::string shown(const Json& value);

}  // namespace forstrix::files::json
