// Reading a small input file (the basics, a JSON scenario) whole, without
// ever waiting: a named pipe with no writer, a device or a folder where the
// file should be is refused at once instead of blocking the program.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace forstrix::files {

enum class ReadStatus {
    Ok,
    NotFound,  // no file of that name
    TooLarge,  // more than the limit: no file of the kind expected
    Failed     // exists but cannot be read; the reason says why
};

struct ReadFailure {
    std::string reason;  // German, e.g. "Keine Leseberechtigung"
    std::filesystem::path path;
};

// Reads the regular file `path` into `bytes` (at most `max_bytes`).
ReadStatus read_small_file(const std::filesystem::path& path, std::size_t max_bytes, std::string& bytes,
                           ReadFailure& failure);

// "<reason>: <absolute path>", one line, control characters escaped.
std::string describe_read(const ReadFailure& failure);

}  // namespace forstrix::files
