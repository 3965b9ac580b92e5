// "erg.txt": the result report of the stand, the inputs and the time and
// cost of every suitable work system. Windows-1252, CR LF, decimal comma.
#pragma once

#include <filesystem>
#include <string>

#include "core/state.h"
#include "files/basics_file.h"

namespace forstrix::files {

inline constexpr const char* kReportFileName = "erg.txt";

// The report's bytes for the computed state `s` (calc_zeitbedarfkosten has run).
std::string report_text(const State& s);
// Writes the report atomically; on failure the previous file stays as it was
// and the message adds a line with the reason and the path. A figure that
// is not finite (inputs beyond every sensible range) is never written: the
// message names where it is.
Outcome write_report(const std::filesystem::path& path, const State& s);

}  // namespace forstrix::files
