// libFuzzer target of the batch table reader: any bytes as the table of
// `forstrix-cli batch`, read through a path as the program reads it. The
// run ends with 0 (every result line has the header's number of cells),
// 1 or 2 (no result at all), and its messages hold no raw control
// character; never a crash, a hang or unbounded memory.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/batch.h"

namespace {

// An in-memory file that a path can name, so the reader opens it as a user's table.
struct MemFile {
    int fd = ::memfd_create("fuzz", MFD_CLOEXEC);
    ~MemFile() { ::close(fd); }
    std::string read_all() const {
        std::string s;
        char buf[65536];
        for (ssize_t n, at = 0; (n = ::pread(fd, buf, sizeof buf, at)) > 0; at += n) s.append(buf, std::size_t(n));
        return s;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1 << 16)) return 0;
    MemFile in, out, err;
    if (in.fd < 0 || out.fd < 0 || err.fd < 0) std::abort();
    if (size > 0 && ::write(in.fd, data, size) != static_cast<ssize_t>(size)) std::abort();
    std::FILE* out_file = ::fdopen(::dup(out.fd), "w");
    std::FILE* err_file = ::fdopen(::dup(err.fd), "w");
    // Rows computed on this thread: reproducible runs.
    const forstrix::cli::BatchOptions opt{"/proc/self/fd/" + std::to_string(in.fd), "", size > 0 && (data[0] & 1) != 0,
                                          false, 1, ""};
    const int status = forstrix::cli::run_batch(opt, forstrix::State{}, {}, out_file, err_file);
    std::fclose(out_file);
    std::fclose(err_file);

    const std::string result = out.read_all(), messages = err.read_all();
    if ((status != 0 && status != 1 && status != 2) || (status != 0 && !result.empty())) std::abort();
    if (std::any_of(messages.begin(), messages.end(), [](char c) { return (c >= 0 && c < 0x20 && c != '\n') || c == 0x7F; }))
        std::abort();
    if (status != 0) return 0;
    // Every line of the result is finished and has as many cells as its header.
    const char sep = result.find(';') < result.find(',') ? ';' : ',';
    std::ptrdiff_t cells = -1;
    for (std::size_t begin = 0, end; begin < result.size(); begin = end + 1) {
        if ((end = result.find('\n', begin)) == std::string::npos) std::abort();  // an unfinished line
        const auto n = std::count(result.begin() + std::ptrdiff_t(begin), result.begin() + std::ptrdiff_t(end), sep);
        if (cells >= 0 && n != cells) std::abort();
        cells = n;
    }
    return 0;
}
