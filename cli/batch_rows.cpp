#include "cli/batch_rows.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

#include "cli/batch.h"
#include "cli/batch_cells.h"
#include "cli/inputs.h"
#include "core/calc.h"
#include "core/columns.h"
#include "core/message_text.h"
#include "core/numtext.h"

namespace forstrix::cli::batch {

namespace {

template <typename Int>
char* put_int(char* p, Int v) {
    return std::to_chars(p, p + 16, v).ptr;
}

// Writes a value of the state, which is finite (checked after the row's
// computation).
// Inlined into both loops of the row: it runs for nearly every cell written.
[[gnu::always_inline]] inline void put_value(char*& p, const State& s, const ValueInfo& v, char decimal, LastText& last) {
    switch (v.type) {
    case ValueType::Double: {
        const double d = s.*(v.d);
        const auto bits = std::bit_cast<std::uint64_t>(d);
        if (last.length != 0 && last.bits == bits) {
            std::memcpy(p, last.text, LastText::kRoom);
            p += last.length;
            return;
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
        return;
    }
    case ValueType::UInt:
        p = put_int(p, s.*(v.u));
        return;
    case ValueType::Int:
        p = put_int(p, s.*(v.i));
        return;
    }
}

// The cells reasons_sys1 ... reasons_sys6, each after a separator: the names
// of the values that keep a system from suiting the stand, separated by
// single blanks, in the order of the stand dialog; empty for a suitable
// system.
char* put_reasons(char* p, const State& s, char sep) {
    const std::uint64_t failing = failing_conditions(suitability_inputs(s));
    for (int i = 0; i < kSystemCount; ++i) {
        *p++ = sep;
        p = put_reasons_cell(p, failing, i);
    }
    return p;
}
// Room for the six cells and their separators.
constexpr std::size_t kReasonsRoom = kSystemCount * (kReasonsCellRoom + 1);

// Whether a value cell that gave `v` is the number itself (not a word, a
// code or the metres of a rope line length), so that it may be written
// back in the table's number format.
bool is_plain_number(const columns::Column& col, std::string_view text, double v) {
    if (col.digit_is_number && !text.empty() && text.front() >= '0' && text.front() <= '9') return true;
    Problem ignored;
    const std::optional<double> plain = read_number(*col.info, trim(text), ignored);
    return plain && *plain == v;
}

// Reads and computes one row into w.s; false (with its messages) when the
// row is refused.
bool compute_row(const Table& t, Chunk& c, Worker& w, unsigned long line_no) {
    if (w.cells.size() != t.columns.size()) {
        append_line_message(c.messages, line_no, {},
                            std::to_string(w.cells.size()) + " Felder statt " + std::to_string(t.columns.size()) +
                                " (Trennzeichen '" + t.sep + "').");
        return false;
    }
    w.row_given.assign(t.given.begin(), t.given.end());
    w.as_number.assign(w.cells.size(), 0);
    bool cells_ok = true;
    for (std::size_t k = 0; k < w.cells.size(); ++k) {
        const columns::Column& col = t.columns[k];
        Problem problem;
        bool ok = true;
        switch (col.role) {
        case columns::Role::Value: {
            double v = 0.0;
            columns::Cell read = columns::read_cell(col, w.cells[k], v, problem);
            if (read == columns::Cell::Refused) {
                // A word of an older spreadsheet's Windows-1252 table ("groß").
                const std::string utf8 = display_text(w.cells[k]);
                if (utf8 != w.cells[k]) read = columns::read_cell(col, utf8, v, problem);
            }
            if (read == columns::Cell::Value) w.row_given.push_back({col.info, v});
            ok = read != columns::Cell::Refused;
            w.as_number[k] = read == columns::Cell::Value && is_plain_number(col, w.cells[k], v);
            break;
        }
        case columns::Role::Chosen: ok = columns::read_chosen(w.cells[k], problem).has_value(); break;
        case columns::Role::Fixed: ok = columns::read_fixed(w.cells[k], problem).has_value(); break;
        case columns::Role::Carried:
        case columns::Role::Dropped: break;
        }
        if (!ok) {
            cells_ok = false;
            append_line_message(c.messages, line_no, t.labels[k].empty() ? problem.name : t.labels[k],
                                problem.message);
        }
    }
    if (!cells_ok) return false;

    w.s = *t.base;
    compute_scenario(w.s, w.row_given, nullptr, w.outcome, /*machines_done=*/true);
    if (!w.outcome.ok()) {
        for (const Problem& p : w.outcome.problems) append_line_message(c.messages, line_no, p.name, p.message);
        return false;
    }
    for (const std::string& warning : w.outcome.warnings)
        append_line_message(c.messages, line_no, "Warnung", "Warnung: " + warning);
    // Absurdly large inputs can overflow, and a stand outside the time
    // model gives a suitable system negative times: such a row is refused
    // as calc refuses it, whatever rows came before.
    if (std::optional<Problem> p = check_results_finite(w.s)) {
        append_line_message(c.messages, line_no, p->name, p->message);
        return false;
    }
    return true;
}

}  // namespace

void Chunk::add(std::string_view line, unsigned long number) {
    starts.push_back(text.size());
    line_no.push_back(number);
    text += line;
    text += '\n';
}

void Chunk::clear() {
    // A block that once held a few very long lines gives their memory back.
    if (text.capacity() > 4 * kMaxBytes) std::string().swap(text);
    text.clear();
    starts.clear();
    line_no.clear();
    out_used = 0;
    messages.clear();
    bad = good = 0;
}

void process_chunk(const Table& t, Chunk& c, Worker& w, std::atomic<bool>& any_bad) {
    const std::size_t room = t.outputs.size() * (kMaxFixedChars + 1) + 2 +
                             (t.reasons_after < t.outputs.size() ? kReasonsRoom : 0);
    if (w.last.size() != t.outputs.size()) w.last.assign(t.outputs.size(), LastText{});
    for (std::size_t r = 0; r < c.starts.size(); ++r) {
        const std::size_t end = r + 1 < c.starts.size() ? c.starts[r + 1] : c.text.size();
        const std::string_view line(c.text.data() + c.starts[r], end - c.starts[r] - 1);
        split_cells(line, t.sep, w.cells);
        if (all_empty(w.cells)) continue;  // blank lines, spreadsheet filler rows
        if (!compute_row(t, c, w, c.line_no[r])) {
            ++c.bad;
            continue;
        }
        ++c.good;
        // Once a row has failed the table is not written: only check on.
        if (!t.skip_invalid && (c.bad > 0 || any_bad.load(std::memory_order_relaxed))) continue;

        // The carried cells take at most the line's length.
        if (c.out.size() < c.out_used + room + line.size())
            c.out.resize(std::max(c.out.size() * 2, c.out_used + room + line.size()));
        char* p = c.out.data() + c.out_used;
        std::size_t k = 0;
        for (; k < t.kept; ++k) {  // the input's columns
            if (k > 0) *p++ = t.sep;
            const OutColumn& o = t.outputs[k];
            if (o.value != nullptr && w.as_number[o.source]) {
                put_value(p, w.s, *o.value, t.decimal, w.last[k]);
            } else {
                const std::string_view cell = raw_cell(line, w.cells[o.source]);
                if (!cell.empty()) std::memcpy(p, cell.data(), cell.size());
                p += cell.size();
            }
        }
        for (; k < t.outputs.size(); ++k) {  // the results
            if (k > 0) *p++ = t.sep;
            put_value(p, w.s, *t.outputs[k].value, t.decimal, w.last[k]);
            if (k == t.reasons_after) p = put_reasons(p, w.s, t.sep);
        }
        std::memcpy(p, t.eol.data(), t.eol.size());
        c.out_used = static_cast<std::size_t>(p + t.eol.size() - c.out.data());
    }
    if (c.bad > 0) any_bad.store(true, std::memory_order_relaxed);
}

void append_line_message(std::string& out, unsigned long line, std::string_view name, std::string_view message) {
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

}  // namespace forstrix::cli::batch
