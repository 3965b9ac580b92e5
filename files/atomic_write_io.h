// The system calls behind AtomicFile, behind an interface so that a test
// can let any single step fail (a full disk at the third write, a failing
// flush or close, a refused rename) and check that nothing is lost.
// Production code uses system_io(); a test derives from SystemIo and
// overrides only the step it lets fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace forstrix::files {

// Every call sets errno when it fails, as the POSIX calls do.
class WriteIo {
public:
    virtual ~WriteIo() = default;
    // Creates `path`, which must not exist yet, for writing; a descriptor or -1.
    virtual int create_exclusive(const std::filesystem::path& path) = 0;
    // Opens the existing pipe or device `path` for writing; a descriptor or -1.
    virtual int open_stream(const std::filesystem::path& path) = 0;
    // A file without a name among the temporary files, for writing and
    // reading back; it vanishes when closed. A descriptor or -1.
    virtual int create_spool() = 0;
    // Writes up to `size` bytes; the count written, or -1.
    virtual long write(int fd, const char* data, std::size_t size) = 0;
    // Reads up to `size` bytes from `offset` on; the count read (0 at the end), or -1.
    virtual long read_at(int fd, char* data, std::size_t size, std::uint64_t offset) = 0;
    // Flushes the file's data to the device; 0 or -1.
    virtual int sync(int fd) = 0;
    // 0 or -1; the descriptor is gone either way.
    virtual int close(int fd) = 0;
    // Replaces `to` by `from` in one step; 0 or -1.
    virtual int rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // 0 or -1.
    virtual int remove(const std::filesystem::path& path) = 0;
    // Best effort, no failure: give the new file the permission bits of the
    // one it will replace, and make a finished rename durable.
    virtual void adopt_permissions(int fd, const std::filesystem::path& original) = 0;
    virtual void sync_folder(const std::filesystem::path& folder) = 0;
};

// The real file system: POSIX calls, or their Windows counterparts.
class SystemIo : public WriteIo {
public:
    int create_exclusive(const std::filesystem::path& path) override;
    int open_stream(const std::filesystem::path& path) override;
    int create_spool() override;
    long write(int fd, const char* data, std::size_t size) override;
    long read_at(int fd, char* data, std::size_t size, std::uint64_t offset) override;
    int sync(int fd) override;
    int close(int fd) override;
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    int remove(const std::filesystem::path& path) override;
    void adopt_permissions(int fd, const std::filesystem::path& original) override;
    void sync_folder(const std::filesystem::path& folder) override;
};

WriteIo& system_io();

// The reason given for a file that must stay as it is.
inline constexpr const char* kWriteProtected = "Die Datei ist schreibgeschützt";

// Why the existing regular file `path` may not be written although its
// permission bits allow it (another owner, a read-only attribute), or
// nothing.
std::optional<std::string> write_refusal(const std::filesystem::path& path);

}  // namespace forstrix::files
