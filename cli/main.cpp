// forstrix-cli: the calculation without the desktop program.
//   calc     one scenario as a JSON object of every named value, and why
//            the unsuitable work systems do not suit ("reasons")
//   report   the result report "erg.txt" of one scenario (--pdf: the result sheet)
//   basics   the calculation basics "daten.klg" of one scenario
//   batch    one scenario per row of a CSV table
//   plan     a harvest plan from a table, spreadsheet or GIS layer of stands
//   scenario a stand file (.forstrix) of one scenario, for the desktop program
//   sweep    the six systems' costs over a range of one or two inputs
// Exit status (cli/errors.h): 0 done, 1 a file could not be read or
// written, 2 a refused call or input.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/batch.h"
#include "cli/capacity.h"
#include "cli/console.h"
#include "cli/errors.h"
#include "cli/german_cli.h"
#include "cli/inputs.h"
#if FORSTRIX_WITH_PDF
#include "cli/pdf.h"
#endif
#include "cli/plan.h"
#include "cli/reasons.h"
#include "cli/stand_command.h"
#include "cli/sweep.h"
#include "cli/text_encoding.h"
#include "core/scenario.h"
#include "core/registry.h"
#include "files/atomic_write.h"
#include "files/basics_file.h"
#include "files/path_text.h"
#include "files/report.h"
#include "files/stand_file.h"
#include "files/std_streams.h"

namespace fc = forstrix::cli;
namespace ff = forstrix::files;
using forstrix::State;

