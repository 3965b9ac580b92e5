// The system calls behind atomic_write, behind an interface so that a test
// can let any single step fail (a full disk at the third write, a failing
// flush or close, a refused rename) and check that nothing is lost.
// Production code calls atomic_write(path, bytes), which uses system_io().
#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

#include "files/atomic_write.h"

namespace forstrix::files {

class WriteIo {
public:
    virtual ~WriteIo() = default;
    // Creates `path`, which must not exist yet, for writing; a descriptor or -1.
    virtual int create_exclusive(const std::filesystem::path& path) = 0;
    // Writes up to `size` bytes; the count written, or -1.
    virtual long write(int fd, const char* data, std::size_t size) = 0;
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
    virtual void adopt_permissions(int /*fd*/, const std::filesystem::path& /*original*/) {}
    virtual void sync_folder(const std::filesystem::path& /*folder*/) {}
};

// The real file system.
WriteIo& system_io();

bool atomic_write(const std::filesystem::path& path, std::string_view bytes, WriteIo& io,
                  WriteFailure* failure = nullptr);
bool atomic_write_blocks(const std::filesystem::path& path, const BlockSource& next, WriteIo& io,
                         WriteFailure* failure = nullptr);

}  // namespace forstrix::files
