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
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd); }
    std::string read_all() const {
        std::string s;
        char buf[65536];
        ::lseek(fd, 0, SEEK_SET);
        for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) s.append(buf, static_cast<std::size_t>(n));
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

    forstrix::cli::BatchOptions opt;
    opt.in_path = in.path();
    opt.skip_invalid = size > 0 && (data[0] & 1) != 0;
    opt.threads = 1;  // rows computed on this thread: reproducible runs
    const forstrix::State base;
    const int status = forstrix::cli::run_batch(opt, base, {}, out_file, err_file);
    std::fclose(out_file);
    std::fclose(err_file);

    const std::string result = out.read_all(), messages = err.read_all();
    if (status != 0 && status != 1 && status != 2) std::abort();
    if (status != 0 && !result.empty()) std::abort();  // refused: nothing written
    for (const char c : messages) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\n') || u == 0x7F) std::abort();
    }
    if (status == 0) {
        // Every line of the result has as many cells as its header.
        const char sep = result.find(';') < result.find(',') ? ';' : ',';
        std::size_t begin = 0, cells = 0;
        while (begin < result.size()) {
            const std::size_t end = result.find('\n', begin);
            if (end == std::string::npos) std::abort();  // an unfinished line
            const auto n = static_cast<std::size_t>(std::count(result.begin() + static_cast<std::ptrdiff_t>(begin),
                                                               result.begin() + static_cast<std::ptrdiff_t>(end), sep));
            if (begin == 0) cells = n;
            else if (n != cells) std::abort();
            begin = end + 1;
        }
    }
    return 0;
}
