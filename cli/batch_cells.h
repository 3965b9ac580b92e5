// The cells of a batch table's line, as spreadsheets write CSV.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace forstrix::cli::batch {

// Splits a line at `sep`. A cell in double quotes, as spreadsheets write
// text, loses its quotes; a doubled quote inside stays as it is (it cannot
// be part of a number, so the cell is refused with its text shown).
void split_cells(std::string_view line, char sep, std::vector<std::string_view>& cells);

// The cell `cell` (from split_cells of `line`) as it stands in the line: a
// quoted cell with its quotes, so that a text holding the separator is
// written back as it came.
std::string_view raw_cell(std::string_view line, std::string_view cell);

// Without the blanks and tabs around it.
std::string_view trim(std::string_view s);

// Whether every cell is blank: an empty line, a spreadsheet's filler row.
bool all_empty(const std::vector<std::string_view>& cells);

// The decimal mark the table uses: the first point or comma in the first
// MiB of its data (0: none). The bytes come from the reader's look-ahead,
// so a pipe is read once and gives every row.
inline constexpr std::size_t kMarkScan = std::size_t{1} << 20;
char first_decimal_mark(std::string_view data);
// The same, looking only at the cells of the columns not marked in `skip`
// (a table's own texts, which may hold a point or comma of their own).
char first_decimal_mark(std::string_view data, char sep, const std::vector<bool>& skip);

}  // namespace forstrix::cli::batch
