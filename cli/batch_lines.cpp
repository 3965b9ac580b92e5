#include "cli/batch_lines.h"

#include <algorithm>
#include <cstring>

namespace forstrix::cli::batch {

bool LineReader::next(std::string_view& line) {
    for (;;) {
        const char* data = buf_.data();
        if (const void* nl = std::memchr(data + begin_, '\n', end_ - begin_)) {
            const std::size_t pos = static_cast<std::size_t>(static_cast<const char*>(nl) - data);
            line = take(begin_, pos);
            begin_ = pos + 1;
            return true;
        }
        if (error_) return false;  // a read error or an endless line: no partial line
        if (eof_) {
            if (begin_ == end_) return false;
            line = take(begin_, end_);
            begin_ = end_;
            return true;
        }
        refill();
    }
}

std::string_view LineReader::ahead(std::size_t bytes) {
    while (!eof_ && !error_ && end_ - begin_ < bytes) {
        if (begin_ == 0 && end_ == buf_.size()) break;
        refill();
    }
    return {buf_.data() + begin_, std::min(end_ - begin_, bytes)};
}

std::string_view LineReader::take(std::size_t from, std::size_t to) {
    last_cr_ = to > from && buf_[to - 1] == '\r';
    if (last_cr_) --to;
    return {buf_.data() + from, to - from};
}

void LineReader::refill() {
    if (begin_ > 0) {
        std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buf_.size()) {
        // A line of this length is no table row (perhaps no text file at
        // all); refusing it keeps memory bounded.
        if (buf_.size() >= kMaxLine) {
            too_long_ = error_ = true;
            return;
        }
        buf_.resize(buf_.size() * 2);
    }
    const long n = in_.read(buf_.data() + end_, buf_.size() - end_);
    if (n < 0) error_ = true;
    else if (n == 0) eof_ = true;
    else end_ += static_cast<std::size_t>(n);
}

}  // namespace forstrix::cli::batch
