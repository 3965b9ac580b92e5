// libFuzzer target of the command line's value inputs: any bytes as the
// JSON object of --input and as one --set NAME=VALUE pair. Either they are
// taken, every value a finite number not below 0 (the checks of the dialogs
// follow in the scenario), or they are refused with German messages that
// hold no raw control character and stay short; never an exception, a
// crash or a stack overflow.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/inputs.h"

namespace {

void check_message(const std::string& m) {
    if (m.empty() || m.size() > 2000) std::abort();
    for (const char c : m) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) std::abort();  // a terminal would act on it
    }
}

void check_given(const std::vector<forstrix::Given>& given) {
    for (const forstrix::Given& g : given)
        if (g.info == nullptr || !std::isfinite(g.value) || g.value < 0.0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::vector<forstrix::Given> given;
    std::vector<std::string> errors;
    const bool ok = forstrix::cli::parse_json_inputs(text, given, errors);
    if (ok != errors.empty()) std::abort();
    check_given(given);
    for (const std::string& e : errors) check_message(e);

    std::vector<forstrix::Given> set;
    std::string error;
    if (forstrix::cli::parse_set(text, set, error)) {
        if (set.size() != 1 || !error.empty()) std::abort();
        check_given(set);
    } else {
        if (!set.empty()) std::abort();
        check_message(error);
    }
    return 0;
}
