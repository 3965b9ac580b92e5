#include "cli/batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/registry.h"

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
            if (eof_ || error_) {
                if (begin_ == end_) return false;
                line = take(begin_, end_);
                begin_ = end_;
                return true;
            }
            refill();
        }
    }
    bool failed() const { return error_; }
    bool last_had_cr() const { return last_cr_; }

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
        if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);
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
    bool eof_ = false, error_ = false, last_cr_ = false;
};

struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) ::close(fd);
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
// Collects output in a block and writes it with write(2), checking every
// call; a failed write is remembered and reported at the end.
class BlockWriter {
public:
    explicit BlockWriter(int fd) : fd_(fd) { buf_.resize(kBlock + kSlack); }

    // Room for one more row of at most `kSlack` bytes.
    char* cursor() { return buf_.data() + used_; }
    void advance_to(char* p) {
        used_ = static_cast<std::size_t>(p - buf_.data());
        if (used_ >= kBlock) flush();
    }
    // Makes sure `n` more bytes fit behind the cursor.
    void reserve(std::size_t n) {
        if (used_ + n > buf_.size()) {
            flush();
            if (n > buf_.size()) buf_.resize(n);
        }
    }
    void flush() {
        std::size_t done = 0;
        while (done < used_ && !failed_) {
            const ssize_t n = ::write(fd_, buf_.data() + done, used_ - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) failed_ = true;
            else done += static_cast<std::size_t>(n);
        }
        used_ = 0;
    }
    bool failed() const { return failed_; }

private:
    static constexpr std::size_t kBlock = 1 << 20;
    static constexpr std::size_t kSlack = 1 << 16;
    int fd_;
    std::vector<char> buf_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

// A fixed-notation double never longer than this (the smallest subnormal
// written without exponent, plus sign and point).
constexpr std::size_t kMaxNumberChars = 340;

char* put_double(char* p, double v, char decimal) {
    // Fixed notation, shortest digits that read back to the same double:
    // spreadsheets read it without guessing at exponents.
    const std::to_chars_result r = std::to_chars(p, p + kMaxNumberChars, v, std::chars_format::fixed);
    if (decimal != '.') {
        for (char* q = p; q != r.ptr; ++q)
            if (*q == '.') {
                *q = decimal;
                break;
            }
    }
    return r.ptr;
}

template <typename Int>
char* put_int(char* p, Int v) {
    return std::to_chars(p, p + 16, v).ptr;
}

// Writes a value of the state; false when a decimal is not finite.
bool put_value(char*& p, const State& s, const ValueInfo& v, char decimal) {
    switch (v.type) {
    case ValueType::Double: {
        const double d = s.*(v.d);
        if (!std::isfinite(d)) return false;
        p = put_double(p, d, decimal);
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

// ------------------------------------------------------------ output target
// Where the result table goes until it is complete: a temporary file next to
// the output file (renamed over it at the end), or an anonymous temporary
// file that is copied to standard output once every row has passed.
class Target {
public:
    bool open(const std::string& out_path, std::string& error) {
        if (out_path.empty()) {
            spool_ = std::tmpfile();
            if (spool_ == nullptr) {
                error = std::string("Zwischendatei für die Ausgabe kann nicht angelegt werden: ") +
                        std::strerror(errno);
                return false;
            }
            fd_ = ::fileno(spool_);
            return true;
        }
        final_ = out_path;
        temp_ = out_path + ".tmpXXXXXX";
        fd_ = ::mkstemp(temp_.data());
        if (fd_ < 0) {
            error = "Ausgabedatei \"" + out_path + "\" kann nicht angelegt werden: " +
                    std::strerror(errno);
            temp_.clear();
            return false;
        }
        // mkstemp makes the file private; the result table gets the
        // permissions of any file the user creates.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
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
                if (n > 0 && std::fwrite(block.data(), 1, n, out) != n) ok = false;
                if (n < block.size()) {
                    ok = ok && !std::ferror(spool_);
                    break;
                }
            }
            ok = std::fflush(out) == 0 && ok;
            std::fclose(spool_);
            spool_ = nullptr;
            fd_ = -1;
            if (!ok) error = "Ausgabe kann nicht geschrieben werden.";
            return ok;
        }
        bool ok = ::fsync(fd_) == 0 || errno == EINVAL;
        ok = ::close(fd_) == 0 && ok;
        fd_ = -1;
        if (ok && std::rename(temp_.c_str(), final_.c_str()) != 0) ok = false;
        if (!ok) {
            error = "Ausgabedatei \"" + final_ + "\" kann nicht geschrieben werden: " +
                    std::strerror(errno);
            ::unlink(temp_.c_str());
        }
        temp_.clear();
        return ok;
    }

    // Throws the output away; an existing output file stays as it was.
    void discard() {
        if (spool_ != nullptr) {
            std::fclose(spool_);
            spool_ = nullptr;
        } else if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
        if (!temp_.empty()) ::unlink(temp_.c_str());
        temp_.clear();
    }

    ~Target() { discard(); }

private:
    std::FILE* spool_ = nullptr;
    int fd_ = -1;
    std::string final_, temp_;
};

// ------------------------------------------------------------ messages
void print_row_problem(std::FILE* err, unsigned long line, const Problem& p) {
    // Messages of the checks mostly begin with the value's name already.
    std::string msg = display_text(p.message);
    for (char& c : msg)
        if (c == '\n') c = ' ';
    const std::string prefix = p.name + ":";
    if (!p.name.empty() && msg.compare(0, prefix.size(), prefix) != 0)
        std::fprintf(err, "Zeile %lu, %s: %s\n", line, display_text(p.name).c_str(), msg.c_str());
    else
        std::fprintf(err, "Zeile %lu, %s\n", line, msg.c_str());
}

// The decimal mark the table uses: the first point or comma in its data.
// With a semicolon as separator a comma can only be a decimal comma.
char first_decimal_mark(int fd) {
    LineReader reader(fd);
    std::string_view line;
    bool header = true;
    while (reader.next(line)) {
        if (header) {
            header = false;
            continue;
        }
        for (char c : line)
            if (c == ',' || c == '.') return c;
    }
    return 0;
}

bool is_utf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

}  // namespace

std::string display_text(std::string_view bytes) {
    if (is_utf8(bytes)) return std::string(bytes);
    // Windows-1252 bytes 0x80..0x9F; the rest of the upper half is Latin-1.
    static constexpr char16_t k80[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
        0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const char16_t u = b < 0x80 ? b : b < 0xA0 ? k80[b - 0x80] : b;
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
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
    Fd in(::open(opt.in_path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0) {
        std::fprintf(err, "Fehler: Tabelle \"%s\" kann nicht geöffnet werden: %s\n",
                     opt.in_path.c_str(), std::strerror(errno));
        return 1;
    }
    LineReader reader(in.fd);

    // ---- header: encoding, separator, names
    std::string_view line;
    if (!reader.next(line)) {
        std::fprintf(err, "Fehler: Die Tabelle \"%s\" ist leer; die erste Zeile muss die Namen "
                          "der Werte enthalten.\n", opt.in_path.c_str());
        return reader.failed() ? 1 : 2;
    }
    const bool crlf = reader.last_had_cr();
    if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    if (line.starts_with("\xFF\xFE") || line.starts_with("\xFE\xFF")) {
        std::fprintf(err, "Fehler: Die Tabelle ist in UTF-16 gespeichert; bitte als CSV in UTF-8 "
                          "oder Windows-1252 speichern.\n");
        return 2;
    }
    char sep = 0;
    for (char c : line)
        if (c == ';' || c == ',') {
            sep = c;
            break;
        }
    char decimal = '.';
    {
        // Decide the decimal mark of the output before the first row: the
        // first one in the data (only a semicolon table may use a comma); a
        // one-column table follows the mark it uses.
        Fd scan(::open(opt.in_path.c_str(), O_RDONLY | O_CLOEXEC));
        const char mark = scan.fd >= 0 ? first_decimal_mark(scan.fd) : 0;
        if (sep == 0) sep = mark == ',' ? ';' : ',';
        if (sep == ';') decimal = mark == '.' ? '.' : ',';
    }

    std::vector<std::string_view> cells;
    split_cells(line, sep, cells);
    std::vector<const ValueInfo*> columns;
    bool header_ok = true;
    for (std::string_view c : cells) {
        const std::string_view name = trim(c);
        Problem problem;
        const ValueInfo* info = name.empty() ? nullptr : find_settable(name, problem);
        if (name.empty()) {
            problem.message = "leere Spaltenüberschrift; jede Spalte braucht den Namen eines Wertes.";
        }
        for (const ValueInfo* seen : columns)
            if (info != nullptr && seen == info) {
                problem = {std::string(name), std::string(name) + ": die Spalte steht doppelt in der Kopfzeile."};
                info = nullptr;
            }
        if (info == nullptr) {
            print_row_problem(err, 1, problem);
            header_ok = false;
        }
        columns.push_back(info);
    }
    if (!header_ok) {
        std::fprintf(err, "Fehler: Kopfzeile fehlerhaft; keine Ausgabe geschrieben.\n");
        return 2;
    }

    std::vector<const ValueInfo*> outputs(columns.begin(), columns.end());
    for (const ValueInfo& v : value_registry())
        if (v.kind == ValueKind::Derived || v.kind == ValueKind::Flag || v.kind == ValueKind::Result)
            outputs.push_back(&v);

    Target target;
    std::string error;
    if (!target.open(opt.out_path, error)) {
        std::fprintf(err, "Fehler: %s\n", error.c_str());
        return 1;
    }
    BlockWriter writer(target.fd());
    const std::string_view eol = crlf ? "\r\n" : "\n";
    {
        std::string head;
        for (std::size_t k = 0; k < outputs.size(); ++k) {
            if (k > 0) head += sep;
            head += outputs[k]->name;
        }
        head += eol;
        writer.reserve(head.size());
        char* p = writer.cursor();
        std::memcpy(p, head.data(), head.size());
        writer.advance_to(p + head.size());
    }
    const std::size_t row_room = outputs.size() * (kMaxNumberChars + 1) + 2;

    // ---- rows
    std::vector<Given> row_given(given.begin(), given.end());
    row_given.reserve(given.size() + columns.size());
    ScenarioOutcome outcome;
    std::vector<Problem> cell_problems;
    State s;
    unsigned long line_no = 1, bad_rows = 0, good_rows = 0;
    while (reader.next(line)) {
        ++line_no;
        split_cells(line, sep, cells);
        if (all_empty(cells)) continue;  // blank lines, spreadsheet filler rows
        if (cells.size() != columns.size()) {
            ++bad_rows;
            std::fprintf(err, "Zeile %lu: %zu Felder statt %zu (Trennzeichen '%c').\n", line_no,
                         cells.size(), columns.size(), sep);
            continue;
        }
        row_given.resize(given.size());
        cell_problems.clear();
        for (std::size_t k = 0; k < cells.size(); ++k) {
            Problem problem;
            if (std::optional<double> v = read_number(*columns[k], cells[k], problem))
                row_given.push_back({columns[k], *v});
            else
                cell_problems.push_back(std::move(problem));
        }
        if (!cell_problems.empty()) {
            ++bad_rows;
            for (const Problem& p : cell_problems) print_row_problem(err, line_no, p);
            continue;
        }

        s = base;
        compute_scenario(s, row_given, nullptr, outcome);
        if (!outcome.ok()) {
            ++bad_rows;
            for (const Problem& p : outcome.problems) print_row_problem(err, line_no, p);
            continue;
        }
        for (const std::string& w : outcome.warnings) {
            std::string msg = w;
            for (char& c : msg)
                if (c == '\n') c = ' ';
            std::fprintf(err, "Zeile %lu, Warnung: %s\n", line_no, msg.c_str());
        }
        // After the first bad row the output is lost anyway: only check on.
        if (bad_rows > 0 && !opt.skip_invalid) continue;

        writer.reserve(row_room);
        char* const start = writer.cursor();
        char* p = start;
        const ValueInfo* not_finite = nullptr;
        for (std::size_t k = 0; k < outputs.size(); ++k) {
            if (k > 0) *p++ = sep;
            if (!put_value(p, s, *outputs[k], decimal)) {
                not_finite = outputs[k];
                break;
            }
        }
        if (not_finite != nullptr) {
            ++bad_rows;
            print_row_problem(err, line_no,
                              {std::string(not_finite->name),
                               std::string(not_finite->name) +
                                   ": das Ergebnis ist keine endliche Zahl; die Eingaben sind "
                                   "außerhalb jedes sinnvollen Bereichs."});
            writer.advance_to(start);
            continue;
        }
        std::memcpy(p, eol.data(), eol.size());
        writer.advance_to(p + eol.size());
        ++good_rows;
    }
    if (reader.failed()) {
        std::fprintf(err, "Fehler: Tabelle \"%s\" kann nicht gelesen werden.\n", opt.in_path.c_str());
        return 1;
    }
    if (bad_rows > 0 && !opt.skip_invalid) {
        std::fprintf(err, "Fehler: %lu fehlerhafte Zeile%s; keine Ausgabe geschrieben.\n", bad_rows,
                     bad_rows == 1 ? "" : "n");
        return 2;
    }
    writer.flush();
    if (writer.failed()) {
        std::fprintf(err, "Fehler: Ausgabe kann nicht geschrieben werden: %s\n", std::strerror(errno));
        return 1;
    }
    if (!target.commit(out, error)) {
        std::fprintf(err, "Fehler: %s\n", error.c_str());
        return 1;
    }
    if (bad_rows > 0)
        std::fprintf(err, "%lu fehlerhafte Zeile%s übersprungen, %lu Zeile%s berechnet.\n", bad_rows,
                     bad_rows == 1 ? "" : "n", good_rows, good_rows == 1 ? "" : "n");
    return 0;
}

}  // namespace forstrix::cli
