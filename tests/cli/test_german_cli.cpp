// The command line in German: the parser's errors, the help and the
// version, and the report in the encoding its reader needs.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <sstream>

#include "cli/german_cli.h"
#include "cli/text_encoding.h"
#include "files/cp1252.h"
#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

// ------------------------------------------------------ help and version
struct HelpCall { const char* label; std::vector<std::string> args; std::vector<std::string> shown; };

class CliHelp : public ::testing::TestWithParam<HelpCall> {};

TEST_P(CliHelp, GermanOnStandardOutput) {
    const CliRun r = run_cli(GetParam().args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (const std::string& text : GetParam().shown) EXPECT_NE(r.out.find(text), std::string::npos) << text;
    for (const char* english : {"Usage", "Options", "Subcommands", "Positionals", "TEXT", "REQUIRED", "Needs",
                                "Display", "Print this"})
        EXPECT_EQ(r.out.find(english), std::string::npos) << english << " in\n" << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliHelp,
    ::testing::Values(
        HelpCall{"Program", {"--help"}, {"Aufruf: forstrix-cli [OPTIONEN] UNTERBEFEHL", "Optionen:", "Unterbefehle:",
                                         "-V,--version", "report"}},
        HelpCall{"Report", {"report", "--help"}, {"Aufruf: forstrix-cli report [OPTIONEN]", "--basics DATEI",
                                                  "--set NAME=WERT", "--encoding utf-8|cp1252"}},
        HelpCall{"Batch", {"batch", "-h"}, {"Argumente:", "TABELLE", "--sep ZEICHEN nur mit: --template"}},
        HelpCall{"Version", {"--version"}, {"forstrix-cli " FORSTRIX_VERSION "\n"}}),
    [](const auto& row) { return std::string(row.param.label); });

// ------------------------------------------ a wrong call and where help is
struct WrongCall { const char* label; std::vector<std::string> args; std::string message; std::string help; };

class CliWrongCall : public ::testing::TestWithParam<WrongCall> {};

TEST_P(CliWrongCall, SaysWhatIsWrongAndPointsAtTheFittingHelp) {
    const CliRun r = run_cli(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Fehler: Aufruf fehlerhaft: " + GetParam().message + " (Hilfe: " + GetParam().help + ")\n");
}

// The parser's own printing of an error says the same.
TEST(CliWrongCall, TheParsersOwnPrintingIsGermanToo) {
    CLI::App app{"Test", "test"};
    use_german(app);
    std::ostringstream out, err;
    EXPECT_NE(app.exit(CLI::ExtrasError(std::vector<std::string>{"b", "--fast\x1b"}), out, err), 0);
    EXPECT_EQ(err.str(), "Fehler: Aufruf fehlerhaft: Unbekannte oder überzählige Angabe: b --fast\\x1B "
                         "(Hilfe: test --help)\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliWrongCall,
    ::testing::Values(
        WrongCall{"NoSubcommand", {}, "Ein Unterbefehl fehlt (calc, report, basics, batch, scenario oder sweep)",
                  "forstrix-cli --help"},
        WrongCall{"MisspeltSubcommand", {"clac", "--set", "gi_bhd=25"},
                  "Unbekannter Unterbefehl: clac (erlaubt: calc, report, basics, batch, scenario oder sweep)",
                  "forstrix-cli --help"},
        WrongCall{"OptionBeforeAnySubcommand", {"--fast"},
                  "Ein Unterbefehl fehlt (calc, report, basics, batch, scenario oder sweep)", "forstrix-cli --help"},
        WrongCall{"SweepWithoutRange", {"sweep"}, "Angabe fehlt: BEREICH", "forstrix-cli sweep --help"},
        WrongCall{"UnknownOptionOfCalc", {"calc", "--fast"}, "Unbekannte oder überzählige Angabe: --fast",
                  "forstrix-cli calc --help"},
        WrongCall{"ExtraArguments", {"calc", "a", "b"}, "Unbekannte oder überzählige Angabe: a b",
                  "forstrix-cli calc --help"},
        WrongCall{"OptionWithoutValue", {"report", "-o"}, "Falsche Anzahl von Werten: --output",
                  "forstrix-cli report --help"},
        WrongCall{"OptionNeedsAnother", {"batch", "--sep", ";"}, "--sep geht nur zusammen mit --template",
                  "forstrix-cli batch --help"},
        WrongCall{"FlagWithValue", {"calc", "--trace=ja"}, "Wert kann nicht gelesen werden: --trace",
                  "forstrix-cli calc --help"}),
    [](const auto& row) { return std::string(row.param.label); });

// -------------------------------------------------- the report's encoding

// Runs forstrix-cli with standard output on a terminal of its own, which
// passes the bytes through unchanged (no LF to CR LF).
CliRun run_cli_on_terminal(const std::vector<std::string>& args) {
    termios raw{};
    ::cfmakeraw(&raw);
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, &raw, nullptr);
    if (child == 0) {
        std::vector<char*> argv{const_cast<char*>(FORSTRIX_CLI)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(FORSTRIX_CLI, argv.data());
        ::_exit(127);
    }
    CliRun r;
    if (child < 0) return r;
    std::array<char, 4096> buf{};
    for (ssize_t n; (n = ::read(master, buf.data(), buf.size())) > 0;) r.out.append(buf.data(), std::size_t(n));
    ::close(master);
    int status = 0;
    ::waitpid(child, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// The report as "erg.txt" holds it, from the program itself.
std::string erg_bytes() { return run_cli({"report", "--encoding", "cp1252"}).out; }

std::string utf8_lf(const std::string& cp1252_crlf) {
    std::string lf;
    for (char c : files::cp1252_to_utf8(cp1252_crlf))
        if (c != '\r') lf += c;
    return lf;
}

struct ReportCall { const char* label; std::vector<std::string> args; bool terminal; bool to_file; bool utf8; };

class CliReportEncoding : public ::testing::TestWithParam<ReportCall> {};

TEST_P(CliReportEncoding, AsTheReaderNeedsIt) {
    TempDir dir;
    std::vector<std::string> args = GetParam().args;
    if (GetParam().to_file) args.insert(args.end(), {"-o", dir / "erg.txt"});
    const CliRun r = GetParam().terminal ? run_cli_on_terminal(args) : run_cli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string got = GetParam().to_file ? slurp(dir / "erg.txt") : r.out;
    const std::string erg = erg_bytes();
    ASSERT_EQ(erg.rfind("Hauptbaumart Laubholz\tBirke\r\n", 0), 0u);
    if (GetParam().utf8) {
        EXPECT_EQ(got, utf8_lf(erg));
        EXPECT_EQ(got.rfind("Hauptbaumart Laubholz\tBirke\n", 0), 0u);
        EXPECT_NE(got.find("Gesamtfläche der Maßnahme [ha]\t50,000000\n"), std::string::npos);
        EXPECT_EQ(got.find('\r'), std::string::npos);
    } else {
        EXPECT_EQ(got, erg);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliReportEncoding,
    ::testing::Values(ReportCall{"PipeGetsTheFileBytes", {"report"}, false, false, false},
                      ReportCall{"FileGetsTheFileBytes", {"report"}, false, true, false},
                      ReportCall{"TerminalGetsUtf8", {"report"}, true, false, true},
                      ReportCall{"FileAskedForUtf8", {"report", "--encoding", "UTF-8"}, false, true, true},
                      ReportCall{"TerminalAskedForCp1252", {"report", "--encoding", "cp1252"}, true, false, false}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(CliReportEncoding, UnknownEncodingIsRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    const CliRun r = run_cli({"report", "--encoding", "latin1", "-o", dir / "erg.txt"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Fehler: --encoding erwartet utf-8 oder cp1252.\n");
    EXPECT_TRUE(dir.files().empty());
}

TEST(CliReportEncoding, BasicsKeepTheirBytesOnATerminal) {
    const CliRun r = run_cli_on_terminal({"basics"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, run_cli({"basics"}).out);
    EXPECT_NE(r.out.find("\r\n"), std::string::npos);
}

}  // namespace
}  // namespace forstrix::cli::test
