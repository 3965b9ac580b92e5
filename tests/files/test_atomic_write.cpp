// Failed writes: the writer's message, the old file byte for byte, no
// temporary file left behind, nothing passed on to a pipe; pipes and
// devices are written, never replaced.
#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files/basics_file.h"
#include "files/report.h"
#include "files/stand_file.h"
#include "support.h"

namespace forstrix::files {
namespace {

namespace fs = std::filesystem;

// Each writer of the program, wired to the one atomic writer: its fixed
// text, then the reason and the path on a line of their own. /dev/full
// fails every write (a full disk); /dev/null takes everything. Neither is
// replaced, and nothing is created beside them.
TEST(FailedWrites, EveryWriterNamesCauseAndPath) {
    ASSERT_TRUE(fs::is_character_file("/dev/full") && fs::is_character_file("/dev/null"));
    test::ScratchDir dir;
    const State s = test::scenario("");
    const std::pair<fs::path, std::string> rows[] = {
        {dir / "missing" / "daten.klg", "Der Ordner existiert nicht (mehr): " + (dir / "missing" / "daten.klg").string()},
        {"/dev/full", "Kein Platz mehr auf dem Datenträger: /dev/full"},
        {"/dev/null", ""}};
    const std::pair<std::string, std::function<Outcome(const fs::path&)>> writers[] = {
        {"Kalkulationsgrundlagen können\nnicht gespeichert werden!", [&](const fs::path& p) { return write_basics(p, s); }},
        {"Ergebnis konnte nicht gespeichert werden!", [&](const fs::path& p) { return write_report(p, s); }},
        {"Bestandsdatei kann nicht gespeichert werden!", [&](const fs::path& p) { return write_stand(p, s, {}); }}};
    for (const auto& [target, reason] : rows) {
        for (const auto& [fixed, write] : writers) {
            const Outcome r = write(target);
            EXPECT_EQ(r.message, reason.empty() ? "" : fixed + "\n" + reason) << target;
            EXPECT_EQ(r.status, reason.empty() ? Status::Ok : Status::WriteFailed) << target;
        }
    }
    EXPECT_TRUE(dir.names().empty());
    EXPECT_TRUE(fs::is_character_file("/dev/full") && fs::is_character_file("/dev/null"));
    for (const auto& e : fs::directory_iterator("/dev")) {
        const std::string name = e.path().filename().string();
        EXPECT_FALSE(name.starts_with(".full.") || name.starts_with(".null.")) << "temporary file left: " << name;
    }
}

TEST(FailedWrites, BasicsThatWouldNotLoadAgainAreNotWritten) {
    test::ScratchDir dir;
    test::write_file(dir / "daten.klg", "old");
    State s;
    s.gf_hab47 = 0.00001;  // the dialogs take "0,00001"; four decimals make it 0, a zero divisor
    const Outcome r = write_basics(dir / "daten.klg", s);
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.message.rfind("Kalkulationsgrundlagen können\nnicht gespeichert werden!\nDie Datei ließe sich nicht "
                              "wieder laden: Zeile 5, Wert \"0.0000\": gf_hab47: ", 0), 0u) << r.message;
    EXPECT_EQ(test::read_file(dir / "daten.klg"), "old");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"daten.klg"});
}

// The real file system with one step failing; every write is short.
enum Step { NoStep, Create, FirstWrite, LaterWrite, WriteOfNothing, Sync, Close, Rename, OpenStream, Spool, ReadBack };
struct FailingIo : SystemIo {
    explicit FailingIo(Step step) : fail(step) {}
    Step fail;
    int writes = 0;
    int create_exclusive(const fs::path& p) override {
        return fail == Create ? (errno = EACCES, -1) : SystemIo::create_exclusive(p);
    }
    int open_stream(const fs::path& p) override { return fail == OpenStream ? (errno = EIO, -1) : SystemIo::open_stream(p); }
    int create_spool() override { return fail == Spool ? (errno = EMFILE, -1) : SystemIo::create_spool(); }
    long write(int fd, const char* data, std::size_t size) override {
        ++writes;
        if (fail == WriteOfNothing) return 0;
        if ((fail == FirstWrite && writes == 1) || (fail == LaterWrite && writes == 3)) return errno = ENOSPC, -1;
        return SystemIo::write(fd, data, size / 2 + 1);
    }
    long read_at(int fd, char* data, std::size_t size, std::uint64_t at) override {
        return fail == ReadBack ? (errno = EIO, -1) : SystemIo::read_at(fd, data, size, at);
    }
    int sync(int fd) override { return fail == Sync ? (errno = EIO, -1) : SystemIo::sync(fd); }
    int close(int fd) override {
        const int r = SystemIo::close(fd);
        return fail == Close ? (errno = EIO, -1) : r;
    }
    int rename(const fs::path& from, const fs::path& to) override {
        return fail == Rename ? (errno = EXDEV, -1) : SystemIo::rename(from, to);
    }
};

