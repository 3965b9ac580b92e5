// "daten.klg": the cost calculation basics of the eight machine kinds, ten
// lines of tab-separated numbers with a decimal point, Windows-1252 and
// CR LF on every platform.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/state.h"

namespace forstrix::files {

// What became of reading or writing one of the program's files (the basics,
// a stand file, a scenario, the report, the result sheet).
enum class Status {
    Ok,
    NotFound,    // there is no file of that name
    Unreadable,  // it exists but cannot be read: a folder, a device or pipe, no permission
    Refused,     // read, but not a valid file of its kind; nothing was changed
    WriteFailed  // the file could not be written; the previous one is intact
};

// For a failure the German message in two parts: the heading that names the
// file and what failed ("Bestandsdatei kann nicht geladen werden!"), and the
// detail that names the problem, the value or the path (empty where the
// heading says it all). A message box shows them as two lines, the command
// line as one.
struct Outcome {
    Status status = Status::Ok;
    std::string heading;
    std::string detail = {};
    bool ok() const { return status == Status::Ok; }
    // Heading and detail as a message box shows them; empty on success.
    std::string message() const { return detail.empty() ? heading : heading + "\n" + detail; }
};

inline constexpr const char* kBasicsFileName = "daten.klg";
// The heading of every refused or unreadable basics file.
inline constexpr const char* kBasicsNotLoaded = "Kalkulationsgrundlagen (daten.klg)\nkönnen nicht geladen werden!";
// The heading of every failure to write them.
inline constexpr const char* kBasicsNotSaved = "Kalkulationsgrundlagen können\nnicht gespeichert werden!";

// The bytes of a basics file holding the basics of `s`: line 1 with six
// decimals ("%4lf"), lines 2 to 10 with four ("%.4lf"), tabs between the
// values, CR LF after every line, the same bytes under every locale.
std::string basics_text(const State& s);

// Checks `bytes` whole; only a valid file changes the basics of `s` (the 126
// values and nothing else; the caller recomputes the machine costs).
// Valid: exactly 126 plain decimal numbers (digits with at most one point;
// no sign, no exponent, no comma) in any white space, LF or CR LF; each
// passes check_value of its field and all together check_basics
// (core/checks.h). Lines 2 and 3 both hold the second chainsaw group; both
// are checked and line 3's values stay, so a file whose lines 2 and 3
// differ is accepted.
// Refused: status Refused, `s` untouched, heading kBasicsNotLoaded and a
// detail of one line naming the problem: "Zeile 5, Wert \"0.0000\": gf_hab47: 0 ist nicht erlaubt ...",
// "Zeile 1: \"12,5\" ist keine Zahl, ...", "Zeile 4: Die Datei enthält
// 127 statt 126 Zahlen; Zeile 4 hat 14 statt 13."
Outcome parse_basics(std::string_view bytes, State& s);

// NotFound, with the heading alone (the desktop shows it from the menu and
// not at start-up), when there is no such file; Unreadable, with the reason
// and the path, for a file that exists but cannot be read (no permission, a
// folder, a device, a named pipe, which is opened without waiting for a
// writer); Refused for a file over 1 MiB and for one that parse_basics refuses.
Outcome read_basics(const std::filesystem::path& path, State& s);

// Writes basics_text(s) atomically (files/atomic_write.h). WriteFailed, with
// the message "Kalkulationsgrundlagen können\nnicht gespeichert werden!",
// and a line with the reason and the path (files/atomic_write.h) when the
// write fails (the previous file is then intact), and when the
// text would not load again (a basic that four decimals round to 0, say);
// in that case nothing is written and a third line names the problem.
Outcome write_basics(const std::filesystem::path& path, const State& s);

}  // namespace forstrix::files
