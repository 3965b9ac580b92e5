#include "files/atomic_write.h"

#include <cerrno>
#include <csignal>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "files/atomic_write_io.h"
#include "test_util.h"

namespace forstrix::files {
namespace {

using test::read_file;
using test::ScratchDir;
using test::write_file;
namespace fs = std::filesystem;

const std::string kOld = "old bytes\r\nsecond line\r\n";
const std::string kNew = "new bytes\r\n";

TEST(AtomicWrite, CreatesANewFile) {
    ScratchDir dir;
    ASSERT_TRUE(atomic_write(dir / "erg.txt", kNew));
    EXPECT_EQ(read_file(dir / "erg.txt"), kNew);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"erg.txt"});
}

TEST(AtomicWrite, ReplacesAnExistingFileWhole) {
    ScratchDir dir;
    write_file(dir / "erg.txt", kOld);
    ASSERT_TRUE(atomic_write(dir / "erg.txt", kNew));
    EXPECT_EQ(read_file(dir / "erg.txt"), kNew);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"erg.txt"});
}

TEST(AtomicWrite, WritesEmptyAndBinaryContent) {
    ScratchDir dir;
    ASSERT_TRUE(atomic_write(dir / "a", ""));
    EXPECT_EQ(read_file(dir / "a"), "");
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    ASSERT_TRUE(atomic_write(dir / "b", all));
    EXPECT_EQ(read_file(dir / "b"), all);
}

TEST(AtomicWrite, WritesALargeFile) {
    ScratchDir dir;
    std::string big(1024 * 1024 + 17, 'x');
    ASSERT_TRUE(atomic_write(dir / "big", big));
    EXPECT_EQ(read_file(dir / "big"), big);
}

TEST(AtomicWrite, KeepsThePermissionsOfTheReplacedFile) {
    ScratchDir dir;
    write_file(dir / "daten.klg", kOld);
    fs::permissions(dir / "daten.klg", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(atomic_write(dir / "daten.klg", kNew));
    EXPECT_EQ(fs::status(dir / "daten.klg").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(AtomicWrite, FollowsASymbolicLinkAndKeepsIt) {
    ScratchDir dir;
    fs::create_directory(dir / "real");
    write_file(dir / "real" / "daten.klg", kOld);
    fs::create_symlink(dir / "real" / "daten.klg", dir / "daten.klg");
    ASSERT_TRUE(atomic_write(dir / "daten.klg", kNew));
    EXPECT_TRUE(fs::is_symlink(dir / "daten.klg"));
    EXPECT_EQ(read_file(dir / "real" / "daten.klg"), kNew);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"daten.klg", "real"}));
    EXPECT_EQ(fs::directory_iterator(dir / "real")->path().filename(), "daten.klg");
}

TEST(AtomicWrite, RelativePathInTheCurrentFolder) {
    ScratchDir dir;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const bool ok = atomic_write("erg.txt", kNew);
    fs::current_path(before);
    ASSERT_TRUE(ok);
    EXPECT_EQ(read_file(dir / "erg.txt"), kNew);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"erg.txt"});
}

// ------------------------------------------------------------ failures

TEST(AtomicWriteFails, FolderDoesNotExist) {
    ScratchDir dir;
    EXPECT_FALSE(atomic_write(dir / "no_such_folder" / "erg.txt", kNew));
    EXPECT_TRUE(dir.names().empty());
}

TEST(AtomicWriteFails, TargetIsAFolder) {
    ScratchDir dir;
    fs::create_directory(dir / "erg.txt");
    write_file(dir / "erg.txt" / "inside", kOld);
    EXPECT_FALSE(atomic_write(dir / "erg.txt", kNew));
    EXPECT_TRUE(fs::is_directory(dir / "erg.txt"));
    EXPECT_EQ(read_file(dir / "erg.txt" / "inside"), kOld);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"erg.txt"});
}

// /dev/full fails every write with "no space left on device". It is a device,
// not a regular file, so it is never replaced (as root a rename over it would
// succeed and destroy the device node); nothing is created in /dev either.
TEST(AtomicWriteFails, DevFullIsNotReplaced) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    EXPECT_FALSE(atomic_write("/dev/full", kNew));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    for (const auto& e : fs::directory_iterator("/dev"))
        EXPECT_NE(e.path().filename().string().rfind(".full.", 0), 0u) << "temporary file left: " << e.path();
}

TEST(AtomicWriteFails, SymbolicLinkToDevFullIsNotFollowedIntoDev) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    ScratchDir dir;
    fs::create_symlink("/dev/full", dir / "daten.klg");
    EXPECT_FALSE(atomic_write(dir / "daten.klg", kNew));
    EXPECT_TRUE(fs::is_symlink(dir / "daten.klg"));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(AtomicWriteFails, FolderInAReadOnlyFileSystem) {
    // /proc refuses new files even to root.
    if (!fs::is_directory("/proc/self")) GTEST_SKIP() << "no /proc on this system";
    EXPECT_FALSE(atomic_write("/proc/self/erg.txt", kNew));
}

