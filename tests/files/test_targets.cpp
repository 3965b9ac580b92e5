// What the writers may replace and what the readers may open: write-protected
// files, symbolic links (dangling, chained, looping), folders, named pipes,
// unreadable files, non-finite report figures, closed standard streams.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files/atomic_write.h"
#include "files/atomic_write_io.h"
#include "files/basics_file.h"
#include "files/report.h"
#include "files/stand_file.h"
#include "files/std_streams.h"
#include "support.h"

namespace forstrix::files {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "alter Inhalt\r\n";

// Ends the test process instead of letting the suite hang when a call blocks.
struct TimeLimit {
    explicit TimeLimit(unsigned seconds) { ::alarm(seconds); }
    ~TimeLimit() { ::alarm(0); }
};

// How the folder looks before a write to "ziel".
struct Setup {
    std::function<void(const test::ScratchDir&)> make;
};

void old_file(const fs::path& p, mode_t mode) {
    test::write_file(p, kOld);
    ASSERT_EQ(::chmod(p.c_str(), mode), 0);
}
void link(const std::string& to, const fs::path& at) { fs::create_symlink(to, at); }

struct TargetRow {
    const char* name;
    Setup setup;
    std::string reason;   // empty: the write succeeds
    const char* written;  // the file that then holds the new bytes
    mode_t mode;          // its permission bits afterwards
};

class Targets : public ::testing::TestWithParam<TargetRow> {};

// Every writer of the program (basics, report, and the atomic writer the
// command line's -o uses) treats each target alike.
TEST_P(Targets, RefusedOrWrittenAlikeByEveryWriter) {
    const TargetRow& row = GetParam();
    const State s = test::scenario("");
    const std::vector<std::pair<const char*, std::function<Outcome(const fs::path&)>>> writers = {
        {"basics", [&](const fs::path& p) { return write_basics(p, s); }},
        {"report", [&](const fs::path& p) { return write_report(p, s); }},
        {"stand", [&](const fs::path& p) { return write_stand(p, s, StandLabel{}); }},
        {"atomic", [](const fs::path& p) {
             WriteFailure f;
             return atomic_write(p, "neu", &f) ? Outcome{} : Outcome{Status::WriteFailed, "\n" + describe(f)};
         }}};
    for (const auto& [writer, write] : writers) {
        test::ScratchDir dir;
        row.setup.make(dir);
        const auto before = dir.names();
        const Outcome r = write(dir / "ziel");
        if (!row.reason.empty()) {
            EXPECT_EQ(r.status, Status::WriteFailed) << writer;
            // The fixed text, then the reason on a line of its own.
            const std::string last = r.message().substr(r.message().rfind('\n') + 1);
            EXPECT_EQ(last.rfind(row.reason + ": /", 0), 0u) << writer << ": " << r.message();
            EXPECT_EQ(dir.names(), before) << writer << ": nothing created, no temporary file";
            for (const std::string& name : before) {
                const fs::path p = dir / name;
                if (fs::is_regular_file(fs::symlink_status(p))) {
                    EXPECT_EQ(test::read_file(p), kOld) << writer << ": " << name << " byte for byte";
                }
            }
        } else {
            ASSERT_TRUE(r.ok()) << writer << ": " << r.message();
            const fs::path p = dir / row.written;
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(p))) << writer;
            EXPECT_NE(test::read_file(p), kOld) << writer;
            EXPECT_EQ(static_cast<mode_t>(fs::status(p).permissions()) & 0777, row.mode) << writer;
            if (fs::is_symlink(fs::symlink_status(dir / "ziel"))) {
                EXPECT_EQ(fs::canonical(dir / "ziel"), fs::canonical(p)) << writer << ": the link stays";
            }
        }
    }
}

const mode_t kNewFileMode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}();

