// The command line in German: the parser's errors, the help and the
// version, and the report in the encoding its reader needs.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <array>
#include <sstream>

#include "cli/german_cli.h"
#include "files/cp1252.h"
#include "run_cli.h"

namespace forstrix::cli::test {
namespace {

// ------------------------------------------------------ help and version
TEST(CliHelp, GermanOnStandardOutput) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> calls[] = {
        {{"--help"}, {"Aufruf: forstrix-cli [OPTIONEN] UNTERBEFEHL", "Optionen:", "Unterbefehle:", "-V,--version"}},
        {{"report", "--help"},
         {"Aufruf: forstrix-cli report [OPTIONEN]", "--basics DATEI", "--set NAME=WERT", "--encoding utf-8|cp1252"}},
        {{"batch", "-h"}, {"Argumente:", "TABELLE", "--sep ZEICHEN nur mit: --template"}},
        {{"--version"}, {"forstrix-cli " FORSTRIX_VERSION "\n"}}};
    for (const auto& [args, shown] : calls) {
        const CliRun r = run_cli(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        for (const std::string& text : shown) EXPECT_NE(r.out.find(text), std::string::npos) << text;
        for (const char* english : {"Usage", "Options", "Subcommands", "Positionals", "TEXT", "REQUIRED", "Needs",
                                    "Display", "Print this"})
            EXPECT_EQ(r.out.find(english), std::string::npos) << english << " in\n" << r.out;
    }
}

// The parser's own printing is German too (the program's wrong calls: test_hostile.cpp).
TEST(CliWrongCall, TheParsersOwnPrintingIsGermanToo) {
    CLI::App app{"Test", "test"};
    use_german(app);
    std::ostringstream out, err;
    EXPECT_NE(app.exit(CLI::ExtrasError(std::vector<std::string>{"b", "--fast\x1b"}), out, err), 0);
    EXPECT_EQ(err.str(), "Fehler: Aufruf fehlerhaft: Unbekannte oder überzählige Angabe: b --fast\\x1B "
                         "(Hilfe: test --help)\n");
}

// -------------------------------------------------- the report's encoding

#ifndef _WIN32  // a pseudo-terminal is POSIX
// forstrix-cli with standard output on a raw terminal of its own (no LF to CR LF).
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
#endif

std::string utf8_lf(const std::string& cp1252_crlf) {
    std::string lf;
    for (char c : files::cp1252_to_utf8(cp1252_crlf))
        if (c != '\r') lf += c;
    return lf;
}

// UTF-8 with LF for a terminal or when asked for, else the bytes of "erg.txt"; basics keep theirs.
TEST(CliReportEncoding, AsTheReaderNeedsIt) {
    const struct {
        const char* label;
        std::vector<std::string> args;
        bool terminal, to_file, utf8;
    } rows[] = {{"FileGetsTheFileBytes", {"report"}, false, true, false},
                {"TerminalGetsUtf8", {"report"}, true, false, true},
                {"FileAskedForUtf8", {"report", "--encoding", "UTF-8"}, false, true, true},
                {"TerminalAskedForCp1252", {"report", "--encoding", "cp1252"}, true, false, false},
                {"BasicsOnATerminal", {"basics"}, true, false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        TempDir dir;
        std::vector<std::string> args = row.args;
        if (row.to_file) args.insert(args.end(), {"-o", dir / "erg.txt"});
#ifdef _WIN32
        if (row.terminal) continue;  // no pseudo-terminal on Windows
        const CliRun r = run_cli(args);
#else
        const CliRun r = row.terminal ? run_cli_on_terminal(args) : run_cli(args);
#endif
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string got = row.to_file ? slurp(dir / "erg.txt") : r.out;
        const std::string bytes = run_cli({row.args[0]}).out;  // a pipe gets the file's bytes (test_commands)
        EXPECT_EQ(got, row.utf8 ? utf8_lf(bytes) : bytes);
        EXPECT_EQ(got.find("\nGesamtfläche der Maßnahme [ha]\t50,000000\n") != std::string::npos, row.utf8);
        EXPECT_EQ(got.find('\r') == std::string::npos, row.utf8);
    }
}

}  // namespace
}  // namespace forstrix::cli::test