// A real short write: the file-size limit makes write() fail with EFBIG
// after the first bytes, as a full disk fails it with ENOSPC. Root is subject
// to it too, unlike file permissions.
TEST(AtomicWriteFails, DiskFullDuringTheWriteKeepsTheOldFile) {
    ScratchDir dir;
    write_file(dir / "daten.klg", kOld);
    struct rlimit old_limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old_limit;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = atomic_write(dir / "daten.klg", std::string(100000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(read_file(dir / "daten.klg"), kOld);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"daten.klg"});
}

// ------------------------------------------- every step failing in turn

enum class Step { Create, FirstWrite, LaterWrite, ZeroWrite, Sync, Close, Rename };

// The real file system, with one step made to fail.
class FailingIo : public WriteIo {
public:
    explicit FailingIo(Step fail) : fail_(fail) {}
    int create_exclusive(const fs::path& p) override {
        if (fail_ == Step::Create) return errno = ENOSPC, -1;
        return system_io().create_exclusive(p);
    }
    long write(int fd, const char* data, std::size_t size) override {
        ++writes_;
        if (fail_ == Step::FirstWrite && writes_ == 1) return errno = ENOSPC, -1;
        if (fail_ == Step::ZeroWrite) return 0;
        if (fail_ == Step::LaterWrite) {
            if (writes_ >= 3) return errno = ENOSPC, -1;
            return system_io().write(fd, data, size < 10 ? size : 10);  // short writes
        }
        return system_io().write(fd, data, size);
    }
    int sync(int fd) override {
        if (fail_ == Step::Sync) return errno = EIO, -1;
        return system_io().sync(fd);
    }
    int close(int fd) override {
        const int r = system_io().close(fd);
        if (fail_ == Step::Close) return errno = EIO, -1;
        return r;
    }
    int rename(const fs::path& from, const fs::path& to) override {
        if (fail_ == Step::Rename) return errno = EXDEV, -1;
        return system_io().rename(from, to);
    }
    int remove(const fs::path& p) override { return system_io().remove(p); }

private:
    Step fail_;
    int writes_ = 0;
};

class AtomicWriteStepFails : public ::testing::TestWithParam<Step> {};

TEST_P(AtomicWriteStepFails, OldFileStaysAndNoTemporaryFileRemains) {
    ScratchDir dir;
    write_file(dir / "daten.klg", kOld);
    FailingIo io(GetParam());
    EXPECT_FALSE(atomic_write(dir / "daten.klg", std::string(100, 'n'), io));
    EXPECT_EQ(read_file(dir / "daten.klg"), kOld);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"daten.klg"});
}

TEST_P(AtomicWriteStepFails, NoFileAppearsWhereThereWasNone) {
    ScratchDir dir;
    FailingIo io(GetParam());
    EXPECT_FALSE(atomic_write(dir / "erg.txt", std::string(100, 'n'), io));
    EXPECT_TRUE(dir.names().empty());
}

INSTANTIATE_TEST_SUITE_P(EachStep, AtomicWriteStepFails,
                         ::testing::Values(Step::Create, Step::FirstWrite, Step::LaterWrite, Step::ZeroWrite,
                                           Step::Sync, Step::Close, Step::Rename),
                         [](const ::testing::TestParamInfo<Step>& p) {
                             switch (p.param) {
                                 case Step::Create: return std::string("Create");
                                 case Step::FirstWrite: return std::string("FirstWrite");
                                 case Step::LaterWrite: return std::string("LaterShortWrite");
                                 case Step::ZeroWrite: return std::string("WriteOfNothing");
                                 case Step::Sync: return std::string("Sync");
                                 case Step::Close: return std::string("Close");
                                 case Step::Rename: return std::string("Rename");
                             }
                             return std::string("Unknown");
                         });

TEST(AtomicWrite, ShortWritesAreContinued) {
    // Every write taking at most 10 bytes still gives the whole file.
    class ShortIo : public FailingIo {
    public:
        ShortIo() : FailingIo(Step::Create) {}
        int create_exclusive(const fs::path& p) override { return system_io().create_exclusive(p); }
        long write(int fd, const char* data, std::size_t size) override {
            return system_io().write(fd, data, size < 7 ? size : 7);
        }
    } io;
    ScratchDir dir;
    const std::string text(1000, 'z');
    ASSERT_TRUE(atomic_write(dir / "erg.txt", text, io));
    EXPECT_EQ(read_file(dir / "erg.txt"), text);
}

}  // namespace
}  // namespace forstrix::files
