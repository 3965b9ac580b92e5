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

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/scenario.h"
#include "core/state.h"
#include "files/basics_file.h"

namespace forstrix::files {

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

// The values a stand file holds for `s`, in registry order: every input
// value except gf_ii_rd, and a machine cost only where it differs from the
// total that the basics of `s` give (gf_ss: from gf_asb75).
std::vector<Given> stand_values(const State& s);

// The bytes of the stand file of `s`. Numbers are the shortest text that
// reads back to the same double, whatever the locale.
std::string stand_text(const State& s, const StandLabel& label);

// The file read by the rules of files/scenario_input.h (refused when it is
// no stand file, with the heading "Bestandsdatei kann nicht geladen
// werden!" and a detail naming the problem), then its values on top of `s`
// (which holds the defaults, or the defaults and a basics file) through the
// one chain of computation: the basics, the machine-hour costs they give (gf_ss from
// gf_asb75), the file's machine costs on top, the stand model and the rules,
// the time-and-cost model. A value the stand or basics checks refuse refuses
// the file. `s` and `label` change only when the whole file is accepted.
Outcome parse_stand(std::string_view bytes, State& s, StandLabel& label);

// parse_stand of the file at `path`. NotFound when there is none;
// Unreadable for a folder, a device or pipe or a file without permission;
// Refused for a file over 1 MiB or what parse_stand refuses.
Outcome read_stand(const std::filesystem::path& path, State& s, StandLabel& label);

// Writes stand_text atomically (files/atomic_write.h). WriteFailed, with the
// message "Bestandsdatei kann nicht gespeichert werden!", when the write
// fails (a previous file is then intact) or when the text would not read
// back to the same stand (nothing is written then).
Outcome write_stand(const std::filesystem::path& path, const State& s, const StandLabel& label);

}  // namespace forstrix::files
