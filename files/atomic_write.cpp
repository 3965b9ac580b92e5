#include "files/atomic_write.h"

#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>
#include <utility>

#include "core/message_text.h"
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

std::string reason_of(int error_number) {
    switch (error_number) {
        case EACCES:
        case EPERM: return "Keine Schreibberechtigung";
        case ENOSPC: return "Kein Platz mehr auf dem Datenträger";
#ifdef EDQUOT
        case EDQUOT: return "Der Speicherplatz des Benutzers ist erschöpft";
#endif
        case EROFS: return "Der Datenträger ist schreibgeschützt";
        case ENOENT: return "Der Ordner existiert nicht (mehr)";
        case ENOTDIR: return "Ein Teil des Pfades ist kein Ordner";
        case EISDIR: return "Das Ziel ist ein Ordner";
        case ELOOP: return "Die symbolischen Verknüpfungen bilden eine Schleife";
        case ENAMETOOLONG: return "Der Name ist zu lang";
        case EIO: return "Ein- oder Ausgabefehler des Datenträgers";
        case EFBIG: return "Die Datei wird zu groß";
        case EXDEV: return "Die Datei liegt auf einem anderen Datenträger als ihr Ordner";
        case EBUSY: return "Die Datei ist in Benutzung";
        case EMFILE:
        case ENFILE: return "Zu viele offene Dateien";
        default: break;
    }
    return "Systemfehler " + std::to_string(error_number) + " (" + std::system_category().message(error_number) + ")";
}

std::string describe(const WriteFailure& failure) {
    std::error_code ec;
    fs::path shown = failure.path.empty() ? failure.path : fs::absolute(failure.path, ec);
    if (ec) shown = failure.path;
    // A path is shown long enough to find the file, without a terminal's
    // control characters.
    return failure.reason + ": " + printable(shown.string(), 240);
}

bool resolve_write_target(const fs::path& path, WriteTarget& target, WriteFailure& failure) {
    auto fail = [&](std::string reason, const fs::path& where) {
        failure = {std::move(reason), where};
        return false;
    };
    if (path.filename().empty()) return fail("Kein Dateiname angegeben", path);

    // Follow the links one by one: the file a dangling link names is the one
    // to create, which a canonical path would not tell.
    constexpr int kMaxLinks = 40;  // as the kernel allows in one path
    fs::path p = path;
    std::error_code ec;
    fs::file_status st = fs::symlink_status(p, ec);
    for (int hops = 0; !ec && fs::is_symlink(st); ++hops) {
        if (hops == kMaxLinks) return fail(reason_of(ELOOP), path);
        const fs::path link = fs::read_symlink(p, ec);
        if (ec) break;
        p = link.is_absolute() ? link : p.parent_path() / link;
        st = fs::symlink_status(p, ec);
    }
    const bool missing = ec ? ec == std::errc::no_such_file_or_directory : !fs::exists(st);
    if (ec && !missing) return fail(reason_of(ec.value()), p);

    target.path = p;
    target.exists = !missing;
    if (missing) {
        const fs::path folder = p.parent_path().empty() ? fs::path(".") : p.parent_path();
        if (!fs::is_directory(folder, ec)) {
            if (p != path) return fail("Der Ordner der Datei, auf die die Verknüpfung zeigt, fehlt", p);
            return fail(reason_of(ENOENT), p);
        }
        return true;
    }
    if (fs::is_directory(st)) return fail(reason_of(EISDIR), p);
    if (!fs::is_regular_file(st))
        return fail("Das Ziel ist keine gewöhnliche Datei (ein Gerät oder eine Pipe)", p);
    constexpr fs::perms kWriteBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((st.permissions() & kWriteBits) == fs::perms::none) return fail("Die Datei ist schreibgeschützt", p);
#ifndef _WIN32
    if (::access(p.c_str(), W_OK) != 0) {
        const int e = errno;
        return fail(e == EACCES || e == EPERM ? std::string("Keine Schreibberechtigung für die Datei")
                                              : reason_of(e),
                    p);
    }
#endif
    return true;
}

bool atomic_write_blocks(const fs::path& path, const BlockSource& next, WriteIo& io, WriteFailure* failure) {
    WriteFailure why;
    auto fail = [&](int error_number, const fs::path& where) {
        if (failure != nullptr) *failure = {reason_of(error_number), where};
        return false;
    };
    WriteTarget resolved;
    if (!resolve_write_target(path, resolved, why)) {
        if (failure != nullptr) *failure = std::move(why);
        return false;
    }
    const fs::path& target = resolved.path;
    fs::path folder = target.parent_path();
    std::mt19937_64 rng{std::random_device{}()};

    // A new, exclusive temporary file beside the target.
    fs::path temp;
    int fd = -1;
    int create_error = 0;
    for (int attempt = 0; attempt < 64 && fd < 0; ++attempt) {
        temp = folder / fs::path("." + target.filename().string() + "." + random_suffix(rng) + ".tmp");
        fd = io.create_exclusive(temp);
        create_error = errno;
        if (fd < 0 && create_error != EEXIST) break;
    }
    if (fd < 0) {
        // Creating in the folder failed: a read-only or vanished folder.
        if (create_error == EACCES || create_error == EPERM) {
            if (failure != nullptr) *failure = {"Keine Schreibberechtigung für den Ordner", target};
            return false;
        }
        return fail(create_error, target);
    }

    auto give_up = [&](bool close_first, int error_number) {
        if (close_first) (void)io.close(fd);
        (void)io.remove(temp);
        return fail(error_number, target);
    };

    if (resolved.exists) io.adopt_permissions(fd, target);

    for (std::string_view bytes = next(); !bytes.empty(); bytes = next()) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const long n = io.write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return give_up(true, n == 0 ? ENOSPC : errno);
            done += static_cast<std::size_t>(n);
        }
    }
    if (io.sync(fd) != 0) return give_up(true, errno);
    if (io.close(fd) != 0) return give_up(false, errno);
    if (io.rename(temp, target) != 0) return give_up(false, errno);

    io.sync_folder(folder.empty() ? fs::path(".") : folder);
    return true;
}

bool atomic_write(const fs::path& path, std::string_view bytes, WriteIo& io, WriteFailure* failure) {
    bool given = false;
    return atomic_write_blocks(
        path, [&] { return std::exchange(given, true) ? std::string_view() : bytes; }, io, failure);
}

bool atomic_write(const fs::path& path, std::string_view bytes, WriteFailure* failure) {
    return atomic_write(path, bytes, system_io(), failure);
}

bool atomic_write_blocks(const fs::path& path, const BlockSource& next, WriteFailure* failure) {
    return atomic_write_blocks(path, next, system_io(), failure);
}

}  // namespace forstrix::files
