#include "files/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <random>
#include <utility>
#include <vector>

namespace forstrix::files {

namespace fs = std::filesystem;

namespace {

// Bytes held for a pipe, a device or standard output are kept in memory up
// to this size, beyond it in the spool file: a table of a million rows
// needs no more memory than one block of it.
constexpr std::size_t kHeldInMemory = std::size_t{1} << 20;

std::string random_suffix() {
    static constexpr char kDigits[] = "0123456789abcdef";
    thread_local std::mt19937_64 rng{std::random_device{}()};
    std::uint64_t r = rng();
    std::string s(12, '0');
    for (char& c : s) {
        c = kDigits[r & 0xF];
        r >>= 4;
    }
    return s;
}

// 0, or the error number of the write that failed. A write that moves
// nothing means the device is full.
int write_all(WriteIo& io, int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const long n = io.write(fd, bytes.data(), bytes.size());
        if (n <= 0) return n == 0 ? ENOSPC : errno;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Where the spool file lives, for a message about it.
fs::path spool_folder() {
    std::error_code ec;
    fs::path folder = fs::temp_directory_path(ec);
    return ec ? fs::path() : folder;
}

}  // namespace

WriteIo& system_io() {
    static SystemIo io;
    return io;
}

AtomicFile::AtomicFile(WriteIo& io, Durability durability) : io_(io), durability_(durability) {}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::fail(Step step, std::string reason, const fs::path& where) {
    step_ = step;
    failure_ = {std::move(reason), where};
    discard();
    return false;
}

bool AtomicFile::fail(Step step, int error_number) { return fail(step, reason_of(error_number), target_); }

void AtomicFile::start() {
    discard();
    step_ = Step::None;
    failure_ = {};
    target_.clear();
    replaces_file_ = false;
}

// Starts afresh on the target `path` names (links followed, the rule of
// every writer); false when it cannot be written at all.
bool AtomicFile::begin(const fs::path& path, WriteTarget& target) {
    start();
    if (!resolve_write_target(path, target, failure_)) {
        step_ = Step::Target;
        return false;
    }
    target_ = target.path;
    return true;
}

bool AtomicFile::open(const fs::path& path) {
    WriteTarget target;
    if (!begin(path, target)) return false;
    if (target.stream) {
        fd_ = io_.open_stream(target_);
        if (fd_ < 0) return fail(Step::Open, errno);
        streaming_ = true;
        return true;
    }
    replaces_file_ = true;
    if (!reserve_temp(target_.filename())) return false;
    if (target.exists) io_.adopt_permissions(fd_, target_);
    return true;
}

// A new, exclusive temporary file beside the target, so that the rename
// stays on one file system.
bool AtomicFile::reserve_temp(const fs::path& base) {
    for (int attempt = 0; attempt < 64 && fd_ < 0; ++attempt) {
        fs::path name(".");
        name += base;  // in the system's own encoding of names
        name += "." + random_suffix() + ".tmp";
        temp_ = target_.parent_path() / name;
        fd_ = io_.create_exclusive(temp_);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        const int e = errno;
        temp_.clear();  // none was created
        // Creating in the folder failed: a read-only or vanished folder.
        if (e == EACCES || e == EPERM) return fail(Step::Create, "Keine Schreibberechtigung für den Ordner", target_);
        return fail(Step::Create, e);
    }
    return true;
}

bool AtomicFile::open_named(const fs::path& path, std::vector<std::string> parts) {
    WriteTarget target;
    if (!begin(path, target)) return false;
    if (target.stream) return fail(Step::Target, "Das Ziel ist keine gewöhnliche Datei (ein Gerät oder eine Pipe)", target_);
    replaces_file_ = true;
    // The reserved name keeps every other writer off this random stem; the
    // library's file is that name with the target's extension. The stem's
    // own dots become underscores: a library that opens a spreadsheet as a
    // zip archive takes the first ".xlsx" or ".ods" in a path for its end.
    auto stem = target_.stem().native();
    std::replace(stem.begin(), stem.end(), decltype(stem)::value_type('.'), decltype(stem)::value_type('_'));
    if (!reserve_temp(fs::path(stem))) return false;
    (void)io_.close(std::exchange(fd_, -1));
    named_ = temp_;
    named_ += target_.extension();
    parts_ = std::move(parts);
    return true;
}

fs::path AtomicFile::part_of(const fs::path& main, const std::string& extension) const {
    fs::path p = main;
    p.replace_extension(fs::path(extension));
    return p;
}

bool AtomicFile::commit_named() {
    std::error_code ec;
    for (const std::string& ext : parts_) {
        const fs::path from = part_of(named_, ext), to = part_of(target_, ext);
        if (fs::exists(from, ec)) {
            if (io_.rename(from, to) != 0) return fail(Step::Write, errno);
        } else if (fs::exists(to, ec) && io_.remove(to) != 0) {
            return fail(Step::Write, errno);
        }
    }
    if (io_.rename(named_, target_) != 0) return fail(Step::Write, errno);
    named_.clear();
    parts_.clear();
    if (durability_ == Durability::Synced)
        io_.sync_folder(target_.parent_path().empty() ? fs::path(".") : target_.parent_path());
    discard();
    return true;
}

bool AtomicFile::open(std::FILE* stream) {
    start();
    stream_ = stream;
    streaming_ = true;
    return true;
}

bool AtomicFile::write(std::string_view bytes) {
    if (step_ != Step::None) return false;
    if (fd_ < 0 && stream_ == nullptr) return fail(Step::Write, EBADF);
    if (!streaming_) {
        const int e = write_all(io_, fd_, bytes);
        return e == 0 || fail(Step::Write, e);
    }
    if (spool_ < 0 && held_.size() + bytes.size() <= kHeldInMemory) {
        held_.append(bytes);
        return true;
    }
    if (spool_ < 0 && (spool_ = io_.create_spool()) < 0) return fail(Step::Create, reason_of(errno), spool_folder());
    for (const std::string_view part : {std::string_view(held_), bytes}) {
        if (const int e = write_all(io_, spool_, part)) return fail(Step::Write, reason_of(e), spool_folder());
        spooled_ += part.size();
    }
    held_.clear();
    return true;
}

bool AtomicFile::pass_on(std::string_view bytes) {
    if (stream_ == nullptr) {
        const int e = write_all(io_, fd_, bytes);
        return e == 0 || fail(Step::Write, e);
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) == bytes.size()) return true;
    return fail(Step::Write, errno != 0 ? errno : EIO);
}

bool AtomicFile::commit() {
    if (step_ != Step::None) return false;
    if (!named_.empty()) return commit_named();
    if (fd_ < 0 && stream_ == nullptr) return fail(Step::Write, EBADF);
    if (streaming_) {
        std::vector<char> block(spool_ >= 0 ? kHeldInMemory : 0);
        for (std::uint64_t at = 0; at < spooled_;) {
            const long n = io_.read_at(spool_, block.data(), block.size(), at);
            if (n <= 0) return fail(Step::Write, reason_of(n == 0 ? EIO : errno), spool_folder());
            if (!pass_on({block.data(), static_cast<std::size_t>(n)})) return false;
            at += static_cast<std::uint64_t>(n);
        }
        if (!pass_on(held_)) return false;
        if (stream_ != nullptr) {
            errno = 0;
            if (std::fflush(stream_) != 0) return fail(Step::Write, errno != 0 ? errno : EIO);
        } else if (io_.close(std::exchange(fd_, -1)) != 0) {
            return fail(Step::Write, errno);
        }
    } else {
        if (durability_ == Durability::Synced && io_.sync(fd_) != 0) return fail(Step::Write, errno);
        if (io_.close(std::exchange(fd_, -1)) != 0) return fail(Step::Write, errno);
        if (io_.rename(temp_, target_) != 0) return fail(Step::Write, errno);
        temp_.clear();
        if (durability_ == Durability::Synced)
            io_.sync_folder(target_.parent_path().empty() ? fs::path(".") : target_.parent_path());
    }
    discard();
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) (void)io_.close(std::exchange(fd_, -1));
    if (spool_ >= 0) (void)io_.close(std::exchange(spool_, -1));
    if (!named_.empty()) {
        std::error_code ec;
        for (const std::string& ext : parts_)
            if (const fs::path part = part_of(named_, ext); fs::exists(part, ec)) (void)io_.remove(part);
        if (fs::exists(named_, ec)) (void)io_.remove(named_);
        // A database library's journal, had it stopped half-way.
        for (const char* side : {"-journal", "-wal", "-shm"}) {
            fs::path p = named_;
            p += side;
            if (fs::exists(p, ec)) (void)io_.remove(p);
        }
        named_.clear();
        parts_.clear();
    }
    if (!temp_.empty()) (void)io_.remove(std::exchange(temp_, fs::path()));
    stream_ = nullptr;
    streaming_ = false;
    held_.clear();
    spooled_ = 0;
}

}  // namespace forstrix::files
