#include "cli/batch_cells.h"

namespace forstrix::cli::batch {

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

std::string_view raw_cell(std::string_view line, std::string_view cell) {
    // An unquoted cell follows the line's start or a separator, never a quote.
    const char* begin = cell.data();
    const char* end = begin + cell.size();
    if (begin > line.data() && begin[-1] == '"' && end < line.data() + line.size() && *end == '"')
        return {begin - 1, cell.size() + 2};
    return cell;
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

char first_decimal_mark(std::string_view data) {
    for (char c : data)
        if (c == ',' || c == '.') return c;
    return 0;
}


char first_decimal_mark(std::string_view data, char sep, const std::vector<bool>& skip) {
    std::vector<std::string_view> cells;
    while (!data.empty()) {
        const std::size_t nl = data.find('\n');
        std::string_view line = data.substr(0, nl);
        data.remove_prefix(nl == std::string_view::npos ? data.size() : nl + 1);
        split_cells(line, sep, cells);
        for (std::size_t k = 0; k < cells.size(); ++k) {
            if (k < skip.size() && skip[k]) continue;
            if (const char mark = first_decimal_mark(cells[k])) return mark;
        }
    }
    return 0;
}

}  // namespace forstrix::cli::batch
