// libFuzzer target: any bytes as an --input file and as one --set pair are taken (every value
// finite, not below 0) or refused with a short German line without raw control characters;
// never an exception, a crash or a stack overflow.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/inputs.h"
#include "files/scenario_input.h"

namespace {

void check_message(const std::string& m) {
    if (m.empty() || m.size() > 2000) std::abort();
    for (const char c : m)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();  // a terminal would act on it
}

void check_given(const std::vector<forstrix::Given>& given) {
    for (const forstrix::Given& g : given)
        if (g.info == nullptr || !std::isfinite(g.value) || g.value < 0.0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    forstrix::files::ScenarioInput input;
    const forstrix::files::Outcome r = forstrix::files::parse_scenario_input(text, input);
    if (r.ok()) check_given(input.values);
    else if (r.status != forstrix::files::Status::Refused || !input.values.empty()) std::abort();
    else check_message(r.detail);

    std::vector<forstrix::Given> set;
    std::string error;
    const bool taken = forstrix::cli::parse_set(text, set, error);
    if (taken != (set.size() == 1) || taken != error.empty()) std::abort();
    if (taken) check_given(set);
    else check_message(error);
    return 0;
}
