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

// Without the blanks and tabs around it.
std::string_view trim(std::string_view s);

// Whether every cell is blank: an empty line, a spreadsheet's filler row.
bool all_empty(const std::vector<std::string_view>& cells);

// The decimal mark the table uses: the first point or comma in the first
// MiB of its data (0: none). The bytes come from the reader's look-ahead,
// so a pipe is read once and gives every row.
inline constexpr std::size_t kMarkScan = std::size_t{1} << 20;
char first_decimal_mark(std::string_view data);

}  // namespace forstrix::cli::batch
