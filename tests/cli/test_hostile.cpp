// forstrix-cli against what an adversarial user or a broken file hands it:
// tables through pipes, JSON beyond every double or nested without end,
// write-protected and linked outputs, closed standard streams, escape
// sequences and endless names in messages.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

namespace fs = std::filesystem;

// Runs a shell command line (the test builds it), with a time limit so that
// a program that blocks fails the test instead of hanging it.
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

std::size_t lines_of(const std::string& text) { return std::size_t(std::count(text.begin(), text.end(), '\n')); }

bool has_raw_control(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\n') || u == 0x7F;
    });
}

// Every way of handing over a table gives every row, and the same bytes as
// reading it from a file: the decimal mark is decided from data read once.
TEST(CliBatchInput, PipesAndFifosGiveEveryRow) {
    const struct {
        const char* name;
        std::string how;  // {in} is the table file, {fifo} a named pipe, {cli} the program
    } ways[] = {{"File", "{cli} batch {in}"},
                {"DevStdinFromAPipe", "cat {in} | {cli} batch /dev/stdin"},
                {"DashFromAPipe", "cat {in} | {cli} batch -"},
                {"DashRedirected", "{cli} batch - < {in}"},
                {"Fifo", "cat {in} > {fifo} & {cli} batch {fifo}"}};
    // A small table, and one larger than the MiB that decides the decimal
    // mark (through fewer ways: the sanitizer run takes its time).
    for (const std::size_t rows : {std::size_t{10}, std::size_t{120000}}) {
        for (const char sep : {',', ';'}) {
            if (rows > 10 && sep == ';') continue;
            TempDir dir;
            const char decimal = sep == ';' ? ',' : '.';
            spit(dir / "in.csv", table(rows, sep, decimal));
            std::string expected;
            for (const auto& way : ways) {
                if (rows > 10 && way.how.find("stdin") != std::string::npos) continue;
                if (rows > 10 && way.how.find("<") != std::string::npos) continue;
                std::string line = way.how;
                for (const auto& [key, value] : {std::pair<std::string, std::string>{"{cli}", FORSTRIX_CLI},
                                                 {"{in}", dir / "in.csv"},
                                                 {"{fifo}", dir / "fifo"}}) {
                    for (std::size_t at; (at = line.find(key)) != std::string::npos;) line.replace(at, key.size(), value);
                }
                fs::remove(dir / "fifo");
                ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
                TempDir capture;
                const CliRun r = run_shell(line, capture);
                ASSERT_EQ(r.status, 0) << way.name << ' ' << rows << ' ' << sep << ": " << r.err;
                EXPECT_EQ(r.err, "") << way.name;
                EXPECT_EQ(lines_of(r.out), rows + 1) << way.name << ' ' << rows << ' ' << sep;
                if (expected.empty()) expected = r.out;
                EXPECT_EQ(r.out, expected) << way.name << ' ' << rows << ' ' << sep;
                // The semicolon table's decimal comma reaches the output.
                EXPECT_NE(r.out.find(sep == ';' ? "\n6;20,5;40;" : "\n6,20.5,40,"), std::string::npos) << way.name;
            }
        }
    }
}

struct Refusal {
    const char* name;
    std::string json;  // the --input file; empty: the arguments say it all
    std::vector<std::string> args;
    int status;
    const char* said;  // in the message
};
class CliRefuses : public ::testing::TestWithParam<Refusal> {};

// Refused with a German message on one line, no raw control characters,
// no output, and the exit status of refused input (2) or of a file that
// could not be read (1).
TEST_P(CliRefuses, WithOneBoundedLineAndItsExitStatus) {
    const Refusal& row = GetParam();
    TempDir dir;
    std::vector<std::string> args = row.args;
    for (std::string& a : args)
        if (a == "{dir}") a = dir / "";
    if (!row.json.empty()) {
        spit(dir / "in.json", row.json);
        args.push_back("--input");
        args.push_back(dir / "in.json");
    }
    const CliRun r = run_cli(args);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Fehler: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(row.said), std::string::npos) << r.err;
    EXPECT_EQ(lines_of(r.err), 1u) << r.err;
    EXPECT_FALSE(has_raw_control(r.err)) << r.err;
    EXPECT_LT(r.err.size(), 1200u) << r.err;
}

const std::string kDeep = std::string(100000, '[') + std::string(100000, ']');

