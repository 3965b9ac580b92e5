// What the writer may replace and what the readers may open: write-protected
// files, symbolic links (dangling, chained, looping), folders, sockets,
// unreadable files, non-finite report figures.
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "files/atomic_write.h"
#include "files/basics_file.h"
#include "files/report.h"
#include "support.h"

namespace forstrix::files {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "alter Inhalt\r\n";

#ifndef _WIN32  // permission bits, symbolic links and sockets are POSIX

void old_file(const fs::path& p, mode_t mode) {
    test::write_file(p, kOld);
    ASSERT_EQ(::chmod(p.c_str(), mode), 0);
}
void link(const std::string& to, const fs::path& at) { fs::create_symlink(to, at); }
void socket_at(const fs::path& p) {
    sockaddr_un at{AF_UNIX, {}};
    p.string().copy(at.sun_path, sizeof at.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&at), sizeof at), 0);
    ::close(fd);
}

const mode_t kNewFileMode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}();

// The rule of the one atomic writer, which every writer of the program and
// every -o of the command line goes through.
TEST(Targets, RefusedOrWritten) {
    using Dir = const test::ScratchDir&;
    const struct {
        const char* name;
        void (*make)(Dir);    // how the folder looks before a write to "ziel"
        std::string reason;   // empty: the write succeeds
        const char* written;  // the file that then holds the new bytes
        mode_t mode;          // its permission bits afterwards
    } rows[] = {
        {"NewFile", [](Dir) {}, "", "ziel", kNewFileMode},
        {"WritableFileKeepsItsMode", [](Dir d) { old_file(d / "ziel", 0640); }, "", "ziel", 0640},
        {"OwnerReadOnly", [](Dir d) { old_file(d / "ziel", 0400); }, "Die Datei ist schreibgeschützt", "", 0},
        {"Folder", [](Dir d) { fs::create_directory(d / "ziel"); }, "Das Ziel ist ein Ordner", "", 0},
        {"LinkToFile", [](Dir d) { old_file(d / "echt", 0644); link("echt", d / "ziel"); }, "", "echt", 0644},
        {"ChainOfLinks",
         [](Dir d) { old_file(d / "echt", 0600); link("zwischen", d / "ziel"); link((d / "echt").string(), d / "zwischen"); },
         "", "echt", 0600},
        {"DanglingLinkCreatesTheFileItNames", [](Dir d) { link("fehlt", d / "ziel"); }, "", "fehlt", kNewFileMode},
        {"DanglingLinkIntoMissingFolder", [](Dir d) { link("nirgends/fehlt", d / "ziel"); },
         "Der Ordner der Datei, auf die die Verknüpfung zeigt, fehlt", "", 0},
        {"LinkToWriteProtectedFile", [](Dir d) { old_file(d / "echt", 0444); link("echt", d / "ziel"); },
         "Die Datei ist schreibgeschützt", "", 0},
        {"LinkLoopOfTwo", [](Dir d) { link("b", d / "ziel"); link("ziel", d / "b"); },
         "Die symbolischen Verknüpfungen bilden eine Schleife", "", 0},
        {"Socket", [](Dir d) { socket_at(d / "ziel"); }, "Das Ziel ist keine gewöhnliche Datei (ein Gerät oder eine Pipe)", "", 0}};
    for (const auto& row : rows) {
        test::ScratchDir dir;
        row.make(dir);
        const auto before = dir.names();
        WriteFailure f;
        const bool written = atomic_write(dir / "ziel", "neu", &f);
        if (!row.reason.empty()) {
            EXPECT_FALSE(written) << row.name;
            EXPECT_TRUE(describe(f).starts_with(row.reason + ": /")) << row.name << ": " << describe(f);
            EXPECT_EQ(dir.names(), before) << row.name << ": nothing created, no temporary file";
            for (const std::string& name : before)
                EXPECT_TRUE(!fs::is_regular_file(fs::symlink_status(dir / name)) || test::read_file(dir / name) == kOld)
                    << row.name << ": " << name << " byte for byte";
            continue;
        }
        ASSERT_TRUE(written) << row.name << ": " << describe(f);
        const fs::path p = dir / row.written;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(p)) && test::read_file(p) == "neu") << row.name;
        EXPECT_EQ(static_cast<mode_t>(fs::status(p).permissions()) & 0777, row.mode) << row.name;
        EXPECT_EQ(fs::canonical(dir / "ziel"), fs::canonical(p)) << row.name << ": a link stays";
    }
}
#endif

