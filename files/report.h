// "erg.txt": the result report of the stand, the inputs and the time and
// cost of every suitable work system. Windows-1252, CR LF, decimal comma.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/state.h"
#include "files/basics_file.h"

namespace forstrix::files {

inline constexpr const char* kReportFileName = "erg.txt";
// The heading of every failure to write it.
inline constexpr const char* kReportNotSaved = "Ergebnis konnte nicht gespeichert werden!";

// One line of the report's stand block, label and value as the report
// writes them (UTF-8, before the conversion to Windows-1252).
struct ReportLine {
    std::string label;
    std::string value;
};
// The stand block has 19 lines: the stand (1 to 11), then the additional
// data of system I (12 to 14), of system II (15, 16) and of system V (17 to 19).
inline constexpr std::size_t kStandLineCount = 19;
inline constexpr std::size_t kFirstSystemILine = 11, kFirstSystemIILine = 14, kFirstSystemVLine = 16;
// The stand lines in the order of the report; views that show the stand as
// the report does take them from here.
std::vector<ReportLine> report_stand_lines(const State& s);

// The report's bytes for the computed state `s` (calc_zeitbedarfkosten has run).
std::string report_text(const State& s);
// Writes the report atomically; on failure the previous file stays as it was
// and the message adds a line with the reason and the path. A figure that
// is not finite (inputs beyond every sensible range) is never written: the
// message names where it is.
Outcome write_report(const std::filesystem::path& path, const State& s);

}  // namespace forstrix::files
