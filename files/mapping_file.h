// A mapping ("Zuordnung") of an inventory's table to the program's values,
// kept as a small JSON file so that the same inventory is read the same way
// every year:
//   {"format": "forstrix-zuordnung", "version": 1,
//    "columns": {"BHD_MITTEL": "gi_bhd", "BAUMART": "gi_ba"},
//    "values": {"gi_ba": {"BU": 5, "EI": 6}}}
// "columns" maps a column's name to a settable value; "values" gives, for a
// list value of the stand dialog, the inventory's codes and the number each
// stands for (the species by the internal index: Buche 5, Eiche 6). Column
// names and codes count without regard to case (core/columns.h reads them
// so), so two that differ only in case are refused as given twice.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/columns.h"
#include "files/basics_file.h"  // Outcome

namespace forstrix::files {

inline constexpr const char* kMappingFormat = "forstrix-zuordnung";
inline constexpr int kMappingVersion = 1;
inline constexpr const char* kMappingNotLoaded = "Zuordnung kann nicht geladen werden!";
inline constexpr const char* kMappingNotSaved = "Zuordnung kann nicht gespeichert werden!";
// The document, "values" and a value's codes.
inline constexpr std::size_t kMaxMappingDepth = 3;

// Reads a mapping; only a valid one changes `mapping`. Refused (status
// Refused, heading kMappingNotLoaded, a detail of one line): not JSON, a
// wrong format or a newer version, an unknown member, a column mapped to an
// unknown name ("gi_bdh: unbekannter Name; meinten Sie gi_bhd?") or to a
// value only the computation writes, codes for a value that is no list, a
// code's number that the stand dialog would not accept, a name, column or
// code given twice.
Outcome parse_mapping(std::string_view bytes, columns::Mapping& mapping);
// parse_mapping of the file at `path` (files/input_file.h reads it).
Outcome read_mapping(const std::filesystem::path& path, columns::Mapping& mapping);

// The file's text: UTF-8, LF, two blanks of indentation, columns and codes
// in the mapping's order, whole numbers without a decimal point.
std::string mapping_text(const columns::Mapping& mapping);
// Writes mapping_text through the one atomic writer. WriteFailed with
// kMappingNotSaved and the reason; a mapping that would not load again is
// not written, and the detail names its problem.
Outcome write_mapping(const std::filesystem::path& path, const columns::Mapping& mapping);

}  // namespace forstrix::files
