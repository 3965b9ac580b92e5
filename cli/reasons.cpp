#include "cli/reasons.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "core/suitability.h"

namespace forstrix::cli {

namespace {

// A whole number as an integer, the type the value has among the values
// of `calc`; the rules only see whole numbers from 0 to 90 there.
nlohmann::ordered_json number(double v, bool whole) {
    if (whole && v >= 0.0 && v <= 4294967295.0 && std::trunc(v) == v)
        return static_cast<std::uint32_t>(v);
    return v;
}

}  // namespace

nlohmann::ordered_json reasons_json(const State& s) {
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    const SystemReasons all = unsuitability_reasons(s);
    for (std::size_t i = 0; i < all.size(); ++i) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const Reason& r : all[i]) {
            nlohmann::ordered_json item = nlohmann::ordered_json::object();
            item["name"] = r.name;
            item["value"] = r.value ? number(*r.value, r.whole) : nlohmann::ordered_json();
            item["limit"] = number(r.limit, r.whole);
            item["text"] = r.text;
            list.push_back(std::move(item));
        }
        out["g_sys" + std::to_string(i + 1)] = std::move(list);
    }
    return out;
}

}  // namespace forstrix::cli
