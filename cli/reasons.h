// The reasons why work systems do not suit a stand, as `calc` prints them.
#pragma once

#include <nlohmann/json.hpp>

#include "core/state.h"

namespace forstrix::cli {

// {"g_sys1": [...], ..., "g_sys6": [...]}: per system the failing conditions
// of the suitability rules over the stand of `s`, each
// {"name": "gi_bhd", "value": 12, "limit": 15, "text": "BHD 12 cm: mindestens 15 cm"};
// whole numbers (list positions, cm, %) as JSON integers, the others as
// decimals; an empty array for a suitable system.
nlohmann::ordered_json reasons_json(const State& s);

}  // namespace forstrix::cli