INSTANTIATE_TEST_SUITE_P(
    Table, Targets,
    ::testing::Values(
        TargetRow{"NewFile", {[](const auto&) {}}, "", "ziel", kNewFileMode},
        TargetRow{"WritableFileKeepsItsMode", {[](const auto& d) { old_file(d / "ziel", 0640); }}, "", "ziel", 0640},
        TargetRow{"OwnerReadOnly", {[](const auto& d) { old_file(d / "ziel", 0400); }},
                  "Die Datei ist schreibgeschützt", "", 0},
        TargetRow{"Folder", {[](const auto& d) { fs::create_directory(d / "ziel"); }}, "Das Ziel ist ein Ordner", "", 0},
        TargetRow{"LinkToFile",
                  {[](const auto& d) {
                      old_file(d / "echt", 0644);
                      link("echt", d / "ziel");
                  }},
                  "", "echt", 0644},
        TargetRow{"ChainOfLinks",
                  {[](const auto& d) {
                      old_file(d / "echt", 0600);
                      link("zwischen", d / "ziel");
                      link((d / "echt").string(), d / "zwischen");
                  }},
                  "", "echt", 0600},
        TargetRow{"DanglingLinkCreatesTheFileItNames", {[](const auto& d) { link("fehlt", d / "ziel"); }}, "",
                  "fehlt", kNewFileMode},
        TargetRow{"DanglingLinkIntoMissingFolder", {[](const auto& d) { link("nirgends/fehlt", d / "ziel"); }},
                  "Der Ordner der Datei, auf die die Verknüpfung zeigt, fehlt", "", 0},
        TargetRow{"LinkToWriteProtectedFile",
                  {[](const auto& d) {
                      old_file(d / "echt", 0444);
                      link("echt", d / "ziel");
                  }},
                  "Die Datei ist schreibgeschützt", "", 0},
        TargetRow{"LinkLoopOfTwo",
                  {[](const auto& d) {
                      link("b", d / "ziel");
                      link("ziel", d / "b");
                  }},
                  "Die symbolischen Verknüpfungen bilden eine Schleife", "", 0},
        TargetRow{"NamedPipe", {[](const auto& d) { ASSERT_EQ(::mkfifo((d / "ziel").c_str(), 0644), 0); }},
                  "Das Ziel ist keine gewöhnliche Datei (ein Gerät oder eine Pipe)", "", 0}),
    [](const auto& row) { return std::string(row.param.name); });

// A failed step names its reason, for the second line of the message.
TEST(WriteReasons, EachFailedStepSaysWhy) {
    struct Io : WriteIo {
        int err;
        bool fail_create;
        Io(int e, bool c) : err(e), fail_create(c) {}
        int create_exclusive(const fs::path& p) override {
            return fail_create ? (errno = err, -1) : system_io().create_exclusive(p);
        }
        long write(int, const char*, std::size_t) override { return errno = err, -1; }
        int sync(int fd) override { return system_io().sync(fd); }
        int close(int fd) override { return system_io().close(fd); }
        int rename(const fs::path& f, const fs::path& t) override { return system_io().rename(f, t); }
        int remove(const fs::path& p) override { return system_io().remove(p); }
    };
    const struct {
        int err;
        bool at_create;
        std::string reason;
    } rows[] = {{ENOSPC, false, "Kein Platz mehr auf dem Datenträger"},
                {EACCES, true, "Keine Schreibberechtigung für den Ordner"}};
    for (const auto& row : rows) {
        test::ScratchDir dir;
        Io io(row.err, row.at_create);
        WriteFailure f;
        EXPECT_FALSE(atomic_write(dir / "erg.txt", "x", io, &f));
        EXPECT_EQ(describe(f), row.reason + ": " + (dir / "erg.txt").string());
        EXPECT_TRUE(dir.names().empty());
    }
}

