// forstrix-cli against what a user or a broken file hands it: every refusal as one bounded
// line with its exit status, tables through pipes, closed standard streams, endless names.
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32  // the shell's pipes, FIFOs and closed descriptors are POSIX
// A shell command line, timed out so that a program that blocks fails the test instead of hanging it.
CliRun run_shell(const std::string& line, const TempDir& capture) {
    const std::string command = "timeout 60 sh -c '" + line + "' >" + (capture / "out") + " 2>" + (capture / "err");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(capture / "out"), slurp(capture / "err")};
}

std::string table(std::size_t rows, char sep = ',', char decimal = '.') {
    std::string t = std::string("gi_bhd") + sep + "gf_vab" + sep + "gf_gf\n";
    for (std::size_t i = 0; i < rows; ++i)
        t += std::to_string(6 + i % 85) + sep + std::to_string(20 + i % 50) + decimal + "5" + sep + "40\n";
    return t;
}
#endif

std::size_t lines_of(const std::string& text) { return std::size_t(std::count(text.begin(), text.end(), '\n')); }

bool has_raw_control(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\n') || u == 0x7F;
    });
}

#ifndef _WIN32  // the shell's pipes, FIFOs and closed descriptors are POSIX
// Every way of handing over a table gives every row, and the same bytes as
// reading it from a file: the decimal mark is decided from data read once.
TEST(CliBatchInput, PipesAndFifosGiveEveryRow) {
    const char* const ways[] = {"$cli batch $in", "cat $in | $cli batch -", "cat $in > $fifo & $cli batch $fifo",
                                "cat $in | $cli batch /dev/stdin", "$cli batch - < $in"};
    // Small tables in both forms; one beyond the MiB that decides the decimal mark, three ways only.
    const struct {
        std::size_t rows;
        char sep;
        int ways;
    } tables[] = {{10, ',', 5}, {10, ';', 5}, {120000, ',', 3}};
    for (const auto& t : tables) {
        TempDir dir;
        spit(dir / "in.csv", table(t.rows, t.sep, t.sep == ';' ? ',' : '.'));
        ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
        const std::string vars =
            std::string("cli=") + FORSTRIX_CLI + " in=" + (dir / "in.csv") + " fifo=" + (dir / "fifo") + "; ";
        std::string expected;
        for (int w = 0; w < t.ways; ++w) {
            SCOPED_TRACE(std::string(ways[w]) + ", " + std::to_string(t.rows) + " rows, " + t.sep);
            TempDir capture;
            const CliRun r = run_shell(vars + ways[w], capture);
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.err, "");
            EXPECT_EQ(lines_of(r.out), t.rows + 1);
            if (w == 0) expected = r.out;
            EXPECT_EQ(r.out, expected);
            // The semicolon table's decimal comma reaches the output.
            EXPECT_NE(r.out.find(t.sep == ';' ? "\n6;20,5;40;" : "\n6,20.5,40,"), std::string::npos);
        }
    }
}

#endif

struct Refusal {
    const char* name;
    std::string file;  // the bytes of {file}, a file the arguments name; {dir} names a folder
    std::vector<std::string> args;
    int status;
    const char* said;  // in the message
};
class CliRefuses : public ::testing::TestWithParam<Refusal> {};

// A German message on one line without raw control characters, no output, and the exit
// status of a refused call or input (2) or of a file that cannot be read or written (1).
TEST_P(CliRefuses, WithOneBoundedLineAndItsExitStatus) {
    const Refusal& row = GetParam();
    TempDir dir;
    std::vector<std::string> args = row.args;
    fs::create_directory(dir / "ordner");
    spit(dir / "datei", row.file);
    for (std::string& a : args) a = a == "{dir}" ? dir / "ordner" : a == "{file}" ? dir / "datei" : a;
    const CliRun r = run_cli(args);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Fehler: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(row.said), std::string::npos) << r.err;
    EXPECT_EQ(lines_of(r.err), 1u) << r.err;
    EXPECT_FALSE(has_raw_control(r.err)) << r.err;
    EXPECT_LT(r.err.size(), 1200u) << r.err;
}