namespace {

void add_common(CLI::App* cmd, fc::CommonOptions& opt, bool with_trace) {
    cmd->add_option("--basics", opt.basics_file,
                    "Kalkulationsgrundlagen aus dieser Datei (Format von daten.klg)")
        ->type_name("DATEI");
    cmd->add_option("--input", opt.input_file,
                    "Werte aus einem JSON-Objekt {\"Name\": Wert, ...} oder einer Bestandsdatei (.forstrix)")
        ->type_name("DATEI");
    cmd->add_option("--set", opt.sets, "Einen Wert setzen, NAME=WERT (mehrfach; gewinnt über --input)")
        ->type_name("NAME=WERT")
        ->take_all()
        ->allow_extra_args(false);
    if (with_trace)
        cmd->add_flag("--trace", opt.trace, "Ablauf der Maschinenkostenrechnung auf die Fehlerausgabe");
}

bool write_stdout(const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
}

int run_calc(const fc::CommonOptions& opt) {
    State s;
    if (const int status = fc::compute_inputs(opt, s, stderr); status != fc::kExitDone) return status;
    nlohmann::ordered_json doc = nlohmann::ordered_json::object();
    for (const forstrix::ValueInfo& v : forstrix::value_registry()) {
        const std::string name(v.name);
        switch (v.type) {
        case forstrix::ValueType::Double: doc[name] = s.*(v.d); break;
        case forstrix::ValueType::UInt: doc[name] = s.*(v.u); break;
        case forstrix::ValueType::Int: doc[name] = s.*(v.i); break;
        }
    }
    doc["reasons"] = fc::reasons_json(s);
    if (!write_stdout(doc.dump(2) + "\n")) {
        fc::print_error(stderr, "Ausgabe kann nicht geschrieben werden.");
        return fc::kExitFailed;
    }
    return fc::kExitDone;
}

// One of the two files of the computed scenario: to standard output, or
// written safely to `out_path` with the files library's failure message.
struct FileCommand {
    std::string (*text)(const State&);
    ff::Outcome (*write)(const std::filesystem::path&, const State&);
    const char* stdout_failure;
    const char* file_failure;
    bool for_reading;  // a text for people: UTF-8 on a terminal, --encoding
};

// `pdf_path`: report --pdf, the result sheet of the scenario into that file
// first; then the report only where -o names a file, nothing on standard output.
int run_file_command(const fc::CommonOptions& opt, const std::string& out_path,
                     const FileCommand& cmd, const std::string& encoding_name = {},
                     const std::string* pdf_path = nullptr) {
    std::optional<fc::TextEncoding> encoding;
    if (!encoding_name.empty() && !(encoding = fc::encoding_named(encoding_name))) {
        fc::print_error(stderr, "--encoding erwartet utf-8 oder cp1252.");
        return fc::kExitRefused;
    }
    // The report would replace the sheet just written (or the other way round).
    if (pdf_path != nullptr && !out_path.empty() && fc::same_file(*pdf_path, out_path)) {
        fc::print_error(stderr, "--pdf und -o nennen dieselbe Datei; der Bericht und das Ergebnisblatt "
                                "brauchen je eine eigene Datei.");
        return fc::kExitRefused;
    }
#if !FORSTRIX_WITH_PDF
    // The Windows build has no drawing library.
    if (pdf_path != nullptr) {
        fc::print_error(stderr, "Dieses forstrix-cli ist ohne das Ergebnisblatt (PDF) gebaut; --pdf geht hier nicht.");
        return fc::kExitRefused;
    }
#endif
    State s;
    ff::StandLabel label;
    if (const int status = fc::compute_inputs(opt, s, stderr, &label); status != fc::kExitDone) return status;
#if FORSTRIX_WITH_PDF
    if (pdf_path != nullptr) {
        forstrix::draw::SheetExtras sheet;  // the stand file's name, if any
        sheet.stand_name = label.name;
        if (const ff::Outcome written = fc::write_pdf(*pdf_path, s, sheet); !written.ok()) {
            fc::print_error(stderr, written);
            return fc::kExitFailed;
        }
        if (out_path.empty()) return fc::kExitDone;
    }
#endif
    if (cmd.for_reading && !encoding)
        encoding = fc::default_encoding(out_path.empty() && fc::stdout_is_terminal());
    if (out_path.empty()) {
        const std::string bytes = cmd.text(s);
        if (write_stdout(encoding ? fc::in_encoding(bytes, *encoding) : bytes)) return fc::kExitDone;
        fc::print_error(stderr, cmd.stdout_failure);
        return fc::kExitFailed;
    }
    if (encoding == fc::TextEncoding::Utf8) {
        ff::WriteFailure failure;
        if (ff::atomic_write(ff::path_from_utf8(out_path), fc::in_encoding(cmd.text(s), *encoding), &failure)) return fc::kExitDone;
        fc::print_error(stderr, std::string(cmd.file_failure) + " " + ff::describe(failure));
        return fc::kExitFailed;
    }
    const ff::Outcome r = cmd.write(ff::path_from_utf8(out_path), s);
    if (r.ok()) return fc::kExitDone;
    fc::print_error(stderr, r);
    return fc::kExitFailed;
}

constexpr FileCommand kReport{&ff::report_text, &ff::write_report,
                              "Ergebnis konnte nicht geschrieben werden!",
                              ff::kReportNotSaved, true};
constexpr FileCommand kBasics{&ff::basics_text, &ff::write_basics,
                              "Kalkulationsgrundlagen können nicht geschrieben werden.",
                              "Kalkulationsgrundlagen können nicht gespeichert werden!", false};

// More threads than this compute no faster on any machine the program runs on.
constexpr unsigned kMaxThreads = 64;
bool threads_refused(unsigned threads) {
    if (threads <= kMaxThreads) return false;
    fc::print_error(stderr, "--threads erwartet eine Anzahl von 0 bis " + std::to_string(kMaxThreads) + ".");
    return true;
}

int run_batch(const fc::CommonOptions& opt, const fc::BatchOptions& bopt, bool show_template,
              const std::string& template_sep) {
    if (threads_refused(bopt.threads)) return fc::kExitRefused;
    if (show_template) {
        if (template_sep != "," && template_sep != ";") {
            fc::print_error(stderr, "--sep erwartet ',' oder ';'.");
            return fc::kExitRefused;
        }
        if (!write_stdout(fc::template_header(template_sep[0]) + "\n")) return fc::kExitFailed;
        return fc::kExitDone;
    }
    if (bopt.in_path.empty()) {
        fc::print_error(stderr, "batch erwartet eine Tabelle: forstrix-cli batch TABELLE.csv [-o ERGEBNIS.csv]");
        return fc::kExitRefused;
    }
    State base;
    std::vector<forstrix::Given> given;
    if (const int status = fc::collect_inputs(opt, base, given, stderr); status != fc::kExitDone) return status;
    // A spreadsheet or a GIS layer on either side: the plan document,
    // without the plan's columns.
    if (fc::needs_plan_table(bopt.in_path, bopt.out_path)) {
        fc::PlanOptions popt;
        popt.in_path = bopt.in_path;
        popt.out_path = bopt.out_path;
        popt.map_path = bopt.map_path;
        popt.reasons = bopt.reasons;
        popt.skip_invalid = bopt.skip_invalid;
        popt.threads = bopt.threads;
        popt.plan_columns = false;
        return fc::run_plan(popt, base, given, stderr);
    }
    return fc::run_batch(bopt, base, given, stdout, stderr);
}

int run_plan(const fc::CommonOptions& opt, fc::PlanOptions popt, const fc::CapacityArgs& cap) {
    if (threads_refused(popt.threads)) return fc::kExitRefused;
    const std::optional<forstrix::plan::CapacityOptions> capacity = fc::read_capacity_options(cap, stderr);
    if (!capacity) return fc::kExitRefused;
    popt.capacity = *capacity;
    State base;
    std::vector<forstrix::Given> given;
    if (const int status = fc::collect_inputs(opt, base, given, stderr); status != fc::kExitDone) return status;
    return fc::run_plan(popt, base, given, stderr);
}

}  // namespace

