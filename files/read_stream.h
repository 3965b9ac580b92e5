// A table read in blocks, from a file, a named pipe or standard input,
// without holding it whole: the command line's batch reads a million rows
// through it.
#pragma once

#include <cstddef>
#include <filesystem>

namespace forstrix::files {

class ReadStream {
public:
    ReadStream() = default;
    ~ReadStream();
    ReadStream(const ReadStream&) = delete;
    ReadStream& operator=(const ReadStream&) = delete;

    // 0, or the error number of the failed open. A named pipe is opened
    // at once and read from its start; it waits for data, not for a writer.
    int open(const std::filesystem::path& path);
    // Standard input, which stays open afterwards.
    void open_standard_input();
    // Whether what was opened is a folder (which opens, but holds no rows).
    bool is_folder() const;
    // Reads up to `size` bytes: the count, 0 at the end, -1 on failure.
    long read(char* data, std::size_t size);

private:
    int fd_ = -1;
    bool owned_ = false;
#ifdef _WIN32
    bool folder_ = false;  // Windows opens no folder as a file: noted instead
#endif
};

}  // namespace forstrix::files
