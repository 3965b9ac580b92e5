// The lines of a batch table, read in large blocks and handed out without
// copying them.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "files/read_stream.h"

namespace forstrix::cli::batch {

// A line stays valid until the next call. Memory does not grow with the
// number of rows, only (rarely) with the length of the longest line.
class LineReader {
public:
    explicit LineReader(files::ReadStream& in) : in_(in), buf_(std::size_t{1} << 20) {}

    // The next line without its line end (LF or CR LF); false at the end,
    // on a read error and on a line longer than kMaxLine.
    bool next(std::string_view& line);
    // The bytes after the current line, read ahead until there are `bytes`
    // of them, the buffer is full or the input ends. They stay in the buffer
    // for next(): a pipe is read once, so nothing read ahead may be lost.
    std::string_view ahead(std::size_t bytes);

    bool failed() const { return error_; }
    bool line_too_long() const { return too_long_; }
    bool last_had_cr() const { return last_cr_; }
    static constexpr std::size_t kMaxLine = std::size_t{64} << 20;

private:
    std::string_view take(std::size_t from, std::size_t to);
    void refill();

    files::ReadStream& in_;
    std::vector<char> buf_;
    std::size_t begin_ = 0, end_ = 0;
    bool eof_ = false, error_ = false, too_long_ = false, last_cr_ = false;
};

}  // namespace forstrix::cli::batch
