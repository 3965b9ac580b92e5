// libFuzzer target of the basics-file reader: any bytes load whole (and save to a text that
// loads alike or that rounding makes refused) or are refused with the state left as it was.
#include <cstdint>
#include <cstdlib>

#include "core/checks.h"
#include "files/basics_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace forstrix;
    State s, again;
    const files::Outcome r = files::parse_basics({reinterpret_cast<const char*>(data), size}, s);
    if (r.status == files::Status::Refused) {
        if (r.detail.empty() || r.detail.find('\n') != std::string::npos) std::abort();  // one line naming the problem
        for (const ValueInfo& v : value_registry())
            if (get_value(s, v) != get_value(State{}, v)) std::abort();  // a refused file changed the state
        return 0;
    }
    if (!r.ok() || !r.message().empty() || !check_basics(s).empty()) std::abort();
    const std::string text = files::basics_text(s);
    const files::Outcome r2 = files::parse_basics(text, again);
    if (r2.ok() ? files::basics_text(again) != text : r2.status != files::Status::Refused) std::abort();
    return 0;
}
