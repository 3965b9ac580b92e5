#include "files/atomic_write.h"

#include <cerrno>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "core/message_text.h"
#include "files/atomic_file.h"
#include "files/atomic_write_io.h"
#include "files/path_text.h"

namespace forstrix::files {

namespace fs = std::filesystem;

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
    if (failure.path.empty()) return failure.reason;
    std::error_code ec;
    fs::path shown = fs::absolute(failure.path, ec);
    if (ec) shown = failure.path;
    // A path is shown long enough to find the file, without a terminal's
    // control characters.
    return failure.reason + ": " + printable(utf8_of(shown), 240);
}

bool resolve_write_target(const fs::path& path, WriteTarget& target, WriteFailure& failure) {
    auto fail = [&](std::string reason, const fs::path& where) {
        failure = {std::move(reason), where};
        return false;
    };
    if (path.filename().empty()) return fail("Kein Dateiname angegeben", path);
    std::error_code ec;

    // A pipe or a device is written by its name, through any links: renaming
    // a file over /dev/null would break every program on the machine that
    // writes to it, and /dev/stdout names whatever standard output is.
    if (const fs::file_status followed = fs::status(path, ec);
        !ec && (fs::is_fifo(followed) || fs::is_character_file(followed))) {
        target = {path, true, true};
        return true;
    }
    ec.clear();

    // Follow the links one by one: the file a dangling link names is the one
    // to create, which a canonical path would not tell.
    constexpr int kMaxLinks = 40;  // as the kernel allows in one path
    fs::path p = path;
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
    if ((st.permissions() & kWriteBits) == fs::perms::none) return fail(kWriteProtected, p);
    if (std::optional<std::string> refused = write_refusal(p)) return fail(std::move(*refused), p);
    return true;
}

bool atomic_write_blocks(const fs::path& path, const BlockSource& next, WriteFailure* failure) {
    AtomicFile file;
    bool ok = file.open(path);
    while (ok) {
        const std::string_view bytes = next();
        if (bytes.empty()) break;
        ok = file.write(bytes);
    }
    ok = ok && file.commit();
    if (!ok && failure != nullptr) *failure = file.failure();
    return ok;
}

bool atomic_write(const fs::path& path, std::string_view bytes, WriteFailure* failure) {
    bool given = false;
    return atomic_write_blocks(path, [&] { return std::exchange(given, true) ? std::string_view() : bytes; }, failure);
}

}  // namespace forstrix::files
