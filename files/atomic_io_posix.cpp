// The POSIX half of the writer's system calls (files/atomic_io_win.cpp is
// the Windows one). Opening, reading, writing and flushing are repeated when
// a signal interrupts them; close never is (the descriptor is gone anyway).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "files/atomic_write.h"
#include "files/atomic_write_io.h"

namespace forstrix::files {

namespace fs = std::filesystem;

namespace {

template <typename Call>
auto retried(Call call) {
    decltype(call()) r;
    do {
        r = call();
    } while (r < 0 && errno == EINTR);
    return r;
}

}  // namespace

int SystemIo::create_exclusive(const fs::path& path) {
    // 0666 less the umask: the permissions of any file the user creates.
    return retried([&] { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); });
}

int SystemIo::open_stream(const fs::path& path) {
    // A named pipe waits here until its reader opens it, as a shell's
    // redirection into it does.
    return retried([&] { return ::open(path.c_str(), O_WRONLY | O_CLOEXEC); });
}

int SystemIo::create_spool() {
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    std::string name = ((ec ? fs::path("/tmp") : folder) / "forstrix-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd >= 0) {
        (void)::unlink(name.c_str());  // nameless from here on: gone with its descriptor
        (void)::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    return fd;
}

long SystemIo::write(int fd, const char* data, std::size_t size) {
    return static_cast<long>(retried([&] { return ::write(fd, data, size); }));
}

long SystemIo::read_at(int fd, char* data, std::size_t size, std::uint64_t offset) {
    return static_cast<long>(retried([&] { return ::pread(fd, data, size, static_cast<off_t>(offset)); }));
}

int SystemIo::sync(int fd) { return retried([&] { return ::fsync(fd); }) == 0 ? 0 : -1; }

int SystemIo::close(int fd) { return ::close(fd) == 0 ? 0 : -1; }

int SystemIo::rename(const fs::path& from, const fs::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : -1;
}

int SystemIo::remove(const fs::path& path) { return ::unlink(path.c_str()) == 0 ? 0 : -1; }

void SystemIo::adopt_permissions(int fd, const fs::path& original) {
    struct stat st {};
    if (::stat(original.c_str(), &st) == 0) (void)::fchmod(fd, st.st_mode & 07777);
}

void SystemIo::sync_folder(const fs::path& folder) {
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    (void)::fsync(dfd);
    (void)::close(dfd);
}

std::optional<std::string> write_refusal(const fs::path& path) {
    // Renaming over a file needs only the folder's permission; the file's
    // own decides whether it may be replaced.
    if (::access(path.c_str(), W_OK) == 0) return std::nullopt;
    const int e = errno;
    return e == EACCES || e == EPERM ? std::string("Keine Schreibberechtigung für die Datei") : reason_of(e);
}

}  // namespace forstrix::files
