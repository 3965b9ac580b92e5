#include "cli/batch.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "cli/batch_cells.h"
#include "cli/batch_lines.h"
#include "cli/batch_pipeline.h"
#include "cli/batch_rows.h"
#include "cli/errors.h"
#include "cli/inputs.h"
#include "core/calc.h"
#include "core/columns.h"
#include "core/message_text.h"
#include "core/registry.h"
#include "files/atomic_file.h"
#include "files/cp1252.h"
#include "files/mapping_file.h"
#include "files/read_stream.h"
#include "files/path_text.h"

namespace forstrix::cli {

namespace {

using batch::LineReader;
using batch::Table;

// Reads the header: the encoding, the separator, the decimal mark of the
// output and the input columns. kExitDone, or the exit status once its
// messages are written.
// The note that the result columns of an earlier run are not read: once,
// naming the first few.
std::string dropped_note(const std::vector<std::string>& dropped) {
    constexpr std::size_t kNamed = 6;
    std::string names;
    for (std::size_t k = 0; k < dropped.size() && k < kNamed; ++k)
        names += (k == 0 ? "" : ", ") + printable(dropped[k], 40);
    if (dropped.size() > kNamed) names += " und " + std::to_string(dropped.size() - kNamed) + " weitere";
    return std::string(dropped.size() == 1 ? "Die Ergebnisspalte " : "Die Ergebnisspalten ") + names +
           (dropped.size() == 1 ? " wird" : " werden") + " nicht gelesen, sondern neu berechnet.\n";
}

int read_header(LineReader& reader, Table& t, const std::string& table, const columns::Mapping* mapping,
                std::FILE* err) {
    std::string_view line;
    if (!reader.next(line)) {
        if (reader.line_too_long()) {
            print_error(err, "Die Kopfzeile der Tabelle ist länger als 64 MiB; keine Ausgabe geschrieben.");
            return kExitRefused;
        }
        if (reader.failed()) {
            print_error(err, table + " kann nicht gelesen werden; keine Ausgabe geschrieben.");
            return kExitFailed;
        }
        print_error(err, table + " ist leer; die erste Zeile muss die Namen der Werte enthalten; "
                         "keine Ausgabe geschrieben.");
        return kExitRefused;
    }
    // The header stays while the reader looks ahead (which moves its buffer).
    const std::string header(line);
    line = header;
    t.eol = reader.last_had_cr() ? "\r\n" : "\n";
    if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    if (line.starts_with("\xFF\xFE") || line.starts_with("\xFE\xFF")) {
        print_error(err, "Die Tabelle ist in UTF-16 gespeichert; bitte als CSV in UTF-8 "
                         "oder Windows-1252 speichern; keine Ausgabe geschrieben.");
        return kExitRefused;
    }
    const auto sep_at = std::find_if(line.begin(), line.end(), [](char c) { return c == ';' || c == ','; });
    // Decide the decimal mark of the output before the first row: the first
    // one in the data (only a semicolon table may use a comma); a one-column
    // table follows the mark it uses.
    const char mark = batch::first_decimal_mark(reader.ahead(batch::kMarkScan));
    t.sep = sep_at != line.end() ? *sep_at : mark == ',' ? ';' : ',';
    t.decimal = t.sep == ';' && mark != '.' ? ',' : '.';

    std::vector<std::string_view> cells;
    batch::split_cells(line, t.sep, cells);
    // The names as UTF-8 (an older spreadsheet's "Fläche" is Windows-1252).
    std::vector<std::string> names;
    names.reserve(cells.size());
    for (std::string_view c : cells) names.push_back(display_text(batch::trim(c)));
    columns::Header classified = columns::classify(names, mapping);
    if (classified.problems.empty()) {
        t.columns = std::move(classified.columns);
        t.labels.assign(names.size(), std::string());
        t.headings.clear();
        for (std::size_t k = 0; k < names.size(); ++k) {
            const columns::Column& c = t.columns[k];
            // A column named as its value is written under the value's name,
            // as before; any other column that stays (a mapped one too) keeps
            // its heading as it stands, and a mapped column's cells are
            // named by it in messages.
            if (c.role == columns::Role::Value && columns::value_of_name(names[k]) == c.info) {
                t.headings.emplace_back(c.info->name);
                continue;
            }
            if (c.role == columns::Role::Value) t.labels[k] = names[k];
            t.headings.emplace_back(batch::raw_cell(line, cells[k]));
        }
        // A remark such as "Abt. 3, steil" says nothing of the numbers: in a
        // table with more than one column only the cells that are read decide.
        if (sep_at != line.end() && t.sep == ';') {
            std::vector<bool> text_only(t.columns.size());
            for (std::size_t k = 0; k < t.columns.size(); ++k)
                text_only[k] = t.columns[k].role == columns::Role::Carried;
            t.decimal = batch::first_decimal_mark(reader.ahead(batch::kMarkScan), t.sep, text_only) != '.' ? ',' : '.';
        }
        if (!classified.dropped.empty()) std::fputs(dropped_note(classified.dropped).c_str(), err);
        return kExitDone;
    }
    // A header of a million wrong names is no header at all: the first few
    // are shown, the rest counted.
    constexpr std::size_t kHeaderMessages = 5;
    std::string messages;
    for (std::size_t k = 0; k < classified.problems.size() && k < kHeaderMessages; ++k)
        batch::append_line_message(messages, 1, classified.problems[k].name, classified.problems[k].message);
    if (classified.problems.size() > kHeaderMessages)
        messages += "Zeile 1: " + std::to_string(classified.problems.size() - kHeaderMessages) +
                    " weitere fehlerhafte Spaltenüberschriften.\n";
    std::fputs(messages.c_str(), err);
    print_error(err, "Kopfzeile fehlerhaft; keine Ausgabe geschrieben.");
    return kExitRefused;
}

// The header line of the result table: the input columns, the derived
// values, the flags (with --reasons the six reason columns after them),
// the results.
std::string result_header(Table& t, bool reasons) {
    t.outputs.clear();
    for (std::size_t k = 0; k < t.columns.size(); ++k)
        if (t.columns[k].role != columns::Role::Dropped) t.outputs.push_back({t.columns[k].info, k});
    t.kept = t.outputs.size();
    for (const ValueInfo& v : value_registry())
        if (v.kind == ValueKind::Derived || v.kind == ValueKind::Flag || v.kind == ValueKind::Result)
            t.outputs.push_back({&v, SIZE_MAX});
    if (reasons) {
        for (std::size_t k = 0; k < t.outputs.size(); ++k)
            if (t.outputs[k].value != nullptr && t.outputs[k].value->kind == ValueKind::Flag) t.reasons_after = k;
    }
    std::string head;
    for (std::size_t k = 0; k < t.outputs.size(); ++k) {
        if (k > 0) head += t.sep;
        const batch::OutColumn& o = t.outputs[k];
        head += o.source != SIZE_MAX ? std::string_view(t.headings[o.source]) : o.value->name;
        for (int i = 1; k == t.reasons_after && i <= kSystemCount; ++i) {
            head += t.sep;
            head += std::string(columns::kReasonsPrefix) + std::to_string(i);
        }
    }
    return head + std::string(t.eol);
}

// Why the result table could not be opened or written.
std::string output_failure(const files::AtomicFile& file, const std::string& out_path) {
    using Step = files::AtomicFile::Step;
    const files::WriteFailure& f = file.failure();
    const std::string shown = "\"" + printable(out_path, 240) + "\"";
    switch (file.failed_step()) {
    case Step::Target: return "Ausgabedatei " + shown + " kann nicht geschrieben werden: " + files::describe(f);
    case Step::Open: return "Ausgabe " + shown + " kann nicht geöffnet werden: " + f.reason + ".";
    case Step::Create:
        if (file.replaces_file()) return "Ausgabedatei " + shown + " kann nicht angelegt werden: " + files::describe(f);
        return "Zwischendatei für die Ausgabe kann nicht angelegt werden: " + f.reason + ".";
    case Step::None:
    case Step::Write: break;
    }
    // A full disk, a vanished folder: the cause, and the file concerned.
    return std::string(file.replaces_file() ? "Ausgabedatei" : "Ausgabe") +
           " kann nicht geschrieben werden: " + files::describe(f) + (f.path.empty() ? "." : "");
}

}  // namespace

std::string display_text(std::string_view bytes) {
    // A message joins our own UTF-8 text with the user's cells, which may be
    // Windows-1252: valid UTF-8 passes, any other byte is read as 1252.
    std::string out;
    out.reserve(bytes.size() + 8);
    while (!bytes.empty()) {
        const std::size_t len = utf8_length(bytes);
        if (len != 0)
            out.append(bytes.substr(0, len));
        else
            out += files::cp1252_to_utf8(bytes.substr(0, 1));
        bytes.remove_prefix(len != 0 ? len : 1);
    }
    return out;
}

std::string template_header(char separator) {
    std::string line;
    for (const ValueInfo& v : value_registry()) {
        // The skidding distance of system II always follows that of system I.
        if (!v.settable() || v.d == &State::gf_ii_rd) continue;
        if (!line.empty()) line += separator;
        line += v.name;
    }
    return line;
}

int run_batch(const BatchOptions& opt, const State& base, std::span<const Given> given,
              std::FILE* out, std::FILE* err) {
    // "-" is standard input; a pipe or FIFO is read once, from the start.
    const bool from_stdin = opt.in_path == "-";
    const std::string table = from_stdin ? std::string("Standardeingabe")
                                         : "Tabelle \"" + printable(opt.in_path, 240) + "\"";
    files::ReadStream in;
    if (from_stdin) {
        in.open_standard_input();
    } else if (const int error_number = in.open(files::path_from_utf8(opt.in_path))) {
        // Reading, a missing entry is the table itself, not its folder (which
        // is what the writer's wording of the same error number says).
        const std::string reason =
            error_number == ENOENT ? std::string("Die Datei existiert nicht") : files::reason_of(error_number);
        print_error(err, table + " kann nicht geöffnet werden: " + reason + ".");
        return kExitFailed;
    }
    if (in.is_folder()) {
        print_error(err, table + " ist ein Ordner, keine Tabelle; keine Ausgabe geschrieben.");
        return kExitFailed;
    }
    // The mapping outlives the table, whose columns point to its codes.
    columns::Mapping mapping;
    if (!opt.map_path.empty()) {
        if (const files::Outcome r = files::read_mapping(files::path_from_utf8(opt.map_path), mapping); !r.ok()) {
            print_error(err, r);
            return exit_status(r);
        }
    }
    LineReader reader(in);
    Table t;
    if (const int status = read_header(reader, t, table, opt.map_path.empty() ? nullptr : &mapping, err);
        status != kExitDone)
        return status;

    // The machine-hour costs of the basics, computed once for every row that
    // changes no basic.
    State prepared = base;
    calc_all_machines(prepared);
    t.skip_invalid = opt.skip_invalid;
    t.base = &prepared;
    t.given = given;

    // No fsync: the table can always be computed again. The rename alone
    // guarantees that a reader sees the old file or the complete new one.
    files::AtomicFile target(files::system_io(), files::AtomicFile::Durability::Unsynced);
    if (!(opt.out_path.empty() ? target.open(out) : target.open(files::path_from_utf8(opt.out_path)))) {
        print_error(err, output_failure(target, opt.out_path));
        return kExitFailed;
    }
    bool write_ok = target.write(result_header(t, opt.reasons));

    // ---- rows, computed on every core
    const unsigned threads =
        opt.threads != 0 ? opt.threads : std::min(std::max(1u, std::thread::hardware_concurrency()), 8u);
    unsigned long line_no = 1;
    unsigned long bad = 0, good = 0;
    {
        batch::Pipeline pipeline(t, threads > 1 ? threads : 0u, target, err);
        std::string_view line;
        bool more = true;
        while (more) {
            batch::Chunk& c = pipeline.next_free();
            while (!c.full() && (more = reader.next(line))) c.add(line, ++line_no);
            pipeline.submit();
        }
        write_ok = pipeline.drain() && write_ok;
        bad = pipeline.bad();
        good = pipeline.good();
    }

    if (reader.line_too_long()) {
        print_error(err, "Zeile " + std::to_string(line_no + 1) +
                             " der Tabelle ist länger als 64 MiB; keine Ausgabe geschrieben.");
        return kExitRefused;
    }
    if (reader.failed()) {
        print_error(err, table + " kann nicht gelesen werden; keine Ausgabe geschrieben.");
        return kExitFailed;
    }
    if (bad > 0 && !opt.skip_invalid) {
        print_error(err, std::to_string(bad) + " fehlerhafte Zeile" + (bad == 1 ? "" : "n") +
                             "; keine Ausgabe geschrieben.");
        return kExitRefused;
    }
    if (!write_ok || !target.commit()) {
        print_error(err, output_failure(target, opt.out_path));
        return kExitFailed;
    }
    if (bad > 0)
        std::fprintf(err, "%lu fehlerhafte Zeile%s übersprungen, %lu Zeile%s berechnet.\n", bad,
                     bad == 1 ? "" : "n", good, good == 1 ? "" : "n");
    return kExitDone;
}

}  // namespace forstrix::cli
