// "daten.klg": the cost calculation basics of the eight machine kinds, ten
// lines of tab-separated numbers with a decimal point, Windows-1252 and
// CR LF on every platform.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/state.h"

namespace forstrix::files {

enum class Status {
    Ok,
    NotFound,    // the file could not be opened for reading
    Refused,     // present but not a valid basics file; nothing was changed
    WriteFailed  // the file could not be written; the previous one is intact
};

struct Outcome {
    Status status = Status::Ok;
    // For a failure: the German message for the user, complete as a message
    // box shows it (for a refused file the fixed text plus the line naming
    // the problem). Empty on success.
    std::string message;
    bool ok() const { return status == Status::Ok; }
};

inline constexpr const char* kBasicsFileName = "daten.klg";

// The bytes of a basics file holding the basics of `s`.
std::string basics_text(const State& s);
// Checks `bytes` whole; only a valid file changes the basics of `s`.
Outcome parse_basics(std::string_view bytes, State& s);

Outcome read_basics(const std::filesystem::path& path, State& s);
Outcome write_basics(const std::filesystem::path& path, const State& s);

}  // namespace forstrix::files
