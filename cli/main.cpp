// forstrix-cli: the calculation without the desktop program.
//   calc     one scenario as a JSON object of every named value, and why
//            the unsuitable work systems do not suit ("reasons")
//   report   the result report "erg.txt" of one scenario (--pdf: the result sheet)
//   basics   the calculation basics "daten.klg" of one scenario
//   batch    one scenario per row of a CSV table
//   scenario a stand file (.forstrix) of one scenario, for the desktop program
//   sweep    the six systems' costs over a range of one or two inputs
// Exit status: 0 done, 1 a file could not be read or written, 2 refused input.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/batch.h"
#include "cli/german_cli.h"
#include "cli/inputs.h"
#include "cli/pdf.h"
#include "cli/reasons.h"
#include "cli/stand_command.h"
#include "cli/sweep.h"
#include "cli/text_encoding.h"
#include "core/message_text.h"
#include "core/scenario.h"
#include "core/registry.h"
#include "files/atomic_write.h"
#include "files/basics_file.h"
#include "files/report.h"
#include "files/stand_file.h"
#include "files/std_streams.h"

namespace fc = forstrix::cli;
namespace ff = forstrix::files;
using forstrix::State;

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitRefused = 2;

class StderrTrace : public forstrix::TraceSink {
public:
    void write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stderr); }
};

// One line per message: the files library's messages are laid out for a
// message box, in several lines.
void print_error(const std::string& message) {
    // Values from the user in it are escaped already; an argument that the
    // option parser quotes is not, so the whole line is made printable.
    std::string line = message;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "Fehler: %s\n", forstrix::printable(line, 2000).c_str());
}

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

// Reads the inputs and computes the scenario; false after printing why not.
// `label`: the name and note of a stand file given with --input.
bool compute(const fc::CommonOptions& opt, State& s, int& status, ff::StandLabel* label = nullptr) {
    std::vector<forstrix::Given> given;
    std::vector<std::string> errors;
    if (!fc::collect_inputs(opt, s, given, errors, label)) {
        for (const std::string& e : errors) print_error(e);
        status = kExitRefused;
        return false;
    }
    StderrTrace trace;
    forstrix::ScenarioOutcome outcome;
    forstrix::compute_scenario(s, given, opt.trace ? &trace : nullptr, outcome);
    for (const forstrix::Problem& p : outcome.problems) print_error(p.message);
    if (!outcome.ok()) {
        status = kExitRefused;
        return false;
    }
    for (const std::string& w : outcome.warnings) std::fprintf(stderr, "Warnung: %s\n", w.c_str());
    if (std::optional<forstrix::Problem> p = forstrix::check_results_finite(s)) {
        print_error(p->message);
        status = kExitRefused;
        return false;
    }
    return true;
}

bool write_stdout(const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
}

int run_calc(const fc::CommonOptions& opt) {
    State s;
    int status = 0;
    if (!compute(opt, s, status)) return status;
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
        print_error("Ausgabe kann nicht geschrieben werden.");
        return kExitFailed;
    }
    return 0;
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
        print_error("--encoding erwartet utf-8 oder cp1252.");
        return kExitRefused;
    }
    State s;
    int status = 0;
    ff::StandLabel label;
    if (!compute(opt, s, status, &label)) return status;
    if (pdf_path != nullptr) {
        forstrix::draw::SheetExtras sheet;  // the stand file's name, if any
        sheet.stand_name = label.name;
        std::string error;
        if (!fc::write_pdf(*pdf_path, s, sheet, error)) {
            print_error(error);
            return kExitFailed;
        }
        if (out_path.empty()) return 0;
    }
    if (cmd.for_reading && !encoding)
        encoding = fc::default_encoding(out_path.empty() && fc::stdout_is_terminal());
    if (out_path.empty()) {
        const std::string bytes = cmd.text(s);
        if (write_stdout(encoding ? fc::in_encoding(bytes, *encoding) : bytes)) return 0;
        print_error(cmd.stdout_failure);
        return kExitFailed;
    }
    if (encoding == fc::TextEncoding::Utf8) {
        ff::WriteFailure failure;
        if (ff::atomic_write(out_path, fc::in_encoding(cmd.text(s), *encoding), &failure)) return 0;
        print_error(std::string(cmd.file_failure) + " " + ff::describe(failure));
        return kExitFailed;
    }
    const ff::Outcome r = cmd.write(out_path, s);
    if (r.ok()) return 0;
    print_error(r.message.empty() ? std::string(cmd.file_failure) : r.message);
    return kExitFailed;
}

constexpr FileCommand kReport{&ff::report_text, &ff::write_report,
                              "Ergebnis konnte nicht geschrieben werden!",
                              "Ergebnis konnte nicht gespeichert werden!", true};
constexpr FileCommand kBasics{&ff::basics_text, &ff::write_basics,
                              "Kalkulationsgrundlagen können nicht geschrieben werden.",
                              "Kalkulationsgrundlagen können nicht gespeichert werden!", false};

int run_batch(const fc::CommonOptions& opt, const fc::BatchOptions& bopt, bool show_template,
              const std::string& template_sep) {
    if (show_template) {
        if (template_sep != "," && template_sep != ";") {
            print_error("--sep erwartet ',' oder ';'.");
            return kExitRefused;
        }
        if (!write_stdout(fc::template_header(template_sep[0]) + "\n")) return kExitFailed;
        return 0;
    }
    if (bopt.in_path.empty()) {
        print_error("batch erwartet eine Tabelle: forstrix-cli batch TABELLE.csv [-o ERGEBNIS.csv]");
        return kExitRefused;
    }
    State base;
    std::vector<forstrix::Given> given;
    std::vector<std::string> errors;
    if (!fc::collect_inputs(opt, base, given, errors)) {
        for (const std::string& e : errors) print_error(e);
        return kExitRefused;
    }
    return fc::run_batch(bopt, base, given, stdout, stderr);
}

}  // namespace

int main(int argc, char** argv) {
    // Before any file is opened: a closed standard stream would hand its
    // descriptor to the result file, and the messages would land in it.
    ff::ensure_standard_streams();
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
    batch->add_flag("--reasons", bopt.reasons,
                    "Nach den Eignungen je System die Namen der Werte, an denen es scheitert "
                    "(Spalten reasons_sys1 ... reasons_sys6)");
    CLI::Option* tmpl = batch->add_flag("--template", show_template, "Kopfzeile mit allen erlaubten Namen ausgeben");
    batch->add_option("--sep", template_sep, "Trennzeichen der Vorlage: ',' oder ';'")
        ->type_name("ZEICHEN")
        ->needs(tmpl);

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
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        print_error("Aufruf fehlerhaft: " + fc::german_error(app, e) + " (Hilfe: " + fc::help_call(app) + ")");
        return kExitRefused;
    }

    if (calc->parsed()) return run_calc(calc_opt);
    if (report->parsed())
        return run_file_command(report_opt, report_out, kReport, report_encoding,
                                pdf->count() > 0 ? &report_pdf : nullptr);
    if (basics->parsed()) return run_file_command(basics_opt, basics_out, kBasics);
    if (scenario->parsed()) return fc::run_scenario(scenario_opt, sopt, stdout, stderr);
    if (sweep->parsed()) return fc::run_sweep(sweep_opt, wopt, stdout, stderr);
    return run_batch(batch_opt, bopt, show_template, template_sep);
}
