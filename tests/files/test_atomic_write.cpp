// Failed writes: the Part's message, the old file byte for byte, no
// temporary file left behind.
#include "files/atomic_write.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files/atomic_write_io.h"
#include "files/basics_file.h"
#include "files/report.h"
#include "support.h"

namespace forstrix::files {
namespace {

namespace fs = std::filesystem;

const std::string kBasicsFailure = "Kalkulationsgrundlagen können\nnicht gespeichert werden!";
const std::string kReportFailure = "Ergebnis konnte nicht gespeichert werden!";

// /dev/full fails every write; as a device it is never replaced (as root a
// rename over it would succeed), and nothing is created in /dev either.
TEST(FailedWrites, MissingFolderAndDevFull) {
    ASSERT_TRUE(fs::is_character_file("/dev/full")) << "/dev/full is not the device it should be";
    test::ScratchDir dir;
    const State s = test::scenario("");
    const std::pair<fs::path, std::string> rows[] = {
        {dir / "missing" / "daten.klg", "Der Ordner existiert nicht (mehr): " + (dir / "missing" / "daten.klg").string()},
        {"/dev/full", "Das Ziel ist keine gewöhnliche Datei (ein Gerät oder eine Pipe): /dev/full"}};
    for (const auto& [target, reason] : rows) {
        const Outcome basics = write_basics(target, s), report = write_report(target, s);
        EXPECT_EQ(basics.status, Status::WriteFailed) << target;
        EXPECT_EQ(basics.message(), kBasicsFailure + "\n" + reason) << target;
        EXPECT_EQ(report.status, Status::WriteFailed) << target;
        EXPECT_EQ(report.message(), kReportFailure + "\n" + reason) << target;
    }
    EXPECT_TRUE(dir.names().empty());
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    for (const auto& e : fs::directory_iterator("/dev"))
        EXPECT_NE(e.path().filename().string().rfind(".full.", 0), 0u) << "temporary file left: " << e.path();
}

TEST(FailedWrites, BasicsThatWouldNotLoadAgainAreNotWritten) {
    test::ScratchDir dir;
    test::write_file(dir / "daten.klg", "old");
    State s;
    s.gf_hab47 = 0.00001;  // the dialogs take "0,00001"; four decimals make it 0, a zero divisor
    const Outcome r = write_basics(dir / "daten.klg", s);
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.message().rfind(kBasicsFailure + "\nDie Datei ließe sich nicht wieder laden: Zeile 5, Wert \"0.0000\": "
                                               "gf_hab47: ", 0), 0u) << r.message();
    EXPECT_EQ(test::read_file(dir / "daten.klg"), "old");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"daten.klg"});
}

// The real file system with one step of atomic_write failing.
enum Step { NoStep, Create, FirstWrite, LaterWrite, WriteOfNothing, Sync, Close, Rename };
struct FailingIo : WriteIo {
    explicit FailingIo(Step step) : fail(step) {}
    Step fail;
    int writes = 0;
    int create_exclusive(const fs::path& p) override {
        return fail == Create ? (errno = ENOSPC, -1) : system_io().create_exclusive(p);
    }
    long write(int fd, const char* data, std::size_t size) override {
        ++writes;
        if (fail == WriteOfNothing) return 0;
        if ((fail == FirstWrite && writes == 1) || (fail == LaterWrite && writes == 3)) return errno = ENOSPC, -1;
        return system_io().write(fd, data, std::min<std::size_t>(size, 10));  // short writes
    }
    int sync(int fd) override { return fail == Sync ? (errno = EIO, -1) : system_io().sync(fd); }
    int close(int fd) override {
        const int r = system_io().close(fd);
        return fail == Close ? (errno = EIO, -1) : r;
    }
    int rename(const fs::path& from, const fs::path& to) override {
        return fail == Rename ? (errno = EXDEV, -1) : system_io().rename(from, to);
    }
    int remove(const fs::path& p) override { return system_io().remove(p); }
};

// Five blocks of 20 bytes, as a long table is written.
BlockSource five_blocks(int& given) {
    return [&given] { return given++ < 5 ? std::string_view("0123456789abcdefghij") : std::string_view(); };
}

TEST(FailedWrites, EachStepOfTheAtomicWrite) {
    for (const bool blocks : {false, true}) {
        for (Step step : {Create, FirstWrite, LaterWrite, WriteOfNothing, Sync, Close, Rename}) {
            test::ScratchDir dir;
            test::write_file(dir / "daten.klg", "old bytes\r\n");
            FailingIo io(step);
            int given = 0;
            EXPECT_FALSE(blocks ? atomic_write_blocks(dir / "daten.klg", five_blocks(given), io)
                                : atomic_write(dir / "daten.klg", std::string(100, 'n'), io))
                << "step " << step << (blocks ? " in blocks" : "");
            EXPECT_EQ(test::read_file(dir / "daten.klg"), "old bytes\r\n") << "step " << step;
            EXPECT_EQ(dir.names(), std::vector<std::string>{"daten.klg"}) << "step " << step;
        }
    }
    test::ScratchDir dir;  // where no step fails, the short writes are continued
    FailingIo io(NoStep);
    ASSERT_TRUE(atomic_write(dir / "erg.txt", std::string(1000, 'z'), io));
    EXPECT_EQ(test::read_file(dir / "erg.txt"), std::string(1000, 'z'));
    int given = 0;
    ASSERT_TRUE(atomic_write_blocks(dir / "table.csv", five_blocks(given), io));
    std::string five;
    for (int k = 0; k < 5; ++k) five += "0123456789abcdefghij";
    EXPECT_EQ(test::read_file(dir / "table.csv"), five);
}

}  // namespace
}  // namespace forstrix::files
