// Failed writes: the writer's message, the old file byte for byte, no
// temporary file left behind, nothing passed on to a pipe; pipes and
// devices are written, never replaced.
#include "files/atomic_file.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cerrno>
#include <fstream>
#include <functional>
#include <future>

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
// fails every write (a full disk); /dev/zero takes everything. Neither is
// replaced by a file.
TEST(FailedWrites, EveryWriterNamesCauseAndPath) {
    test::ScratchDir dir;
    const State s = test::scenario("");
    std::vector<std::pair<fs::path, std::string>> rows = {
        {dir / "missing" / "daten.klg", "Der Ordner existiert nicht (mehr): " + (dir / "missing" / "daten.klg").string()}};
#ifndef _WIN32  // no devices in /dev on Windows
    rows.insert(rows.end(), {{"/dev/full", "Kein Platz mehr auf dem Datenträger: /dev/full"}, {"/dev/zero", ""}});
#endif
    const std::pair<std::string, std::function<Outcome(const fs::path&)>> writers[] = {
        {"Kalkulationsgrundlagen können\nnicht gespeichert werden!", [&](const fs::path& p) { return write_basics(p, s); }},
        {"Ergebnis konnte nicht gespeichert werden!", [&](const fs::path& p) { return write_report(p, s); }},
        {"Bestandsdatei kann nicht gespeichert werden!", [&](const fs::path& p) { return write_stand(p, s, {}); }}};
    for (const auto& [target, reason] : rows) {
        for (const auto& [fixed, write] : writers) {
            const Outcome r = write(target);
            EXPECT_EQ(r.message(), reason.empty() ? "" : fixed + "\n" + reason) << target;
            EXPECT_EQ(r.status, reason.empty() ? Status::Ok : Status::WriteFailed) << target;
        }
    }
    EXPECT_TRUE(dir.names().empty());
#ifndef _WIN32
    EXPECT_TRUE(fs::is_character_file("/dev/full") && fs::is_character_file("/dev/zero"));
#endif
}

TEST(FailedWrites, BasicsThatWouldNotLoadAgainAreNotWritten) {
    test::ScratchDir dir;
    test::write_file(dir / "daten.klg", "old");
    State s;
    s.gf_hab47 = 0.00001;  // the dialogs take "0,00001"; four decimals make it 0, a zero divisor
    const Outcome r = write_basics(dir / "daten.klg", s);
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.message().rfind("Kalkulationsgrundlagen können\nnicht gespeichert werden!\nDie Datei ließe sich nicht "
                              "wieder laden: Zeile 5, Wert \"0.0000\": gf_hab47: ", 0), 0u) << r.message();
    EXPECT_EQ(test::read_file(dir / "daten.klg"), "old");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"daten.klg"});
}

// The real file system with one step failing; every write is short.
enum Step { NoStep, Create, LaterWrite, WriteOfNothing, Sync, Close, Rename, OpenStream, Spool, ReadBack };
struct FailingIo : SystemIo {
    explicit FailingIo(Step step) : fail(step) {}
    Step fail;
    int writes = 0;
    // -1 with `error` where `step` is the one to fail, else what `call` gives.
    template <typename Call>
    auto unless(Step step, int error, Call call) { return fail == step ? (errno = error, decltype(call())(-1)) : call(); }
    int create_exclusive(const fs::path& p) override { return unless(Create, EACCES, [&] { return SystemIo::create_exclusive(p); }); }
    int open_stream(const fs::path& p) override { return unless(OpenStream, EIO, [&] { return SystemIo::open_stream(p); }); }
    int create_spool() override { return unless(Spool, EMFILE, [&] { return SystemIo::create_spool(); }); }
    long write(int fd, const char* data, std::size_t size) override {
        if (fail == WriteOfNothing) return 0;
        if (fail == LaterWrite && ++writes == 3) return errno = ENOSPC, -1;
        return SystemIo::write(fd, data, size / 2 + 1);
    }
    long read_at(int fd, char* data, std::size_t size, std::uint64_t at) override {
        return unless(ReadBack, EIO, [&] { return SystemIo::read_at(fd, data, size, at); });
    }
    int sync(int fd) override { return unless(Sync, EIO, [&] { return SystemIo::sync(fd); }); }
    int close(int fd) override { return SystemIo::close(fd) == 0 ? unless(Close, EIO, [] { return 0; }) : -1; }
    int rename(const fs::path& from, const fs::path& to) override {
        return unless(Rename, EXDEV, [&] { return SystemIo::rename(from, to); });
    }
};