INSTANTIATE_TEST_SUITE_P(
    Cli, CliRefuses,
    ::testing::Values(
        Refusal{"UnknownName", "", {"calc", "--set", "gi_xyz=1"}, 2, "gi_xyz: unbekannter Name"},
        Refusal{"NotANumber", "", {"calc", "--set", "gf_vab=viel"}, 2, "gf_vab"},
        Refusal{"NoEqualsSign", "", {"calc", "--set", "gf_fw"}, 2, "NAME=WERT"},
        Refusal{"NameMissing", "", {"calc", "--set", "=5"}, 2, "\u201E=5\u201C: vor dem \u201E=\u201C fehlt der Name"},
        Refusal{"StandCheckInReport", "", {"report", "--set", "gf_vab=0"}, 2, "gf_vab"},
        Refusal{"BasicsZeroInBasics", "", {"basics", "--set", "gf_hab45=0"}, 2, "gf_hab45"},
        Refusal{"SetLonePoint", "", {"calc", "--set", "gf_vab=."}, 2, "keine Zahl"},
        Refusal{"SetDigitsBeyondDouble", "", {"calc", "--set", "gf_fw=" + std::string(310, '7')}, 2, "zu groß"},
        Refusal{"SetEscapeSequence", "", {"calc", "--set", "gf_vab=1\x1b[31m"}, 2, "\\x1B[31m"},
        Refusal{"UnknownOptionEscaped", "", {"calc", "--\x1b[31mx"}, 2, "--\\x1B[31mx"},
        // The input file: the reader's message after its heading, content refused with 2.
        Refusal{"InputNumberBeyondDouble", R"({"gf_vab": 1e400})", {"calc"}, 2,
                "Eingabedatei kann nicht geladen werden! Die Datei enthält eine Zahl, die zu groß"},
        Refusal{"InputEmpty", " ", {"scenario"}, 2, "Eingabedatei kann nicht geladen werden! Die Datei endet vorzeitig"},
        Refusal{"InputNestedDeep", kDeep, {"sweep", "gi_bhd=6:9:1"}, 2, "zu tief verschachtelt"},
        Refusal{"EscapeSequenceInAName", "{\"gi_\\u001b[2J\": 1}", {"calc"}, 2, "\\x1B[2J"},
        Refusal{"LongNameShortened", "{\"" + std::string(5000, 'n') + "\": 1}", {"calc"}, 2, "5000 Zeichen"},
        Refusal{"InputTooLarge", "{\"gf_vab\": 30" + std::string(2 << 20, ' ') + "}", {"report"}, 2,
                "Die Datei ist zu groß (mehr als 1 MiB): /"},
        // Files that cannot be read at all: 1, as for a file that cannot be written.
        Refusal{"InputMissing", "", {"calc", "--input", "/nonexistent/in.json"}, 1,
                "Die Datei existiert nicht: /nonexistent/in.json"},
        Refusal{"InputIsAFolder", "", {"report", "--input", "{dir}"}, 1, "Die Datei ist ein Ordner: /"},
        Refusal{"InputIsADevice", "", {"scenario", "--input", "/dev/zero"}, 1, "keine gewöhnliche Datei"},
        Refusal{"BasicsMissing", "", {"calc", "--basics", "/nonexistent/daten.klg"}, 1,
                "Kalkulationsgrundlagen (daten.klg) können nicht geladen werden! Die Datei existiert nicht: "},
        Refusal{"BasicsIsAFolderInSweep", "", {"sweep", "gi_bhd=6:9:1", "--basics", "{dir}"}, 1, "ist ein Ordner"},
        Refusal{"BasicsMissingInBatch", "", {"batch", "{dir}", "--basics", "/nonexistent/daten.klg"}, 1,
                "Die Datei existiert nicht"},
        Refusal{"BatchTableIsAFolder", "", {"batch", "{dir}"}, 1, "ist ein Ordner"}),
    [](const auto& row) { return std::string(row.param.name); });

