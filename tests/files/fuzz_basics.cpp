// libFuzzer target of the basics-file reader: any bytes either load whole
// (and then pass the checks and write back to a file that loads to the same
// values) or are refused with the state left exactly as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/checks.h"
#include "core/registry.h"
#include "files/basics_file.h"

namespace {

bool same(const forstrix::State& a, const forstrix::State& b) {
    for (const forstrix::ValueInfo& v : forstrix::value_registry()) {
        const double x = forstrix::get_value(a, v);
        const double y = forstrix::get_value(b, v);
        if (std::memcmp(&x, &y, sizeof x) != 0) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace forstrix;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    State s;
    const State before = s;
    const files::Outcome r = files::parse_basics(bytes, s);
    if (r.status == files::Status::Refused) {
        if (!same(s, before)) std::abort();  // a refused file changed the state
        if (r.message.find('\n', 0) == std::string::npos) std::abort();
        return 0;
    }
    if (!r.ok() || !r.message.empty()) std::abort();
    if (!check_basics(s).empty()) std::abort();  // loaded values that the checks refuse
    // What was loaded saves and loads again to the same text, unless the
    // formats round a value into one the checks refuse (write_basics then
    // refuses to write it).
    const std::string text = files::basics_text(s);
    State again;
    const files::Outcome r2 = files::parse_basics(text, again);
    if (r2.ok() && files::basics_text(again) != text) std::abort();
    if (!r2.ok() && r2.status != files::Status::Refused) std::abort();
    return 0;
}