// Five blocks of 300 kB: a pipe's share outgrows memory into the spool file.
const std::string kBlock(300000, 'n');

bool write_five_blocks(AtomicFile& file, const fs::path& target) {
    bool ok = file.open(target);
    for (int k = 0; k < 5 && ok; ++k) ok = file.write(kBlock);
    return ok && file.commit();
}

TEST(FailedWrites, EachStepLeavesTheTargetAsItWas) {
    const struct {
        Step step;
        bool pipe;            // a named pipe as target, else a regular file
        AtomicFile::Step at;  // what failed
        std::string reason;
    } rows[] = {{Create, false, AtomicFile::Step::Create, "Keine Schreibberechtigung für den Ordner"},
                {FirstWrite, false, AtomicFile::Step::Write, "Kein Platz mehr auf dem Datenträger"},
                {LaterWrite, false, AtomicFile::Step::Write, "Kein Platz mehr auf dem Datenträger"},
                {WriteOfNothing, false, AtomicFile::Step::Write, "Kein Platz mehr auf dem Datenträger"},
                {Sync, false, AtomicFile::Step::Write, "Ein- oder Ausgabefehler des Datenträgers"},
                {Close, false, AtomicFile::Step::Write, "Ein- oder Ausgabefehler des Datenträgers"},
                {Rename, false, AtomicFile::Step::Write, "Die Datei liegt auf einem anderen Datenträger als ihr Ordner"},
                {OpenStream, true, AtomicFile::Step::Open, "Ein- oder Ausgabefehler des Datenträgers"},
                {Spool, true, AtomicFile::Step::Create, "Zu viele offene Dateien"},
                {LaterWrite, true, AtomicFile::Step::Write, "Kein Platz mehr auf dem Datenträger"},
                {ReadBack, true, AtomicFile::Step::Write, "Ein- oder Ausgabefehler des Datenträgers"}};
    for (const auto& row : rows) {
        test::ScratchDir dir;
        const fs::path target = dir / "ziel";
        int reader = -1;
        if (row.pipe) {
            ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
            reader = ::open(target.c_str(), O_RDONLY | O_NONBLOCK);  // so that opening it to write never waits
        } else {
            test::write_file(target, "old bytes\r\n");
        }
        FailingIo io(row.step);
        AtomicFile file(io);
        EXPECT_FALSE(write_five_blocks(file, target)) << "step " << row.step;
        EXPECT_EQ(file.failed_step(), row.at) << "step " << row.step;
        EXPECT_TRUE(file.failure().reason.starts_with(row.reason)) << "step " << row.step << ": " << file.failure().reason;
        EXPECT_EQ(dir.names(), std::vector<std::string>{"ziel"}) << "step " << row.step;
        if (row.pipe) {
            char byte = 0;
            EXPECT_LE(::read(reader, &byte, 1), 0) << "step " << row.step << ": bytes reached the pipe";
            ::close(reader);
        } else {
            EXPECT_EQ(test::read_file(target), "old bytes\r\n") << "step " << row.step;
        }
    }
}

// Where no step fails, the short writes are continued, into a file as into
// a pipe, whose reader gets every byte at the end.
TEST(FailedWrites, ShortWritesAreContinued) {
    std::string five;
    for (int k = 0; k < 5; ++k) five += kBlock;
    test::ScratchDir dir;
    FailingIo io(NoStep);
    AtomicFile file(io);
    ASSERT_TRUE(write_five_blocks(file, dir / "table.csv"));
    EXPECT_EQ(test::read_file(dir / "table.csv"), five);
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    auto piped = std::async(std::launch::async, [&] { return test::read_file(dir / "pipe"); });
    ASSERT_TRUE(write_five_blocks(file, dir / "pipe"));
    EXPECT_EQ(piped.get(), five);
}

}  // namespace
}  // namespace forstrix::files
