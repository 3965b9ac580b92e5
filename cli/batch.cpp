#include "cli/batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "cli/inputs.h"
#include "core/calc.h"
#include "core/numtext.h"
#include "core/registry.h"
#include "core/message_text.h"
#include "files/atomic_write.h"
#include "files/cp1252.h"

namespace forstrix::cli {

namespace {

// ------------------------------------------------------------ reading lines
// Reads a file in large blocks and hands out its lines without copying them.
// A line stays valid until the next call. Memory does not grow with the
// number of rows, only (rarely) with the length of the longest line.
class LineReader {
public:
    explicit LineReader(int fd) : fd_(fd), buf_(1 << 20) {}

    bool next(std::string_view& line) {
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
    // The bytes after the current line, read ahead until there are `bytes`
    // of them, the buffer is full or the input ends. They stay in the buffer
    // for next(): a pipe is read once, so nothing read ahead may be lost.
    std::string_view ahead(std::size_t bytes) {
        while (!eof_ && !error_ && end_ - begin_ < bytes) {
            if (begin_ == 0 && end_ == buf_.size()) break;
            refill();
        }
        return {buf_.data() + begin_, std::min(end_ - begin_, bytes)};
    }
    bool failed() const { return error_; }
    bool line_too_long() const { return too_long_; }
    bool last_had_cr() const { return last_cr_; }
    static constexpr std::size_t kMaxLine = std::size_t{64} << 20;

private:
    std::string_view take(std::size_t from, std::size_t to) {
        last_cr_ = to > from && buf_[to - 1] == '\r';
        if (last_cr_) --to;
        return {buf_.data() + from, to - from};
    }
    void refill() {
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
        for (;;) {
            const ssize_t n = ::read(fd_, buf_.data() + end_, buf_.size() - end_);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error_ = true;
            else if (n == 0) eof_ = true;
            else end_ += static_cast<std::size_t>(n);
            return;
        }
    }

    int fd_;
    std::vector<char> buf_;
    std::size_t begin_ = 0, end_ = 0;
    bool eof_ = false, error_ = false, too_long_ = false, last_cr_ = false;
};

struct Fd {
    int fd = -1;
    bool owned = true;  // standard input stays open
    explicit Fd(int f, bool own = true) : fd(f), owned(own) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0 && owned) ::close(fd);
    }
};

// ------------------------------------------------------------ splitting cells
// Splits a line at `sep`. A cell in double quotes, as spreadsheets write
// text, loses its quotes; a doubled quote inside stays as it is (it cannot
// be part of a number, so the cell is refused with its text shown).
void split_cells(std::string_view line, char sep, std::vector<std::string_view>& cells) {
    cells.clear();
    std::size_t i = 0;
    for (;;) {
        if (i < line.size() && line[i] == '"') {
            std::size_t j = i + 1;
            while (j < line.size()) {
                if (line[j] == '"') {
                    if (j + 1 < line.size() && line[j + 1] == '"') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            if (j < line.size() && (j + 1 == line.size() || line[j + 1] == sep)) {
                cells.push_back(line.substr(i + 1, j - i - 1));
                if (j + 1 == line.size()) return;
                i = j + 2;
                continue;
            }
            // Unbalanced quotes: fall through and take the cell as it stands.
        }
        const std::size_t end = line.find(sep, i);
        if (end == std::string_view::npos) {
            cells.push_back(line.substr(i));
            return;
        }
        cells.push_back(line.substr(i, end - i));
        i = end + 1;
    }
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool all_empty(const std::vector<std::string_view>& cells) {
    for (std::string_view c : cells)
        if (!trim(c).empty()) return false;
    return true;
}

// ------------------------------------------------------------ writing output
// Writes all bytes, checking every call.
bool write_all(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

template <typename Int>
char* put_int(char* p, Int v) {
    return std::to_chars(p, p + 16, v).ptr;
}

// The text last written for a column. In a table of stands many results
// repeat from row to row (the costs of a system that no column of the table
// touches, a value that follows from the species alone), and copying them is
// far cheaper than converting them again.
struct LastText {
    static constexpr std::size_t kRoom = 32;
    std::uint64_t bits = 0;
    std::size_t length = 0;  // 0: nothing kept
    char text[kRoom];
};

// Writes a value of the state; false when a decimal is not finite.
bool put_value(char*& p, const State& s, const ValueInfo& v, char decimal, LastText& last) {
    switch (v.type) {
    case ValueType::Double: {
        const double d = s.*(v.d);
        if (!std::isfinite(d)) return false;
        const auto bits = std::bit_cast<std::uint64_t>(d);
        if (last.length != 0 && last.bits == bits) {
            std::memcpy(p, last.text, LastText::kRoom);
            p += last.length;
            return true;
        }
        // Fixed notation, shortest digits that read back to the same
        // double: spreadsheets read it without guessing at exponents.
        char* const start = p;
        p = write_fixed_shortest(p, d, decimal);
        const auto length = static_cast<std::size_t>(p - start);
        if (length <= LastText::kRoom) {
            std::memcpy(last.text, start, LastText::kRoom);
            last.length = length;
            last.bits = bits;
        }
        return true;
    }
    case ValueType::UInt:
        p = put_int(p, s.*(v.u));
        return true;
    case ValueType::Int:
        p = put_int(p, s.*(v.i));
        return true;
    }
    return true;
}

// The cells reasons_sys1 ... reasons_sys6, each after a separator: the names
// of the values that keep a system from suiting the stand, separated by
// single blanks, in the order of the stand dialog; empty for a suitable
// system.
char* put_reasons(char* p, const State& s, char sep) {
    const std::uint64_t failing = failing_conditions(suitability_inputs(s));
    for (int i = 0; i < kSystemCount; ++i) {
        *p++ = sep;
        const std::uint64_t mine = failing & system_conditions(i);
        bool first = true;
        for (std::size_t k = 0; k < kSuitabilityConditions.size(); ++k) {
            if ((mine & (std::uint64_t{1} << k)) == 0) continue;
            if (!first) *p++ = ' ';
            first = false;
            const std::string_view name = stand_value_info(kSuitabilityConditions[k].value).name;
            std::memcpy(p, name.data(), name.size());
            p += name.size();
        }
    }
    return p;
}
// Room for the six cells: every condition's name (at most 8 characters)
// once with a blank, and the separators.
constexpr std::size_t kReasonsRoom = kSuitabilityConditions.size() * 16 + kSystemCount;

// ------------------------------------------------------------ output target
// Where the result table goes until it is complete: a temporary file next to
// the output file (renamed over it at the end), or an anonymous temporary
// file that is copied to standard output, or to a device or pipe given as
// the output, once every row has passed.
class Target {
public:
    bool open(const std::string& out_path, std::string& error) {
        const std::string shown = "Ausgabedatei \"" + printable(out_path, 240) + "\"";
        struct stat st {};
        const bool device = !out_path.empty() && ::stat(out_path.c_str(), &st) == 0 &&
                            !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
        if (device) {
            // /dev/null, a terminal or a named pipe is written to, never
            // replaced: renaming a file over /dev/null would break every
            // program on the machine that writes to it.
            device_ = ::open(out_path.c_str(), O_WRONLY | O_CLOEXEC);
            if (device_ < 0) {
                error = "Ausgabe \"" + printable(out_path, 240) + "\" kann nicht geöffnet werden: " +
                        files::reason_of(errno) + ".";
                return false;
            }
        }
        if (out_path.empty() || device_ >= 0) {
            spool_ = std::tmpfile();
            if (spool_ == nullptr) {
                error = "Zwischendatei für die Ausgabe kann nicht angelegt werden: " + files::reason_of(errno) + ".";
                return false;
            }
            fd_ = ::fileno(spool_);
            return true;
        }
        // The rules of every writer of the program: through a symbolic link
        // the file it names gets the table and the link stays; a folder, a
        // write-protected file, a link loop or a missing folder is refused.
        files::WriteTarget target;
        files::WriteFailure failure;
        if (!files::resolve_write_target(out_path, target, failure)) {
            error = shown + " kann nicht geschrieben werden: " + files::describe(failure);
            return false;
        }
        final_ = target.path.string();
        temp_ = final_ + ".tmpXXXXXX";
        fd_ = ::mkstemp(temp_.data());
        if (fd_ < 0) {
            const int e = errno;
            error = shown + " kann nicht angelegt werden: " +
                    files::describe({e == EACCES || e == EPERM ? std::string("Keine Schreibberechtigung für den Ordner")
                                                               : files::reason_of(e),
                                     final_});
            temp_.clear();
            return false;
        }
        // mkstemp makes the file private; the result table keeps the
        // permissions of the file it replaces, or gets those of any file
        // the user creates.
        mode_t mode = 0;
        if (target.exists && ::stat(final_.c_str(), &st) == 0) {
            mode = st.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        ::fchmod(fd_, mode);
        return true;
    }
    int fd() const { return fd_; }

    // Completes the output; false with a message when any step failed.
    bool commit(std::FILE* out, std::string& error) {
        if (spool_ != nullptr) {
            bool ok = std::fflush(spool_) == 0 && std::fseek(spool_, 0, SEEK_SET) == 0;
            std::vector<char> block(1 << 20);
            while (ok) {
                const std::size_t n = std::fread(block.data(), 1, block.size(), spool_);
                if (n > 0) {
                    ok = device_ >= 0 ? write_all(device_, block.data(), n)
                                      : std::fwrite(block.data(), 1, n, out) == n;
                }
                if (n < block.size()) {
                    ok = ok && !std::ferror(spool_);
                    break;
                }
            }
            if (device_ >= 0) {
                ok = ::close(device_) == 0 && ok;
                device_ = -1;
            } else {
                ok = std::fflush(out) == 0 && ok;
            }
            std::fclose(spool_);
            spool_ = nullptr;
            fd_ = -1;
            if (!ok) error = "Ausgabe kann nicht geschrieben werden.";
            return ok;
        }
        // No fsync: the table can always be computed again, and forcing a
        // gigabyte of results to disk would cost more than computing them.
        // The rename alone guarantees that a reader sees the old file or
        // the complete new one, never a part.
        const bool ok = ::close(fd_) == 0;
        fd_ = -1;
        const bool renamed = ok && std::rename(temp_.c_str(), final_.c_str()) == 0;
        if (!renamed) {
            error = "Ausgabedatei kann nicht geschrieben werden: " + files::describe({files::reason_of(errno), final_});
            ::unlink(temp_.c_str());
        }
        temp_.clear();
        return renamed;
    }

    // Throws the output away; an existing output file stays as it was.
    void discard() {
        if (spool_ != nullptr) {
            std::fclose(spool_);
            spool_ = nullptr;
        } else if (fd_ >= 0) {
            ::close(fd_);
        }
        if (device_ >= 0) ::close(device_);
        fd_ = device_ = -1;
        if (!temp_.empty()) ::unlink(temp_.c_str());
        temp_.clear();
    }

    ~Target() { discard(); }

private:
    std::FILE* spool_ = nullptr;
    int fd_ = -1;
    int device_ = -1;  // a device or pipe given as output
    std::string final_, temp_;
};

// ------------------------------------------------------------ messages
void append_line_message(std::string& out, unsigned long line, std::string_view name,
                         std::string_view message) {
    // Messages of the checks mostly begin with the value's name already.
    // A cell can be as long as a line; a message shows enough of it.
    // Control characters and escape sequences are shown escaped, so that a
    // cell cannot act on the terminal.
    constexpr std::size_t kMaxShown = 400;
    std::string joined(message.substr(0, 4 * kMaxShown));
    std::replace(joined.begin(), joined.end(), '\n', ' ');
    std::string msg = printable(display_text(joined), kMaxShown);
    name = name.substr(0, kMaxShown);
    out += "Zeile ";
    out += std::to_string(line);
    if (name.empty()) {
        out += ": ";
    } else {
        out += ", ";
        if (!(msg.starts_with(name) && msg.size() > name.size() && msg[name.size()] == ':')) {
            out += printable(display_text(name), 60);
            out += ": ";
        }
    }
    out += msg;
    out += '\n';
}

// The decimal mark the table uses: the first point or comma in the first
// MiB of its data. The bytes come from the reader's look-ahead, so a pipe
// is read once and gives every row.
constexpr std::size_t kMarkScan = std::size_t{1} << 20;
char first_decimal_mark(std::string_view data) {
    for (char c : data)
        if (c == ',' || c == '.') return c;
    return 0;
}

// Length of the valid UTF-8 sequence at the start of `s`, or 0.
std::size_t utf8_length(std::string_view s) {
    const auto c = static_cast<unsigned char>(s[0]);
    const std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80) return 0;
    return len;
}

// ------------------------------------------------------------ the rows
// What every row needs to know about the table.
struct Table {
    char sep = ',';
    char decimal = '.';
    std::string_view eol;
    bool skip_invalid = false;
    std::vector<const ValueInfo*> columns;  // the input columns, in table order
    std::vector<const ValueInfo*> outputs;  // input columns, then the results
    // With --reasons: the output column after which the six reason cells
    // follow (the last flag); else past the end.
    std::size_t reasons_after = SIZE_MAX;
    const State* base = nullptr;
    std::span<const Given> given;           // from the command line
};

// A block of consecutive rows: its lines going in, its result rows and
// messages coming out. Blocks are computed side by side and written in order.
struct Chunk {
    std::string text;                  // the lines, each ended by '\n'
    std::vector<std::size_t> starts;   // where each line begins in `text`
    std::vector<unsigned long> line_no;
    std::vector<char> out;             // the result rows
    std::size_t out_used = 0;
    std::string messages;              // for standard error, in row order
    unsigned long bad = 0, good = 0;

    void clear() {
        text.clear();
        starts.clear();
        line_no.clear();
        out_used = 0;
        messages.clear();
        bad = good = 0;
    }
};

constexpr std::size_t kRowsPerChunk = 512;

// What one thread needs to compute rows; reused from row to row, so a row
// allocates nothing.
struct Worker {
    std::vector<std::string_view> cells;
    std::vector<LastText> last;  // one per output column
    std::vector<Given> row_given;
    ScenarioOutcome outcome;
    State s;
};

void process_chunk(const Table& t, Chunk& c, Worker& w, std::atomic<bool>& any_bad) {
    const std::size_t room = t.outputs.size() * (kMaxFixedChars + 1) + 2 +
                             (t.reasons_after < t.outputs.size() ? kReasonsRoom : 0);
    if (w.last.size() != t.outputs.size()) w.last.assign(t.outputs.size(), LastText{});
    for (std::size_t r = 0; r < c.starts.size(); ++r) {
        const std::size_t end = r + 1 < c.starts.size() ? c.starts[r + 1] : c.text.size();
        const std::string_view line(c.text.data() + c.starts[r], end - c.starts[r] - 1);
        const unsigned long line_no = c.line_no[r];
        split_cells(line, t.sep, w.cells);
        if (all_empty(w.cells)) continue;  // blank lines, spreadsheet filler rows
        if (w.cells.size() != t.columns.size()) {
            ++c.bad;
            append_line_message(c.messages, line_no, {},
                                std::to_string(w.cells.size()) + " Felder statt " +
                                    std::to_string(t.columns.size()) + " (Trennzeichen '" + t.sep + "').");
            continue;
        }
        w.row_given.assign(t.given.begin(), t.given.end());
        bool cells_ok = true;
        for (std::size_t k = 0; k < w.cells.size(); ++k) {
            Problem problem;
            if (std::optional<double> v = read_number(*t.columns[k], w.cells[k], problem)) {
                w.row_given.push_back({t.columns[k], *v});
            } else {
                cells_ok = false;
                append_line_message(c.messages, line_no, problem.name, problem.message);
            }
        }
        if (!cells_ok) {
            ++c.bad;
            continue;
        }

        w.s = *t.base;
        compute_scenario(w.s, w.row_given, nullptr, w.outcome, /*machines_done=*/true);
        if (!w.outcome.ok()) {
            ++c.bad;
            for (const Problem& p : w.outcome.problems)
                append_line_message(c.messages, line_no, p.name, p.message);
            continue;
        }
        for (const std::string& warning : w.outcome.warnings)
            append_line_message(c.messages, line_no, "Warnung", "Warnung: " + warning);

        // Once a row has failed the table is not written: only check on.
        if (!t.skip_invalid && (c.bad > 0 || any_bad.load(std::memory_order_relaxed))) continue;

        if (c.out.size() < c.out_used + room) c.out.resize(std::max(c.out.size() * 2, c.out_used + room));
        char* const start = c.out.data() + c.out_used;
        char* p = start;
        const ValueInfo* not_finite = nullptr;
        for (std::size_t k = 0; k < t.outputs.size(); ++k) {
            if (k > 0) *p++ = t.sep;
            if (!put_value(p, w.s, *t.outputs[k], t.decimal, w.last[k])) {
                not_finite = t.outputs[k];
                break;
            }
            if (k == t.reasons_after) p = put_reasons(p, w.s, t.sep);
        }
        if (not_finite != nullptr) {
            ++c.bad;
            append_line_message(c.messages, line_no, not_finite->name,
                                std::string(not_finite->name) +
                                    ": das Ergebnis ist keine endliche Zahl; die Eingaben sind "
                                    "außerhalb jedes sinnvollen Bereichs.");
            continue;
        }
        std::memcpy(p, t.eol.data(), t.eol.size());
        c.out_used = static_cast<std::size_t>(p + t.eol.size() - c.out.data());
        ++c.good;
    }
    if (c.bad > 0) any_bad.store(true, std::memory_order_relaxed);
}

// Reads the rows in blocks, computes the blocks on worker threads and
// writes their results and messages in the order of the table. A fixed ring
// of blocks keeps memory flat whatever the number of rows.
class Pipeline {
public:
    Pipeline(const Table& t, unsigned workers) : t_(t), slots_(workers == 0 ? 1 : 2 * workers + 1) {
        for (unsigned k = 0; k < workers; ++k) threads_.emplace_back([this] { work(); });
        if (workers == 0) inline_worker_ = std::make_unique<Worker>();
    }
    ~Pipeline() { finish_threads(); }

    // The next block to fill; blocks whose rows are all written are reused.
    Chunk& next_free(int fd, std::FILE* err) {
        std::unique_lock<std::mutex> lock(m_);
        while (filled_ - written_ >= slots_.size()) write_oldest(lock, fd, err);
        Chunk& c = slots_[filled_ % slots_.size()].chunk;
        c.clear();
        return c;
    }
    // Hands the block last returned by next_free to the workers.
    void submit(int fd, std::FILE* err) {
        std::unique_lock<std::mutex> lock(m_);
        const std::uint64_t seq = filled_++;
        if (!inline_worker_) {
            cv_.notify_all();
            return;
        }
        // Without worker threads the block is computed here and now.
        taken_ = filled_;
        lock.unlock();
        process_chunk(t_, slots_[seq % slots_.size()].chunk, *inline_worker_, any_bad_);
        lock.lock();
        slots_[seq % slots_.size()].done = true;
        (void)fd;
        (void)err;
    }
    // Writes every remaining block; false when a write failed.
    bool drain(int fd, std::FILE* err) {
        std::unique_lock<std::mutex> lock(m_);
        while (written_ < filled_) write_oldest(lock, fd, err);
        return !write_failed_;
    }
    unsigned long bad() const { return bad_; }
    unsigned long good() const { return good_; }

private:
    struct Slot {
        Chunk chunk;
        bool done = false;
    };

    void write_oldest(std::unique_lock<std::mutex>& lock, int fd, std::FILE* err) {
        Slot& slot = slots_[written_ % slots_.size()];
        cv_.wait(lock, [&] { return slot.done; });
        lock.unlock();
        const Chunk& c = slot.chunk;
        if (!c.messages.empty()) std::fwrite(c.messages.data(), 1, c.messages.size(), err);
        bad_ += c.bad;
        good_ += c.good;
        const bool wanted = t_.skip_invalid || bad_ == 0;
        if (wanted && !write_failed_ && c.out_used > 0 && !write_all(fd, c.out.data(), c.out_used))
            write_failed_ = true;
        lock.lock();
        slot.done = false;
        ++written_;
    }

    void work() {
        Worker w;
        std::unique_lock<std::mutex> lock(m_);
        for (;;) {
            cv_.wait(lock, [&] { return taken_ < filled_ || stop_; });
            if (taken_ == filled_) return;  // stopping and nothing left
            const std::uint64_t seq = taken_++;
            lock.unlock();
            process_chunk(t_, slots_[seq % slots_.size()].chunk, w, any_bad_);
            lock.lock();
            slots_[seq % slots_.size()].done = true;
            cv_.notify_all();
        }
    }

    void finish_threads() {
        {
            std::lock_guard<std::mutex> lock(m_);
            stop_ = true;
        }
        cv_.notify_all();
        for (std::thread& th : threads_) th.join();
        threads_.clear();
    }

    const Table& t_;
    std::vector<Slot> slots_;
    std::vector<std::thread> threads_;
    std::unique_ptr<Worker> inline_worker_;
    std::mutex m_;
    std::condition_variable cv_;
    std::uint64_t filled_ = 0, taken_ = 0, written_ = 0;
    bool stop_ = false;
    bool write_failed_ = false;
    std::atomic<bool> any_bad_{false};
    unsigned long bad_ = 0, good_ = 0;
};

}  // namespace

std::string display_text(std::string_view bytes) {
    // A message joins our own UTF-8 text with the user's cells, which may be
    // Windows-1252: valid UTF-8 passes, any other byte is read as 1252.
    std::string out;
    out.reserve(bytes.size() + 8);
    while (!bytes.empty()) {
        const std::size_t len = utf8_length(bytes);
        if (len != 0)
            out.append(bytes.substr(0, len));
        else
            out += files::cp1252_to_utf8(bytes.substr(0, 1));
        bytes.remove_prefix(len != 0 ? len : 1);
    }
    return out;
}

std::string template_header(char separator) {
    std::string line;
    for (const ValueInfo& v : value_registry()) {
        // The skidding distance of system II always follows that of system I.
        if (!v.settable() || v.d == &State::gf_ii_rd) continue;
        if (!line.empty()) line += separator;
        line += v.name;
    }
    return line;
}


int run_batch(const BatchOptions& opt, const State& base, std::span<const Given> given,
              std::FILE* out, std::FILE* err) {
    // "-" is standard input; a pipe or FIFO is read once, from the start.
    const bool from_stdin = opt.in_path == "-";
    const std::string table = from_stdin ? std::string("Standardeingabe")
                                         : "Tabelle \"" + printable(opt.in_path, 240) + "\"";
    Fd in(from_stdin ? STDIN_FILENO : ::open(opt.in_path.c_str(), O_RDONLY | O_CLOEXEC), !from_stdin);
    if (in.fd < 0) {
        // Reading, a missing entry is the table itself, not its folder (which
        // is what the writer's wording of the same error number says).
        const int error_number = errno;
        const std::string reason =
            error_number == ENOENT ? std::string("Die Datei existiert nicht") : files::reason_of(error_number);
        std::fprintf(err, "Fehler: %s kann nicht geöffnet werden: %s.\n", table.c_str(), reason.c_str());
        return 1;
    }
    if (struct stat st {}; ::fstat(in.fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fprintf(err, "Fehler: %s ist ein Ordner, keine Tabelle; keine Ausgabe geschrieben.\n", table.c_str());
        return 1;
    }
    LineReader reader(in.fd);

    // ---- header: encoding, separator, names
    std::string_view line;
    if (!reader.next(line)) {
        if (reader.line_too_long()) {
            std::fprintf(err, "Fehler: Die Kopfzeile der Tabelle ist länger als 64 MiB; keine Ausgabe geschrieben.\n");
            return 2;
        }
        if (reader.failed()) {
            std::fprintf(err, "Fehler: %s kann nicht gelesen werden; keine Ausgabe geschrieben.\n", table.c_str());
            return 1;
        }
        std::fprintf(err, "Fehler: %s ist leer; die erste Zeile muss die Namen "
                          "der Werte enthalten; keine Ausgabe geschrieben.\n", table.c_str());
        return 2;
    }
    // The header stays while the reader looks ahead (which moves its buffer).
    const std::string header(line);
    line = header;
    // The machine-hour costs of the basics, computed once for every row that
    // changes no basic.
    State prepared = base;
    calc_all_machines(prepared);
    Table t;
    t.eol = reader.last_had_cr() ? "\r\n" : "\n";
    t.skip_invalid = opt.skip_invalid;
    t.base = &prepared;
    t.given = given;
    if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    if (line.starts_with("\xFF\xFE") || line.starts_with("\xFE\xFF")) {
        std::fprintf(err, "Fehler: Die Tabelle ist in UTF-16 gespeichert; bitte als CSV in UTF-8 "
                          "oder Windows-1252 speichern; keine Ausgabe geschrieben.\n");
        return 2;
    }
    char sep = 0;
    for (char c : line)
        if (c == ';' || c == ',') {
            sep = c;
            break;
        }
    {
        // Decide the decimal mark of the output before the first row: the
        // first one in the data (only a semicolon table may use a comma); a
        // one-column table follows the mark it uses.
        const char mark = first_decimal_mark(reader.ahead(kMarkScan));
        if (sep == 0) sep = mark == ',' ? ';' : ',';
        t.sep = sep;
        t.decimal = sep == ';' && mark != '.' ? ',' : '.';
    }

    std::vector<std::string_view> cells;
    split_cells(line, t.sep, cells);
    // A header of a million wrong names is no header at all: the first few
    // are shown, the rest counted.
    constexpr unsigned long kHeaderMessages = 5;
    unsigned long header_problems = 0;
    std::string messages;
    for (std::string_view c : cells) {
        const std::string_view name = trim(c);
        Problem problem;
        const ValueInfo* info = nullptr;
        if (name.empty()) {
            problem.message = "leere Spaltenüberschrift; jede Spalte braucht den Namen eines Wertes.";
        } else if ((info = find_input(name, problem)) != nullptr &&
                   std::find(t.columns.begin(), t.columns.end(), info) != t.columns.end()) {
            problem = {std::string(name), std::string(name) + ": die Spalte steht doppelt in der Kopfzeile."};
            info = nullptr;
        }
        if (info == nullptr && ++header_problems <= kHeaderMessages)
            append_line_message(messages, 1, problem.name, problem.message);
        t.columns.push_back(info);
    }
    if (header_problems > 0) {
        if (header_problems > kHeaderMessages)
            messages += "Zeile 1: " + std::to_string(header_problems - kHeaderMessages) +
                        " weitere fehlerhafte Spaltenüberschriften.\n";
        std::fputs(messages.c_str(), err);
        std::fprintf(err, "Fehler: Kopfzeile fehlerhaft; keine Ausgabe geschrieben.\n");
        return 2;
    }
    t.outputs = t.columns;
    for (const ValueInfo& v : value_registry())
        if (v.kind == ValueKind::Derived || v.kind == ValueKind::Flag || v.kind == ValueKind::Result)
            t.outputs.push_back(&v);

    Target target;
    std::string error;
    if (!target.open(opt.out_path, error)) {
        std::fprintf(err, "Fehler: %s\n", error.c_str());
        return 1;
    }
    if (opt.reasons) {
        for (std::size_t k = 0; k < t.outputs.size(); ++k)
            if (t.outputs[k]->kind == ValueKind::Flag) t.reasons_after = k;
    }
    std::string head;
    for (std::size_t k = 0; k < t.outputs.size(); ++k) {
        if (k > 0) head += t.sep;
        head += t.outputs[k]->name;
        if (k == t.reasons_after) {
            for (int i = 1; i <= kSystemCount; ++i) {
                head += t.sep;
                head += "reasons_sys" + std::to_string(i);
            }
        }
    }
    head += t.eol;
    bool write_ok = write_all(target.fd(), head.data(), head.size());

    // ---- rows, computed on every core
    const unsigned threads = opt.threads != 0 ? opt.threads : std::min(std::max(1u, std::thread::hardware_concurrency()), 8u);
    Pipeline pipeline(t, threads > 1 ? threads : 0u);
    unsigned long line_no = 1;
    bool more = true;
    while (more) {
        Chunk& c = pipeline.next_free(target.fd(), err);
        while (c.starts.size() < kRowsPerChunk && (more = reader.next(line))) {
            c.starts.push_back(c.text.size());
            c.line_no.push_back(++line_no);
            c.text += line;
            c.text += '\n';
        }
        pipeline.submit(target.fd(), err);
    }
    write_ok = pipeline.drain(target.fd(), err) && write_ok;
    const unsigned long bad = pipeline.bad(), good = pipeline.good();

    if (reader.line_too_long()) {
        std::fprintf(err, "Fehler: Zeile %lu der Tabelle ist länger als 64 MiB; keine Ausgabe geschrieben.\n",
                     line_no + 1);
        return 2;
    }
    if (reader.failed()) {
        std::fprintf(err, "Fehler: %s kann nicht gelesen werden; keine Ausgabe geschrieben.\n", table.c_str());
        return 1;
    }
    if (bad > 0 && !opt.skip_invalid) {
        std::fprintf(err, "Fehler: %lu fehlerhafte Zeile%s; keine Ausgabe geschrieben.\n", bad,
                     bad == 1 ? "" : "n");
        return 2;
    }
    if (!write_ok) {
        std::fprintf(err, "Fehler: Ausgabe kann nicht geschrieben werden.\n");
        return 1;
    }
    if (!target.commit(out, error)) {
        std::fprintf(err, "Fehler: %s\n", error.c_str());
        return 1;
    }
    if (bad > 0)
        std::fprintf(err, "%lu fehlerhafte Zeile%s übersprungen, %lu Zeile%s berechnet.\n", bad,
                     bad == 1 ? "" : "n", good, good == 1 ? "" : "n");
    return 0;
}

}  // namespace forstrix::cli