const Refusal kRefusals[] = {
        // Wrong calls: what is wrong, and the help of the subcommand the call got into.
        Refusal{"NoSubcommand", "", {}, 2, "Fehler: Aufruf fehlerhaft: Ein Unterbefehl fehlt (calc, report, basics, "
                                           "batch, plan, scenario oder sweep) (Hilfe: forstrix-cli --help)"},
        Refusal{"MisspeltSubcommand", "", {"clac", "--set", "gi_bhd=25"}, 2,
                "Unbekannter Unterbefehl: clac (erlaubt: calc, report, basics, batch, plan, scenario oder sweep) (Hilfe: "
                "forstrix-cli --help)"},
        Refusal{"SweepWithoutRange", "", {"sweep"}, 2, "Angabe fehlt: BEREICH (Hilfe: forstrix-cli sweep --help)"},
        Refusal{"UnknownOptionOfCalc", "", {"calc", "--fast"}, 2,
                "Unbekannte oder überzählige Angabe: --fast (Hilfe: forstrix-cli calc --help)"},
        Refusal{"OptionWithoutValue", "", {"report", "-o"}, 2,
                "Falsche Anzahl von Werten: --output (Hilfe: forstrix-cli report --help)"},
        Refusal{"OptionNeedsAnother", "", {"batch", "--sep", ";"}, 2, "--sep geht nur zusammen mit --template"},
        Refusal{"FlagWithValue", "", {"calc", "--trace=ja"}, 2, "Wert kann nicht gelesen werden: --trace"},
        Refusal{"UnknownOptionEscaped", "", {"calc", "--\x1b[31mx"}, 2, "--\\x1B[31mx"},
        // Values and ranges.
        Refusal{"UnknownName", "", {"calc", "--set", "gi_xyz=1"}, 2, "gi_xyz: unbekannter Name; es gibt keinen Wert"},
        Refusal{"MisspeltName", "", {"report", "--set", "gf_vba=1"}, 2, "gf_vba: unbekannter Name; meinten Sie gf_vab?"},
        Refusal{"NoEqualsSign", "", {"calc", "--set", "gf_fw"}, 2, "NAME=WERT"},
        Refusal{"NameMissing", "", {"calc", "--set", "=5"}, 2, "\u201E=5\u201C: vor dem \u201E=\u201C fehlt der Name"},
        Refusal{"BasicsZeroInBasics", "", {"basics", "--set", "gf_hab45=0"}, 2, "gf_hab45"},
        Refusal{"NotANumber", "", {"calc", "--set", "gf_vab=viel"}, 2, "gf_vab"},
        Refusal{"LonePoint", "", {"calc", "--set", "gf_vab=."}, 2, "keine Zahl"},
        Refusal{"UnknownEncoding", "", {"report", "--encoding", "latin1"}, 2, "--encoding erwartet utf-8 oder cp1252."},
        Refusal{"SweepSeparator", "", {"sweep", "gi_bhd=6:90:1", "--sep", "|"}, 2, "--sep erwartet"},
        Refusal{"SweepThreeRanges", "", {"sweep", "gi_bhd=6:9:1", "gi_hn=0:5:1", "gf_vab=10:20:5"}, 2,
                "einen oder zwei Bereiche"},
        Refusal{"SweepSameInputTwice", "", {"sweep", "gi_bhd=6:9:1", "gi_bhd=10:20:1"}, 2, "zweimal"},
        Refusal{"SweepMoreThanAMillion", "", {"sweep", "gf_vab=1:1000:1", "gf_gf=1:1001:1"}, 2, "1001000 Punkte"},
        Refusal{"SweepOutsideTheList", "", {"sweep", "gi_bhd=80:95:5"}, 2, "95 liegt nicht im erlaubten Bereich"},
        Refusal{"SweepBadSet", "", {"sweep", "gi_bhd=6:9:1", "--set", "gi_hn=70"}, 2, "gi_hn"},
        Refusal{"SweepNameMissing", "", {"sweep", "=1:2:1"}, 2,
                "\u201E=1:2:1\u201C: vor dem \u201E=\u201C fehlt der Name der Eingabe"},
        // The input file: the reader's message after its heading, content refused with 2.
        Refusal{"InputEmpty", " ", {"calc", "--input", "{file}"}, 2, "Eingabedatei kann nicht geladen werden! Die Datei endet vorzeitig"},
        Refusal{"StandFileNewer", R"({"format": "forstrix-bestand", "version": 7})", {"scenario", "--input", "{file}"}, 2,
                "Bestandsdatei kann nicht geladen werden! Die Datei hat die Version 7"},
        Refusal{"StandFileCutShort", R"({"format": "forstrix-bestand", "version": 1, "val)", {"calc", "--input", "{file}"}, 2,
                "Bestandsdatei kann nicht geladen werden! Die Datei endet vorzeitig"},
        // Files that cannot be read at all: 1, as for a file that cannot be written.
        Refusal{"InputMissing", "", {"calc", "--input", "/nonexistent/in.json"}, 1,
                "Die Datei existiert nicht: "},
        Refusal{"InputIsAFolder", "", {"report", "--input", "{dir}"}, 1, "Die Datei ist ein Ordner: "},
