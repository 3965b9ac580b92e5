#include "files/atomic_write.h"

#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>
#include <utility>

#include "files/atomic_write_io.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <cstdio>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace forstrix::files {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
class SystemIo final : public WriteIo {
public:
    int create_exclusive(const fs::path& path) override {
        int fd = -1;
        if (_wsopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYRW,
                      _S_IREAD | _S_IWRITE) != 0)
            return -1;
        return fd;
    }
    long write(int fd, const char* data, std::size_t size) override {
        const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
        return _write(fd, data, chunk);
    }
    int sync(int fd) override { return _commit(fd) == 0 ? 0 : -1; }
    int close(int fd) override { return _close(fd) == 0 ? 0 : -1; }
    int rename(const fs::path& from, const fs::path& to) override {
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : -1;
    }
    int remove(const fs::path& path) override { return _wremove(path.c_str()) == 0 ? 0 : -1; }
};
#else
class SystemIo final : public WriteIo {
public:
    int create_exclusive(const fs::path& path) override {
        int fd;
        do {
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        return fd;
    }
    long write(int fd, const char* data, std::size_t size) override {
        ssize_t n;
        do {
            n = ::write(fd, data, size);
        } while (n < 0 && errno == EINTR);
        return static_cast<long>(n);
    }
    int sync(int fd) override {
        int r;
        do {
            r = ::fsync(fd);
        } while (r < 0 && errno == EINTR);
        return r == 0 ? 0 : -1;
    }
    int close(int fd) override { return ::close(fd) == 0 ? 0 : -1; }
    int rename(const fs::path& from, const fs::path& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : -1;
    }
    int remove(const fs::path& path) override { return ::unlink(path.c_str()) == 0 ? 0 : -1; }
    void adopt_permissions(int fd, const fs::path& original) override {
        struct stat st {};
        if (::stat(original.c_str(), &st) == 0) (void)::fchmod(fd, st.st_mode & 07777);
    }
    void sync_folder(const fs::path& folder) override {
        const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd < 0) return;
        (void)::fsync(dfd);
        (void)::close(dfd);
    }
};
#endif

// The file that is really to be replaced: a symbolic link is followed, so
// that the link survives and its target gets the new bytes.
fs::path resolve_target(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec) return resolved;
    }
    return path;
}

std::string random_suffix(std::mt19937_64& rng) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::uint64_t r = rng();
    std::string s(12, '0');
    for (char& c : s) {
        c = kDigits[r & 0xF];
        r >>= 4;
    }
    return s;
}

}  // namespace

WriteIo& system_io() {
    static SystemIo io;
    return io;
}

bool atomic_write_blocks(const fs::path& path, const BlockSource& next, WriteIo& io) {
    const fs::path target = resolve_target(path);
    if (target.filename().empty()) return false;

    // Only a regular file, or nothing, is ever replaced.
    std::error_code ec;
    const fs::file_status st = fs::status(target, ec);
    const bool exists = fs::exists(st);
    if (ec && !exists && st.type() != fs::file_type::not_found) return false;
    if (exists && !fs::is_regular_file(st)) return false;

    fs::path folder = target.parent_path();
    std::mt19937_64 rng{std::random_device{}()};

    // A new, exclusive temporary file beside the target.
    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 64 && fd < 0; ++attempt) {
        temp = folder / fs::path("." + target.filename().string() + "." + random_suffix(rng) + ".tmp");
        fd = io.create_exclusive(temp);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return false;

    auto give_up = [&](bool close_first) {
        if (close_first) (void)io.close(fd);
        (void)io.remove(temp);
        return false;
    };

    if (exists) io.adopt_permissions(fd, target);

    for (std::string_view bytes = next(); !bytes.empty(); bytes = next()) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const long n = io.write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return give_up(true);
            done += static_cast<std::size_t>(n);
        }
    }
    if (io.sync(fd) != 0) return give_up(true);
    if (io.close(fd) != 0) return give_up(false);
    if (io.rename(temp, target) != 0) return give_up(false);

    io.sync_folder(folder.empty() ? fs::path(".") : folder);
    return true;
}

bool atomic_write(const fs::path& path, std::string_view bytes, WriteIo& io) {
    bool given = false;
    return atomic_write_blocks(path, [&] { return std::exchange(given, true) ? std::string_view() : bytes; }, io);
}

bool atomic_write(const fs::path& path, std::string_view bytes) {
    return atomic_write(path, bytes, system_io());
}

bool atomic_write_blocks(const fs::path& path, const BlockSource& next) {
    return atomic_write_blocks(path, next, system_io());
}

}  // namespace forstrix::files
