#include "cli/plan.h"

#include <string>

#include "cli/capacity.h"
#include "cli/errors.h"
#include "cli/inputs.h"
#include "core/message_text.h"
#include "files/atomic_write.h"
#include "files/mapping_file.h"
#include "files/path_text.h"
#include "files/plan_summary.h"
#include "files/plan_table.h"

namespace forstrix::cli {

namespace {

// "<Bestand 3 (FID 17)>: gi_bhd: 95 liegt nicht im Bereich 6 bis 90." and
// a line end; the value's name is added where the message lacks it.
void append_row_message(std::string& out, const std::string& row, const Problem& p) {
    std::string msg = printable(p.message, 400);
    if (!p.name.empty() && !(msg.starts_with(p.name) && msg.size() > p.name.size() && msg[p.name.size()] == ':'))
        msg = printable(p.name, 60) + ": " + msg;
    out += row + ", " + msg + "\n";
}

std::string plural(long n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

}  // namespace

bool needs_plan_table(const std::string& in_path, const std::string& out_path) {
    auto other = [](const std::string& p) {
        const std::optional<files::TableFormat> f = files::table_format(files::path_from_utf8(p));
        return f && *f != files::TableFormat::Csv;
    };
    return (in_path != "-" && other(in_path)) || (!out_path.empty() && other(out_path));
}

int run_plan(const PlanOptions& opt, const State& base, std::span<const Given> given, std::FILE* err) {
    if (!opt.out_path.empty() && same_file(opt.in_path, opt.out_path)) {
        print_error(err, "TABELLE und -o nennen dieselbe Datei; die Tabelle bleibt, wie sie ist: bitte eine "
                         "eigene Ausgabedatei angeben.");
        return kExitRefused;
    }
    if (!opt.summary_path.empty() &&
        (same_file(opt.summary_path, opt.in_path) || (!opt.out_path.empty() && same_file(opt.summary_path, opt.out_path)))) {
        print_error(err, "--summary braucht eine eigene Datei.");
        return kExitRefused;
    }
    for (const std::string* p : {&opt.in_path, &opt.out_path}) {
        if (p->empty()) continue;
        const std::optional<files::TableFormat> f = files::table_format(files::path_from_utf8(*p));
        if (f && !files::format_available(*f)) {
            print_error(err, "Das Format " + std::string(files::format_name(*f)) +
                                 " wird in dieser Ausgabe von Forstrix nicht unterstützt; bitte CSV verwenden.");
            return kExitRefused;
        }
    }
    columns::Mapping mapping;
    if (!opt.map_path.empty()) {
        if (const files::Outcome read = files::read_mapping(files::path_from_utf8(opt.map_path), mapping); !read.ok()) {
            print_error(err, read);
            return exit_status(read);
        }
    }

    files::PlanTable table;
    const files::Outcome loaded =
        table.load(files::path_from_utf8(opt.in_path), opt.layer, opt.map_path.empty() ? nullptr : &mapping,
                   opt.skip_invalid);
    if (!loaded.ok()) {
        print_error(err, loaded);
        return exit_status(loaded);
    }
    table.compute(base, given, opt.threads);

    // Within capacities: the systems chosen afresh for every stand that is
    // not fixed; a fixed system that does not suit its stand refuses it.
    std::optional<plan::CapacityResult> capacity;
    if (opt.capacity.any_capacity()) {
        std::vector<plan::StandFigures> figures;
        std::vector<int> fixed;
        for (std::size_t r = 0; r < table.size(); ++r) {
            figures.push_back(table.row(r).figures);
            fixed.push_back(table.row(r).fixed ? table.row(r).wanted : plan::kNone);
        }
        capacity = plan::optimise(figures, fixed, opt.capacity);
        if (!capacity->solver) return report_capacity(*capacity, err);
        for (std::size_t r : capacity->unsuitable_fixed)
            table.refuse(r, {std::string(columns::kChosenColumn), plan::unsuitable_fixed_text(table.row(r).wanted)});
        for (std::size_t r = 0; r < table.size(); ++r)
            if (capacity->chosen[r] != plan::kNone) table.choose(r, capacity->chosen[r]);
    }

    long bad = 0;
    std::string messages;
    for (std::size_t r = 0; r < table.size(); ++r) {
        const files::PlanRow& row = table.row(r);
        for (const std::string& w : row.warnings) messages += table.row_name(r) + ", Warnung: " + printable(w, 400) + "\n";
        if (!row.problem) continue;
        ++bad;
        append_row_message(messages, table.row_name(r), *row.problem);
    }
    std::fputs(messages.c_str(), err);
    if (bad > 0 && !opt.skip_invalid) {
        print_error(err, plural(bad, "fehlerhafter Bestand", "fehlerhafte Bestände") + "; keine Ausgabe geschrieben.");
        return kExitRefused;
    }
    const files::Outcome saved = table.save(files::path_from_utf8(opt.out_path), opt.plan_columns, opt.reasons);
    if (!saved.ok()) {
        print_error(err, saved);
        return exit_status(saved);
    }
    if (!opt.summary_path.empty()) {
        files::WriteFailure failure;
        const std::string json = files::plan_summary_json(table.totals(), capacity ? &*capacity : nullptr);
        if (!files::atomic_write(files::path_from_utf8(opt.summary_path), json, &failure)) {
            print_error(err, "Zusammenfassung kann nicht geschrieben werden: " + files::describe(failure));
            return kExitFailed;
        }
    }
    if (bad > 0)
        std::fprintf(err, "%s übersprungen, %s berechnet.\n",
                     plural(bad, "fehlerhafter Bestand", "fehlerhafte Bestände").c_str(),
                     plural(static_cast<long>(table.size()) - bad, "Bestand", "Bestände").c_str());
    return capacity ? report_capacity(*capacity, err) : kExitDone;
}

}  // namespace forstrix::cli