TEST(ReportRefuses, AFigureThatIsNotFinite) {
    constexpr double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        double State::*value;
        double bad;
        bool refused;  // unsuitable systems are not in the report
    } rows[] = {{"CostOfSuitableSystemI", &State::gff_g3, inf, true},
                {"SumOfSuitableSystemIII", &State::gff_g24, nan, true},
                {"VolumePerHectare", &State::gf_vab, inf, true},
                {"SumOfUnsuitableSystemVI", &State::gff_g45, inf, false}};
    for (const auto& row : rows) {
        test::ScratchDir dir;
        test::write_file(dir / "erg.txt", kOld);
        State s = test::scenario("");
        s.*row.value = row.bad;
        const Outcome r = write_report(dir / "erg.txt", s);
        if (row.refused) {
            EXPECT_EQ(r.status, Status::WriteFailed) << row.name;
            EXPECT_EQ(r.message().rfind("Ergebnis konnte nicht gespeichert werden!\nDas Ergebnis enthält eine Zahl, "
                                      "die nicht endlich ist (", 0), 0u) << row.name << ": " << r.message();
            EXPECT_EQ(test::read_file(dir / "erg.txt"), kOld) << row.name;
        } else {
            EXPECT_TRUE(r.ok()) << row.name << ": " << r.message();
            EXPECT_EQ(test::read_file(dir / "erg.txt").find("inf"), std::string::npos) << row.name;
        }
        EXPECT_EQ(dir.names(), std::vector<std::string>{"erg.txt"}) << row.name;
    }
}

// What the reader makes of what stands where "daten.klg" should be; a pipe
// must never make it wait.
TEST(BasicsReader, RefusesWhatIsNoRegularFileWithoutWaiting) {
    const std::string not_loaded = "Kalkulationsgrundlagen (daten.klg)\nkönnen nicht geladen werden!\n";
    const struct {
        const char* name;
        std::function<void(const fs::path&)> make;
        Status status;
        std::string last_line;  // start of the message's last line
    } rows[] = {
        {"Missing", [](const fs::path&) {}, Status::NotFound, "können nicht geladen werden!"},
        {"NamedPipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, Status::Unreadable,
         "Die Datei ist keine gewöhnliche Datei (ein Gerät oder eine Pipe): /"},
        {"Folder", [](const fs::path& p) { fs::create_directory(p); }, Status::Unreadable,
         "Die Datei ist ein Ordner: /"},
        {"LinkLoop", [](const fs::path& p) { fs::create_symlink(p, p); }, Status::Unreadable,
         "Die symbolischen Verknüpfungen bilden eine Schleife: /"},
    };
    for (const auto& row : rows) {
        test::ScratchDir dir;
        row.make(dir / "daten.klg");
        State s;
        Outcome r;
        {
            const TimeLimit limit(20);
            r = read_basics(dir / "daten.klg", s);
        }
        EXPECT_EQ(r.status, row.status) << row.name;
        EXPECT_EQ(r.message().rfind(not_loaded.substr(0, not_loaded.size() - 1), 0), 0u) << row.name;
        const std::string last = r.message().substr(r.message().rfind('\n') + 1);
        EXPECT_EQ(last.rfind(row.last_line, 0), 0u) << row.name << ": " << r.message();
        EXPECT_EQ(basics_text(s), basics_text(State{})) << row.name;
    }
}

// Root reads a file of mode 000; the test reads it as an unprivileged user
// in a child process (as any other user it reads it directly).
TEST(BasicsReader, UnreadableFileSaysWhy) {
    test::ScratchDir dir;
    ASSERT_EQ(::chmod((dir / "").c_str(), 0755), 0);  // the other user may enter
    test::write_file(dir / "daten.klg", basics_text(State{}));
    ASSERT_EQ(::chmod((dir / "daten.klg").c_str(), 0000), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(3);
        State s;
        const Outcome r = read_basics(dir / "daten.klg", s);
        const std::string last = r.message().substr(r.message().rfind('\n') + 1);
        ::_exit(r.status == Status::Unreadable && last.rfind("Keine Leseberechtigung: /", 0) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: could not become an unprivileged user";
}

// Started with descriptors 0 to 2 closed, the first file opened would take
// one of them, and every message written to standard error would land in it.
TEST(StandardStreams, ClosedOnesAreOpenedOnDevNull) {
    for (const int closed_mask : {1, 2, 4, 7}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int fd = 0; fd <= 2; ++fd)
                if (closed_mask & (1 << fd)) ::close(fd);
            ensure_standard_streams();
            for (int fd = 0; fd <= 2; ++fd)
                if (::fcntl(fd, F_GETFD) == -1) ::_exit(10 + fd);
            const int file = ::open("/dev/null", O_RDONLY);
            ::_exit(file > 2 ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "closed " << closed_mask;
    }
}

}  // namespace
}  // namespace forstrix::files
