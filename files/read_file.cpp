#include "files/read_file.h"

#include <cerrno>
#include <system_error>

#include "core/message_text.h"
#include "files/path_text.h"

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace forstrix::files {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolder = "Die Datei ist ein Ordner";
constexpr const char* kNotRegular = "Die Datei ist keine gewöhnliche Datei (ein Gerät oder eine Pipe)";

std::string read_reason(int error_number) {
    switch (error_number) {
        case EACCES:
        case EPERM: return "Keine Leseberechtigung";
        case EISDIR: return kFolder;
        case ELOOP: return "Die symbolischen Verknüpfungen bilden eine Schleife";
        case ENOTDIR: return "Ein Teil des Pfades ist kein Ordner";
        case EIO: return "Ein- oder Ausgabefehler des Datenträgers";
        case ENAMETOOLONG: return "Der Name ist zu lang";
        default: break;
    }
    return "Systemfehler " + std::to_string(error_number) + " (" + std::system_category().message(error_number) + ")";
}

}  // namespace

std::string describe_read(const ReadFailure& failure) {
    std::error_code ec;
    fs::path shown = fs::absolute(failure.path, ec);
    if (ec) shown = failure.path;
    return failure.reason + ": " + printable(utf8_of(shown), 240);
}

#ifdef _WIN32
ReadStatus read_small_file(const fs::path& path, std::size_t max_bytes, std::string& bytes, ReadFailure& failure) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (!fs::exists(st)) return ReadStatus::NotFound;
    failure.path = path;
    if (fs::is_directory(st)) return failure.reason = kFolder, ReadStatus::Failed;
    if (!fs::is_regular_file(st)) return failure.reason = kNotRegular, ReadStatus::Failed;
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure.reason = read_reason(EACCES), ReadStatus::Failed;
    bytes.clear();
    char buf[8192];
    while (in) {
        in.read(buf, sizeof buf);
        bytes.append(buf, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > max_bytes) return ReadStatus::TooLarge;
    }
    if (in.bad()) return failure.reason = read_reason(EIO), ReadStatus::Failed;
    return ReadStatus::Ok;
}
#else
ReadStatus read_small_file(const fs::path& path, std::size_t max_bytes, std::string& bytes, ReadFailure& failure) {
    failure.path = path;
    // O_NONBLOCK: opening a named pipe must not wait for a writer.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT) return ReadStatus::NotFound;
        failure.reason = read_reason(errno);
        return ReadStatus::Failed;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        failure.reason = read_reason(errno);
        return ReadStatus::Failed;
    }
    if (S_ISDIR(st.st_mode)) {
        failure.reason = kFolder;
        return ReadStatus::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        failure.reason = kNotRegular;
        return ReadStatus::Failed;
    }
    bytes.clear();
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            failure.reason = read_reason(errno);
            return ReadStatus::Failed;
        }
        if (n == 0) return ReadStatus::Ok;
        bytes.append(buf, static_cast<std::size_t>(n));
        if (bytes.size() > max_bytes) return ReadStatus::TooLarge;
    }
}
#endif

}  // namespace forstrix::files