// What every system does alike: an old file replaced whole (on Windows by
// MoveFileExW over it), a write-protected one (there: the read-only
// attribute) kept byte for byte, a name with umlauts (UTF-8 to the system's
// wide names).
TEST(Targets, ReplacedOrKeptOnEverySystem) {
    const struct {
        fs::path name;
        bool protect;
        bool written;
    } rows[] = {{"daten.klg", false, true}, {u8"Südhang.klg", false, true}, {u8"schreibgeschützt.klg", true, false}};
    for (const auto& row : rows) {
        test::ScratchDir dir;
        const fs::path p = dir / "" / row.name;
        test::write_file(p, kOld);
        if (row.protect) fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                        fs::perm_options::remove);
        WriteFailure f;
        EXPECT_EQ(atomic_write(p, "neu\r\n\xE4", &f), row.written) << describe(f);
        EXPECT_EQ(test::read_file(p), row.written ? "neu\r\n\xE4" : kOld);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / ""), fs::directory_iterator()), 1) << "no temporary file";
        EXPECT_EQ(describe(f).starts_with("Die Datei ist schreibgeschützt: "), !row.written) << describe(f);
        fs::permissions(p, fs::perms::owner_write, fs::perm_options::add);
    }
}

// Unsuitable systems are not in the report; any other figure that is not
// finite keeps the old report.
TEST(ReportRefuses, AFigureThatIsNotFinite) {
    constexpr double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<double State::*, double, bool> rows[] = {
        {&State::gff_g3, inf, true}, {&State::gff_g24, nan, true}, {&State::gf_vab, inf, true}, {&State::gff_g45, inf, false}};
    for (const auto& [value, bad, refused] : rows) {
        test::ScratchDir dir;
        test::write_file(dir / "erg.txt", kOld);
        State s = test::scenario("");
        s.*value = bad;
        const Outcome r = write_report(dir / "erg.txt", s);
        EXPECT_EQ(r.message().starts_with("Ergebnis konnte nicht gespeichert werden!\nDas Ergebnis enthält eine Zahl, "
                                        "die nicht endlich ist ("), refused) << r.message();
        EXPECT_EQ(test::read_file(dir / "erg.txt") == kOld, refused);
        EXPECT_EQ(test::read_file(dir / "erg.txt").find("inf"), std::string::npos);
        EXPECT_EQ(dir.names(), std::vector<std::string>{"erg.txt"});
    }
}

#ifndef _WIN32  // FIFOs, fork and another user are POSIX
// What the reader makes of what stands where "daten.klg" should be; a pipe
// must never make it wait. Read in a child process, ended by an alarm should
// it block, as an unprivileged user (root reads a file of mode 000).
TEST(BasicsReader, RefusesWhatIsNoRegularFileWithoutWaiting) {
    const struct {
        void (*make)(const fs::path&);
        Status status;
        std::string last_line;  // start of the message's last line
    } rows[] = {
        {[](const fs::path&) {}, Status::NotFound, "können nicht geladen werden!"},
        {[](const fs::path& p) { ::mkfifo(p.c_str(), 0644); }, Status::Unreadable,
         "Die Datei ist keine gewöhnliche Datei (ein Gerät oder eine Pipe): /"},
        {[](const fs::path& p) { fs::create_directory(p); }, Status::Unreadable, "Die Datei ist ein Ordner: /"},
        {[](const fs::path& p) { fs::create_symlink(p, p); }, Status::Unreadable,
         "Die symbolischen Verknüpfungen bilden eine Schleife: /"},
        {[](const fs::path& p) { test::write_file(p, basics_text(State{})); ::chmod(p.c_str(), 0); }, Status::Unreadable,
         "Keine Leseberechtigung: /"}};
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        test::ScratchDir dir;
        ASSERT_EQ(::chmod((dir / "").c_str(), 0755), 0);  // the other user may enter
        rows[k].make(dir / "daten.klg");
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(20);
            if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(3);
            State s;
            const Outcome r = read_basics(dir / "daten.klg", s);
            ::_exit(r.status == rows[k].status && basics_text(s) == basics_text(State{}) &&
                            r.message().starts_with("Kalkulationsgrundlagen (daten.klg)\nkönnen nicht geladen werden!") &&
                            r.message().substr(r.message().rfind('\n') + 1).starts_with(rows[k].last_line)
                        ? 0 : 1);
        }
        int status = -1;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_EQ(status, 0) << "row " << k << " (exit status 3: could not become an unprivileged user)";
    }
}
#endif

}  // namespace
}  // namespace forstrix::files
