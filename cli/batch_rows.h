// The work on a batch table's rows: a block of consecutive rows goes in as
// text, its result rows and messages come out. Blocks are computed side by
// side (cli/batch_pipeline.h) and written in the order of the table.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/columns.h"
#include "core/registry.h"
#include "core/scenario.h"
#include "core/state.h"

namespace forstrix::cli::batch {

// A column of the result table: a value of the computed state, or a cell
// of the input written back as it stands.
struct OutColumn {
    const ValueInfo* value = nullptr;  // nullptr: the input's cell `source` as it stands
    std::size_t source = SIZE_MAX;     // the input column it comes from; SIZE_MAX: a result
};

// What every row needs to know about the table.
struct Table {
    char sep = ',';
    char decimal = '.';
    std::string_view eol;
    bool skip_invalid = false;
    std::vector<columns::Column> columns;  // every input column, in table order
    // Per input column: the name a cell's message gives where the column is
    // not named as its value (a mapped column); else empty.
    std::vector<std::string> labels;
    std::vector<std::string> headings;  // per input column: its heading in the result table
    std::vector<OutColumn> outputs;  // the kept input columns, then the results
    std::size_t kept = 0;            // how many of `outputs` are input columns
    // With --reasons: the output column after which the six reason cells
    // follow (the last flag); else past the end.
    std::size_t reasons_after = SIZE_MAX;
    const State* base = nullptr;  // the basics with their machine-hour costs
    std::span<const Given> given;  // from the command line
};

// A block of consecutive rows. Its size is bounded by rows and by bytes, so
// that a table of very long lines does not hold hundreds of them at once.
struct Chunk {
    static constexpr std::size_t kMaxRows = 512;
    static constexpr std::size_t kMaxBytes = std::size_t{256} << 10;

    std::string text;                 // the lines, each ended by '\n'
    std::vector<std::size_t> starts;  // where each line begins in `text`
    std::vector<unsigned long> line_no;
    std::vector<char> out;            // the result rows
    std::size_t out_used = 0;
    std::string messages;             // for standard error, in row order
    unsigned long bad = 0, good = 0;

    bool full() const { return starts.size() >= kMaxRows || text.size() >= kMaxBytes; }
    void add(std::string_view line, unsigned long number);
    void clear();
};

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

// What one thread needs to compute rows; reused from row to row, so a row
// allocates nothing.
struct Worker {
    std::vector<std::string_view> cells;
    std::vector<LastText> last;  // one per output column
    std::vector<Given> row_given;
    // Per input column: the cell was a plain number, written back as the
    // value it gave; a word, a code or an empty cell is written back as the
    // planner wrote it.
    std::vector<unsigned char> as_number;
    ScenarioOutcome outcome;
    State s;
};

// Computes every row of `c`. Whether a row is good or bad, and what its
// messages say, depends on that row alone. Once a row of the table has
// failed (`any_bad`, shared by the threads) and bad rows are not skipped,
// no result row is formatted any more: none will be written.
void process_chunk(const Table& t, Chunk& c, Worker& w, std::atomic<bool>& any_bad);

// "Zeile <line>, <name>: <message>" and a line end, fit for a terminal.
void append_line_message(std::string& out, unsigned long line, std::string_view name, std::string_view message);

}  // namespace forstrix::cli::batch
