// Replacing a file without ever losing the previous one: the bytes go to a
// temporary file in the same folder, every write, the flush and the close
// are checked, and only then is it renamed over the old file. The rule of
// which targets may be written at all, for every writer of the program.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace forstrix::files {

// Why a file could not be written, for the line that a failure message adds
// under its fixed text.
struct WriteFailure {
    std::string reason;           // German, e.g. "Die Datei ist schreibgeschützt"
    std::filesystem::path path;   // the file concerned
};

// "<reason>: <absolute path>", one line, control characters escaped; the
// reason alone where no path is concerned (standard output).
std::string describe(const WriteFailure& failure);

// The German reason for a failed system call (errno), for messages.
std::string reason_of(int error_number);

// The file that writing `path` really writes, or false with the reason:
//  - a named pipe or a character device (also through a link: /dev/null,
//    /dev/stdout) is a stream: written by its name, never replaced;
//  - a symbolic link is followed, so the link stays and the file it names
//    gets the bytes; a dangling link names a file to create, which is
//    refused where that file's folder is missing; a chain of links that
//    never ends (a loop) is refused;
//  - any other existing target must be a regular file (never a folder, a
//    block device or a socket), and one that the caller may not write, or
//    that carries no write permission bit at all, is refused: renaming over
//    it would need only the folder's permission, and a write-protected file
//    must stay (also for root, and on Windows for the read-only attribute);
//  - a new target needs its folder.
struct WriteTarget {
    std::filesystem::path path;  // the resolved file
    bool exists = false;
    bool stream = false;         // a pipe or a device
};
bool resolve_write_target(const std::filesystem::path& path, WriteTarget& target, WriteFailure& failure);

// Writes `bytes` as the whole content of `path` (files/atomic_file.h).
// true on success; on failure the target is untouched, no temporary file
// remains and `failure` (when given) says why.
bool atomic_write(const std::filesystem::path& path, std::string_view bytes, WriteFailure* failure = nullptr);

// The same for a text too large to hold at once: `next` returns the next
// block of bytes (valid until it is called again) and an empty view at the
// end. A table of a million rows is written with the memory of one block.
using BlockSource = std::function<std::string_view()>;
bool atomic_write_blocks(const std::filesystem::path& path, const BlockSource& next,
                        WriteFailure* failure = nullptr);

}  // namespace forstrix::files
