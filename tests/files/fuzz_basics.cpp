// libFuzzer target of the basics-file reader: any bytes either load whole
// (passing the checks, and saving to a text that loads to the same text, or
// that the reader refuses where the formats round a value to one the checks
// refuse) or are refused with the state left exactly as it was.
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