int main(int argc, char** argv) {
    // Before any file is opened: a closed standard stream would hand its
    // descriptor to the result file, and the messages would land in it.
    ff::ensure_standard_streams();
    fc::use_utf8_console();
    const std::vector<std::string> args = fc::utf8_arguments(argc, argv);
    std::vector<const char*> arg_texts;
    for (const std::string& a : args) arg_texts.push_back(a.c_str());
    CLI::App app{"Forstrix: Zeitbedarf und Kosten der Holzernte im Laubholz", "forstrix-cli"};
    fc::use_german(app);
    app.require_subcommand(1);
    app.set_help_flag("-h,--help", "Hilfe anzeigen");
    app.set_version_flag("-V,--version", "forstrix-cli " FORSTRIX_VERSION, "Version anzeigen");

    fc::CommonOptions calc_opt, report_opt, basics_opt, batch_opt, scenario_opt;
    fc::ScenarioOptions sopt;
    std::string report_out, report_encoding, report_pdf, basics_out, template_sep = ",";
    fc::BatchOptions bopt;
    bool show_template = false;

    CLI::App* calc = app.add_subcommand("calc", "Ein Szenario berechnen und alle Werte als JSON ausgeben");
    add_common(calc, calc_opt, true);

    CLI::App* report = app.add_subcommand("report", "Ergebnisbericht (erg.txt) eines Szenarios schreiben");
    add_common(report, report_opt, true);
    report->add_option("-o,--output", report_out, "Zieldatei (sonst Standardausgabe)")->type_name("DATEI");
    report->add_option("--encoding", report_encoding,
                       "utf-8 (Zeilenende LF) oder cp1252 (Bytes von erg.txt, CR LF); ohne die "
                       "Option utf-8 am Terminal, sonst cp1252")
        ->type_name("utf-8|cp1252");
    CLI::Option* pdf = report->add_option("--pdf", report_pdf, "Ergebnisblatt (A4) als PDF in diese Datei schreiben")
                           ->type_name("DATEI");

    CLI::App* basics = app.add_subcommand("basics", "Kalkulationsgrundlagen (daten.klg) eines Szenarios schreiben");
    add_common(basics, basics_opt, true);
    basics->add_option("-o,--output", basics_out, "Zieldatei (sonst Standardausgabe)")->type_name("DATEI");

    CLI::App* batch = app.add_subcommand("batch", "Ein Szenario je Zeile einer CSV-Tabelle berechnen");
    add_common(batch, batch_opt, false);
    batch->add_option("TABELLE", bopt.in_path, "Eingabetabelle (CSV, Kopfzeile mit den Namen der Werte)")
        ->type_name("CSV");
    batch->add_option("-o,--output", bopt.out_path, "Ergebnistabelle (sonst Standardausgabe)")->type_name("DATEI");
    batch->add_flag("--skip-invalid", bopt.skip_invalid,
                    "Fehlerhafte Zeilen auflisten und auslassen, statt abzubrechen");
    batch->add_option("--threads", bopt.threads, "Rechnende Threads (0: einer je Prozessorkern)")
        ->type_name("ANZAHL");
    batch->add_flag("--reasons", bopt.reasons,
                    "Nach den Eignungen je System die Namen der Werte, an denen es scheitert "
                    "(Spalten reasons_sys1 ... reasons_sys6)");
    batch->add_option("--map", bopt.map_path,
                      "Zuordnung der Spalten und Schlüssel der Tabelle (JSON, Format forstrix-zuordnung)")
        ->type_name("DATEI");
    CLI::Option* tmpl = batch->add_flag("--template", show_template, "Kopfzeile mit allen erlaubten Namen ausgeben");
    batch->add_option("--sep", template_sep, "Trennzeichen der Vorlage: ',' oder ';'")
        ->type_name("ZEICHEN")
        ->needs(tmpl);

    fc::CommonOptions plan_opt;
    fc::PlanOptions popt;
    CLI::App* plan = app.add_subcommand("plan", "Hiebsplan: jeden Bestand einer Tabelle oder GIS-Ebene berechnen, "
                                                "das günstigste und das gewählte System mit Kosten und Verbrauch");
    add_common(plan, plan_opt, false);
    plan->add_option("TABELLE", popt.in_path, "Bestände: .csv, .ods, .xlsx, .gpkg, .shp, .geojson oder .fgb")
        ->type_name("DATEI")
        ->required();
    plan->add_option("-o,--output", popt.out_path,
                     "Ergebnis im Format der Endung (sonst CSV auf die Standardausgabe)")
        ->type_name("DATEI");
    plan->add_option("--map", popt.map_path, "Zuordnung der Spalten und Schlüssel der Inventur")->type_name("DATEI");
    plan->add_option("--layer", popt.layer, "Ebene oder Tabellenblatt (sonst das erste)")->type_name("NAME");
    plan->add_option("--summary", popt.summary_path, "Summen des Hiebsplans als JSON in diese Datei")
        ->type_name("DATEI");
    plan->add_flag("--reasons", popt.reasons,
                   "Nach den Eignungen je System die Namen der Werte, an denen es scheitert");
    plan->add_flag("--skip-invalid", popt.skip_invalid,
                   "Fehlerhafte Bestände auflisten und ohne Ergebnisse behalten, statt abzubrechen");
    plan->add_option("--threads", popt.threads, "Rechnende Threads (0: einer je Prozessorkern)")
        ->type_name("ANZAHL");
    fc::CapacityArgs capacity_args;
    fc::add_capacity_options(*plan, capacity_args);

    CLI::App* scenario = app.add_subcommand("scenario", "Bestandsdatei (.forstrix) eines Szenarios schreiben");
    add_common(scenario, scenario_opt, false);
    scenario->add_option("-o,--output", sopt.out_path, "Zieldatei (sonst Standardausgabe)")->type_name("DATEI");
    scenario->add_option("--name", sopt.name, "Bezeichnung des Bestands")->type_name("BEZEICHNUNG");
    scenario->add_option("--note", sopt.note, "Notiz zum Bestand")->type_name("NOTIZ");

    fc::CommonOptions sweep_opt;
    fc::SweepOptions wopt;
    CLI::App* sweep = app.add_subcommand("sweep", "Kosten der sechs Systeme über einen Bereich einer oder zweier Eingaben");
    add_common(sweep, sweep_opt, false);
    // One value per --set, so that a range after a --set is not taken for
    // a second value of it.
    sweep->get_option("--set")->expected(1);
    sweep->add_option("BEREICH", wopt.ranges, "Ein oder zwei Bereiche NAME=ANFANG:ENDE:SCHRITT")
        ->type_name("NAME=ANFANG:ENDE:SCHRITT")
        ->required();
    sweep->add_option("-o,--output", wopt.out_path, "Ergebnistabelle (sonst Standardausgabe)")->type_name("DATEI");
    sweep->add_option("--sep", wopt.sep, "Trennzeichen: ',' (Dezimalpunkt) oder ';' (Dezimalkomma)")
        ->type_name("ZEICHEN");
    sweep->add_flag("--unmeasured", wopt.unmeasured,
                    "I und II mit ihren Summen ohne Vermessung vergleichen (gff_g7, gff_g15)");

    try {
        app.parse(static_cast<int>(arg_texts.size()), arg_texts.data());
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        fc::print_error(stderr, fc::call_error(app, e));
        return fc::kExitRefused;
    }

    if (calc->parsed()) return run_calc(calc_opt);
    if (report->parsed())
        return run_file_command(report_opt, report_out, kReport, report_encoding,
                                pdf->count() > 0 ? &report_pdf : nullptr);
    if (basics->parsed()) return run_file_command(basics_opt, basics_out, kBasics);
    if (scenario->parsed()) return fc::run_scenario(scenario_opt, sopt, stdout, stderr);
    if (sweep->parsed()) return fc::run_sweep(sweep_opt, wopt, stdout, stderr);
    if (plan->parsed()) return run_plan(plan_opt, popt, capacity_args);
    return run_batch(batch_opt, bopt, show_template, template_sep);
}