// Where no step fails the short writes are continued, into a file as into
// a pipe, whose reader gets every byte at the end; where one fails the
// target stays as it was and a pipe's reader gets nothing. Five blocks of
// 300 kB: a pipe's share outgrows memory into the spool file.
TEST(FailedWrites, EachStepLeavesTheTargetAsItWas) {
    const struct {
        Step step;
        bool pipe;            // a named pipe as target, else a regular file
        AtomicFile::Step at;  // what failed
        std::string reason;
    } rows[] = {{NoStep, false, AtomicFile::Step::None, ""},
                {NoStep, true, AtomicFile::Step::None, ""},
                {Create, false, AtomicFile::Step::Create, "Keine Schreibberechtigung für den Ordner"},
                {LaterWrite, false, AtomicFile::Step::Write, "Kein Platz mehr auf dem Datenträger"},
                {WriteOfNothing, false, AtomicFile::Step::Write, "Kein Platz mehr auf dem Datenträger"},
                {Sync, false, AtomicFile::Step::Write, "Ein- oder Ausgabefehler des Datenträgers"},
                {Close, false, AtomicFile::Step::Write, "Ein- oder Ausgabefehler des Datenträgers"},
                {Rename, false, AtomicFile::Step::Write, "Die Datei liegt auf einem anderen Datenträger als ihr Ordner"},
                {OpenStream, true, AtomicFile::Step::Open, "Ein- oder Ausgabefehler des Datenträgers"},
                {Spool, true, AtomicFile::Step::Create, "Zu viele offene Dateien"},
                {LaterWrite, true, AtomicFile::Step::Write, "Kein Platz mehr auf dem Datenträger"},
                {ReadBack, true, AtomicFile::Step::Write, "Ein- oder Ausgabefehler des Datenträgers"}};
    const std::string block(300000, 'n');
    for (const auto& row : rows) {
        test::ScratchDir dir;
        const fs::path target = dir / "ziel";
#ifdef _WIN32
        if (row.pipe) continue;  // no named pipe in a folder on Windows
#else
        if (row.pipe) {
            ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
        }
#endif
        if (!row.pipe) test::write_file(target, "old bytes\r\n");
        // The pipe's reader: everything written, or nothing.
        auto piped = std::async(std::launch::async, [&] { return row.pipe ? test::read_file(target) : ""; });
        FailingIo io(row.step);
        AtomicFile file(io);
        bool ok = file.open(target);
        for (int k = 0; k < 5 && ok; ++k) ok = file.write(block);
        EXPECT_EQ(ok && file.commit(), row.step == NoStep) << "step " << row.step;
        if (row.pipe && row.step == OpenStream) std::ofstream(target) << "";  // lets the reader finish
        EXPECT_EQ(file.failed_step(), row.at) << "step " << row.step;
        EXPECT_TRUE(file.failure().reason.starts_with(row.reason)) << "step " << row.step << ": " << file.failure().reason;
        EXPECT_EQ(dir.names(), std::vector<std::string>{"ziel"}) << "step " << row.step;
        std::string expected = row.pipe || row.step == NoStep ? "" : "old bytes\r\n";
        for (int k = 0; k < 5 && row.step == NoStep; ++k) expected += block;
        EXPECT_EQ(row.pipe ? piped.get() : test::read_file(target), expected) << "step " << row.step;
    }
}

}  // namespace
}  // namespace forstrix::files