// Outputs that must never be replaced, for every -o alike (the links, loops
// and missing folders are the writers' own table, in the files tests).
TEST(CliOutputs, WriteProtectedAndFoldersRefusedWritableReplaced) {
    const struct {
        const char* name;
        void (*make)(const TempDir&);
        const char* written;  // the file that gets the output; nullptr: refused
        const char* said;
    } rows[] = {
        {"WriteProtected",
         [](const TempDir& d) {
             spit(d / "ziel", "alt");
             ::chmod((d / "ziel").c_str(), 0444);
         },
         nullptr, "Die Datei ist schreibgeschützt: /"},
        {"Writable", [](const TempDir& d) { spit(d / "ziel", "alt"); }, "ziel", ""},
        {"Folder", [](const TempDir& d) { fs::create_directory(d / "ziel"); }, nullptr, "Das Ziel ist ein Ordner: /"},
    };
    for (const auto& row : rows) {
        for (const std::string command : {"report", "basics", "batch"}) {
            TempDir dir;
            spit(dir / "in.csv", table(3));
            row.make(dir);
            std::vector<std::string> args{command, "-o", dir / "ziel"};
            if (command == "batch") args.insert(args.begin() + 1, dir / "in.csv");
            const CliRun r = run_cli(args);
            if (row.written == nullptr) {
                EXPECT_EQ(r.status, 1) << row.name << ' ' << command;
                EXPECT_NE(r.err.find(row.said), std::string::npos) << row.name << ' ' << command << ": " << r.err;
                EXPECT_EQ(lines_of(r.err), 1u) << row.name << ' ' << command << ": one line: " << r.err;
                if (fs::is_regular_file(fs::symlink_status(dir / "ziel"))) {
                    EXPECT_EQ(slurp(dir / "ziel"), "alt") << row.name;
                }
            } else {
                EXPECT_EQ(r.status, 0) << row.name << ' ' << command << ": " << r.err;
                EXPECT_NE(slurp(dir / row.written), "alt") << row.name << ' ' << command;
                EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / row.written))) << row.name << ' ' << command;
            }
            std::vector<std::string> names = dir.files();
            EXPECT_TRUE(std::none_of(names.begin(), names.end(),
                                     [](const std::string& n) { return n.find("tmp") != std::string::npos; }))
                << row.name << ' ' << command << ": a temporary file is left";
        }
    }
}

// Started with standard output and error closed, the program's messages
// (here a plausibility warning for every row) must not land in the table.
TEST(CliStreams, ClosedStandardStreamsKeepMessagesOutOfTheTable) {
    TempDir dir, capture;
    spit(dir / "in.csv", "gf_stm,gi_bhd\n0.9,20\n0.9,30\n");
    const CliRun r = run_shell(std::string(FORSTRIX_CLI) + " batch " + (dir / "in.csv") + " -o " + (dir / "out.csv") +
                                   " <&- >&- 2>&-",
                               capture);
    EXPECT_EQ(r.status, 0);
    const std::string out = slurp(dir / "out.csv");
    EXPECT_EQ(out.rfind("gf_stm,gi_bhd,", 0), 0u) << out.substr(0, 200);
    EXPECT_EQ(out.find("Warnung"), std::string::npos);
    EXPECT_EQ(lines_of(out), 3u);
}

// A header of endless wrong names: the first few, then a count.
TEST(CliBatchMessages, HeaderProblemsShownFirstFiveThenCounted) {
    TempDir dir;
    std::string header = "gi_bhd";
    for (int i = 0; i < 100000; ++i) header += ",x" + std::to_string(i);
    spit(dir / "in.csv", header + "\n");
    const CliRun r = run_cli({"batch", dir / "in.csv"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lines_of(r.err), 7u) << r.err.substr(0, 2000);
    EXPECT_NE(r.err.find("Zeile 1, x4: unbekannter Name"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("x5:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Zeile 1: 99995 weitere fehlerhafte Spaltenüberschriften."), std::string::npos) << r.err;
}

// Cells: escape sequences shown escaped, a lone separator refused as
// unreadable like an empty cell, not read as 0.
TEST(CliBatchMessages, CellsEscapedAndLoneSeparatorRefused) {
    const struct {
        const char* name;
        std::string cell;
        const char* said;
    } rows[] = {{"EscapeSequence", "\x1b]0;titel\x07" "30", "\\x1B]0;titel\\x0730"},
                {"LoneComma", "\",\"", "\u201E,\u201C ist keine Zahl"},
                {"DigitsBeyondDouble", std::string(400, '8'), "ist zu groß"}};
    for (const auto& row : rows) {
        TempDir dir;
        spit(dir / "in.csv", "gf_vab,gf_gf\n" + row.cell + ",40\n");
        const CliRun r = run_cli({"batch", dir / "in.csv"});
        EXPECT_EQ(r.status, 2) << row.name;
        EXPECT_EQ(r.out, "") << row.name;
        EXPECT_NE(r.err.find(row.said), std::string::npos) << row.name << ": " << r.err;
        EXPECT_FALSE(has_raw_control(r.err)) << row.name << ": " << r.err;
    }
}

}  // namespace
}  // namespace forstrix::cli::test
