// The stand file ("Bestandsdatei", extension .forstrix): everything a forester
// typed about one stand, so that the result can be reproduced on another
// machine, by the desktop program and by forstrix-cli alike.
//
//   {
//     "format": "forstrix-bestand",
//     "version": 1,
//     "name": "Abteilung 12b, Eichenhang",
//     "note": "...",
//     "values": {
//       "gi_ba": 6,
//       "gi_bhd": 34,
//       ...
//     }
//   }
//
// JSON in UTF-8 without BOM, LF line ends, one value a line in the order of
// the value registry. `values` holds every input value by its registry name
// (the names of `forstrix-cli calc`), except gf_ii_rd, which always follows
// gf_i_rd. A machine cost of the cost dialog (gf_ss, gf_msc37, gf_hab112, ...)
// is written only where it differs from the total that the basics give, so a
// basic edited by hand in the file takes effect. A file written by hand may
// hold any subset; the rest keep their defaults.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/scenario.h"
#include "core/state.h"
#include "files/basics_file.h"

namespace forstrix::files {

// The deepest nesting of objects and arrays in a JSON text, counted without
// parsing (brackets inside strings do not count), so that a hostile file of
// a million brackets never reaches a parser's recursion. Counting stops once
// `limit` is passed.
std::size_t json_depth(std::string_view text, std::size_t limit);

inline constexpr std::string_view kStandFormat = "forstrix-bestand";
// The newest version this program writes and reads. An issue that adds an
// input value raises it; older versions stay readable (their files simply
// lack the new value, which keeps its default).
//   1  the stand, the additional data, wages, PNK, Zeitgrad, machine costs
//      and all cost basics
//   2  also the two CO2 factors gf_co2_diesel and gf_co2_benzin
inline constexpr int kStandVersion = 2;
inline constexpr std::string_view kStandExtension = ".forstrix";

// The stand's own words, kept beside the values.
struct StandLabel {
    std::string name;  // "Bezeichnung"
    std::string note;  // "Notiz"
    bool operator==(const StandLabel&) const = default;
};

// What a stand file says, checked but not yet computed.
struct StandContent {
    StandLabel label;
    std::vector<Given> values;  // in file order
};

// The values a stand file holds for `s`, in registry order: every input
// value except gf_ii_rd, and a machine cost only where it differs from the
// total that the basics of `s` give (gf_ss: from gf_asb75).
std::vector<Given> stand_values(const State& s);

// The bytes of the stand file of `s`. Numbers are the shortest text that
// reads back to the same double, whatever the locale.
std::string stand_text(const State& s, const StandLabel& label);

// True when `bytes` is meant as a stand file: a JSON object with a "format"
// member (a flat object of values has none, as "format" names no value), or
// text that is not JSON but mentions "format" (a stand file cut short).
bool is_stand_text(std::string_view bytes);

// Checks the form of the file: JSON (a UTF-8 BOM and CR LF are accepted),
// the format, a version this program knows, known top-level members, and
// for every value a settable name that the registry knows and a number that
// the dialog editing it would accept. Refused: status Refused and the
// message "Bestandsdatei kann nicht geladen werden!" with a line naming the
// problem (and the value). `content` is set only on success.
Outcome parse_stand_content(std::string_view bytes, StandContent& content);

// parse_stand_content, then the file's values on top of `s` (which holds
// the defaults, or the defaults and a basics file) through the one chain of
// computation: the basics, the machine-hour costs they give (gf_ss from
// gf_asb75), the file's machine costs on top, the stand model and the rules,
// the time-and-cost model. A value the stand or basics checks refuse refuses
// the file. `s` and `label` change only when the whole file is accepted.
Outcome parse_stand(std::string_view bytes, State& s, StandLabel& label);

// parse_stand of the file at `path`. NotFound when it cannot be opened;
// Refused for a folder, a file over 1 MiB or what parse_stand refuses.
Outcome read_stand(const std::filesystem::path& path, State& s, StandLabel& label);

// Writes stand_text atomically (files/atomic_write.h). WriteFailed, with the
// message "Bestandsdatei kann nicht gespeichert werden!", when the write
// fails (a previous file is then intact) or when the text would not read
// back to the same stand (nothing is written then).
Outcome write_stand(const std::filesystem::path& path, const State& s, const StandLabel& label);

}  // namespace forstrix::files