#ifndef _WIN32  // no /dev on Windows
        Refusal{"InputIsADevice", "", {"scenario", "--input", "/dev/zero"}, 1, "keine gewöhnliche Datei"},
#endif
        Refusal{"BasicsMissing", "", {"calc", "--basics", "/nonexistent/daten.klg"}, 1,
                "Kalkulationsgrundlagen (daten.klg) können nicht geladen werden! Die Datei existiert nicht: "},
        Refusal{"BasicsIsAFolderInSweep", "", {"sweep", "gi_bhd=6:9:1", "--basics", "{dir}"}, 1, "ist ein Ordner"},
        Refusal{"BasicsMissingInBatch", "", {"batch", "{dir}", "--basics", "/nonexistent/daten.klg"}, 1,
                "Die Datei existiert nicht"},
        Refusal{"BatchTableIsAFolder", "", {"batch", "{dir}"}, 1, "ist ein Ordner"},
        // An output that cannot be written (the writers' own table is in the files tests).
        Refusal{"ReportIntoAFolder", "", {"report", "-o", "{dir}"}, 1, "Das Ziel ist ein Ordner: "},
        Refusal{"BatchIntoAFolder", "gi_bhd\n20\n", {"batch", "{file}", "-o", "{dir}"}, 1, "ist ein Ordner: "},
        Refusal{"ScenarioIntoAFolder", "", {"scenario", "-o", "{dir}"}, 1, "Das Ziel ist ein Ordner: "},
#if FORSTRIX_WITH_PDF
        Refusal{"SheetIntoAFolder", "", {"report", "--pdf", "{dir}"}, 1,
                "Ergebnisblatt konnte nicht gespeichert werden! Das Ziel ist ein Ordner: "},
#else
        Refusal{"NoSheetInThisBuild", "", {"report", "--pdf", "{file}"}, 2,
                "Dieses forstrix-cli ist ohne das Ergebnisblatt (PDF) gebaut; --pdf geht hier nicht."},
#endif
};
INSTANTIATE_TEST_SUITE_P(Cli, CliRefuses, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

#ifndef _WIN32  // the shell's pipes, FIFOs and closed descriptors are POSIX
// Started with its standard streams closed, its messages (warnings here) never land in the table.
TEST(CliStreams, ClosedStandardStreamsKeepMessagesOutOfTheTable) {
    TempDir dir, capture;
    spit(dir / "in.csv", "gf_stm,gi_bhd\n0.9,20\n0.9,30\n");
    EXPECT_EQ(run_shell(FORSTRIX_CLI " batch " + (dir / "in.csv") + " -o " + (dir / "out.csv") + " <&- >&- 2>&-", capture)
                  .status, 0);
    const std::string out = slurp(dir / "out.csv");
    EXPECT_EQ(out.rfind("gf_stm,gi_bhd,", 0), 0u) << out.substr(0, 200);
    EXPECT_EQ(out.find("Warnung"), std::string::npos);
    EXPECT_EQ(lines_of(out), 3u);
}
#endif

// A batch table's bad cells or header: escape sequences escaped, a lone separator refused
// like a word (not read as 0), endless misspelt names shown by the first five, then counted.
TEST(CliBatchMessages, BoundedAndEscaped) {
    std::string header = "gi_bhd";
    for (int i = 0; i < 100000; ++i) header += ",gi_x" + std::to_string(i);
    const struct {
        std::string table;
        std::vector<std::string> said;
        std::size_t lines;
    } rows[] = {{"gf_vab,gf_gf\n\x1b]0;titel\x07" "30,40\n", {"\\x1B]0;titel\\x0730"}, 2},
                {"gf_vab,gf_gf\n\",\",40\n", {"\u201E,\u201C ist keine Zahl"}, 2},
                {"gf_vab,gf_gf\n" + std::string(400, '8') + ",40\n", {"ist zu groß"}, 2},
                {header + "\n", {"Zeile 1, gi_x4: unbekannter Name", "Zeile 1: 99995 weitere fehlerhafte Spalten"}, 7}};
    for (const auto& row : rows) {
        TempDir dir;
        spit(dir / "in.csv", row.table);
        const CliRun r = run_cli({"batch", dir / "in.csv"});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        const std::string shown = r.err.substr(0, 2000);
        for (const std::string& said : row.said) EXPECT_NE(r.err.find(said), std::string::npos) << shown;
        EXPECT_EQ(lines_of(r.err), row.lines) << shown;
        EXPECT_FALSE(has_raw_control(r.err)) << shown;
    }
}

}  // namespace
}  // namespace forstrix::cli::test
