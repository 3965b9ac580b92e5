// A plan's table as CSV: read whole into the document, written back with
// the source's own separator, decimal mark and line end.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/message_text.h"
#include "core/numtext.h"
#include "files/atomic_file.h"
#include "files/cp1252.h"
#include "files/read_file.h"
#include "files/table_source.h"

namespace forstrix::files::table {

namespace fs = std::filesystem;

namespace {

// A plan of a million stands is some hundred MiB; more is no table.
constexpr std::size_t kMaxTable = std::size_t{2} << 30;

// The next row of cells from `text` at `i`: quoted cells may hold the
// separator, line ends and doubled quotes, as spreadsheets write them.
// Returns false at the end of the text.
bool next_row(std::string_view text, std::size_t& i, char sep, std::vector<std::string>& row, std::size_t& used) {
    used = 0;
    const std::size_t n = text.size();
    if (i >= n) return false;
    for (;;) {
        if (used == row.size()) row.emplace_back();
        std::string& cell = row[used++];
        cell.clear();
        if (i < n && text[i] == '"') {
            ++i;
            while (i < n) {
                const std::size_t quote = text.find('"', i);
                if (quote == std::string_view::npos) {
                    cell.append(text.substr(i));
                    i = n;
                    break;
                }
                cell.append(text.substr(i, quote - i));
                i = quote + 1;
                if (i < n && text[i] == '"') {
                    cell += '"';
                    ++i;
                    continue;
                }
                break;
            }
        }
        // The rest of an unquoted cell (or what follows a closing quote).
        std::size_t end = i;
        while (end < n && text[end] != sep && text[end] != '\n' && text[end] != '\r') ++end;
        cell.append(text.substr(i, end - i));
        i = end;
        if (i < n && text[i] == sep) {
            ++i;
            if (i == n) {
                if (used == row.size()) row.emplace_back();
                row[used++].clear();
                return true;
            }
            continue;
        }
        if (i < n && text[i] == '\r') ++i;
        if (i < n && text[i] == '\n') ++i;
        return true;
    }
}

bool blank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\t'; });
}

Outcome refused(std::string detail) { return {Status::Refused, kTableNotRead, std::move(detail)}; }

// A cell as CSV: in quotes where it holds the separator, a quote or a line end.
void put_text(std::string& out, std::string_view text, char sep) {
    if (text.find_first_of(std::string{sep, '"', '\n', '\r'}) == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

Outcome read_csv(const fs::path& path, Source& out, const Progress& progress, bool keep_uneven) {
    std::string bytes;
    ReadFailure failure;
    switch (read_small_file(path, kMaxTable, bytes, failure)) {
    case ReadStatus::Ok: break;
    case ReadStatus::NotFound: return {Status::NotFound, kTableNotRead, "Die Datei existiert nicht: " + describe_read(failure)};
    case ReadStatus::TooLarge: return refused("Die Tabelle ist größer als 2 GiB.");
    case ReadStatus::Failed: return {Status::Unreadable, kTableNotRead, describe_read(failure)};
    }
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF"))
        return refused("Die Tabelle ist in UTF-16 gespeichert; bitte als CSV in UTF-8 oder Windows-1252 speichern.");
    // Text that is not UTF-8 throughout is an older spreadsheet's Windows-1252.
    std::string converted;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t len = utf8_length(rest);
        if (len == 0) {
            converted = cp1252_to_utf8(text);
            text = converted;
            break;
        }
        rest.remove_prefix(len);
    }
    const std::size_t header_end = text.find_first_of("\r\n");
    const std::string_view header = text.substr(0, header_end);
    if (blank(header)) return refused("Die Tabelle ist leer; die erste Zeile muss die Namen der Spalten enthalten.");
    out.format = TableFormat::Csv;
    out.eol = header_end != std::string_view::npos && text[header_end] == '\r' ? "\r\n" : "\n";
    const std::size_t sep_at = header.find_first_of(";,");
    const std::string_view data = header_end == std::string_view::npos ? std::string_view() : text.substr(header_end);
    const std::size_t mark_at = data.find_first_of(".,");
    const char mark = mark_at == std::string_view::npos ? 0 : data[mark_at];
    out.sep = sep_at != std::string_view::npos ? header[sep_at] : mark == ',' ? ';' : ',';
    out.decimal = out.sep == ';' && mark != '.' ? ',' : '.';

    std::vector<std::string> cells;
    std::size_t at = 0, used = 0;
    next_row(text, at, out.sep, cells, used);
    for (std::size_t k = 0; k < used; ++k) {
        std::string_view n = cells[k];
        while (!n.empty() && (n.front() == ' ' || n.front() == '\t')) n.remove_prefix(1);
        while (!n.empty() && (n.back() == ' ' || n.back() == '\t')) n.remove_suffix(1);
        out.add_column(std::string(n));
    }
    const std::size_t width = out.names.size();
    for (std::size_t r = 1; next_row(text, at, out.sep, cells, used); ++r) {
        if (progress && r % 4096 == 0 && !progress(double(at) / double(text.size())))
            return refused("Abgebrochen.");
        if (std::all_of(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(used),
                        [](const std::string& c) { return blank(c); }))
            continue;
        if (used != width) {
            std::string why = std::to_string(used) + " Felder statt " + std::to_string(width) + " (Trennzeichen '" +
                              out.sep + "').";
            if (!keep_uneven) return refused("Zeile " + std::to_string(r + 1) + ": " + why);
            out.uneven.emplace_back(out.rows, std::move(why));
        }
        for (std::size_t k = 0; k < width; ++k) {
            // An empty cell is "not given here", as a NULL field is.
            const bool empty = k >= used || blank(cells[k]);
            if (!out.cells.column(k).push(empty ? std::nullopt : std::optional<std::string_view>(cells[k])))
                return refused("Die Spalte „" + printable(out.names[k], 80) + "“ hält mehr als 4 GiB Text.");
        }
        out.position.push_back(r);
        ++out.rows;
    }
    return {};
}

Outcome write_csv(const fs::path& path, const Source& source, const Rows& rows, const Progress& progress) {
    const char sep = source.format == TableFormat::Csv ? source.sep : ',';
    const char decimal = source.format == TableFormat::Csv ? source.decimal : '.';
    const std::string eol = source.format == TableFormat::Csv ? source.eol : "\n";
    AtomicFile file(system_io(), AtomicFile::Durability::Unsynced);
    const bool opened = path.empty() ? file.open(stdout) : file.open(path);
    auto failed = [&] {
        return Outcome{Status::WriteFailed, kTableNotWritten, describe(file.failure())};
    };
    if (!opened) return failed();
    std::string block;
    const std::vector<OutColumn>& columns = rows.columns();
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (k > 0) block += sep;
        put_text(block, columns[k].name, sep);
    }
    block += eol;
    std::vector<OutCell> cells;
    char number[kMaxFixedChars + 8];
    // Many figures repeat from stand to stand (the costs of a system that no
    // column touches): the text last written for a column is reused.
    struct Last {
        double value = 0;
        std::string text;
    };
    std::vector<Last> last(columns.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        rows.row(r, cells);
        for (std::size_t k = 0; k < cells.size(); ++k) {
            if (k > 0) block += sep;
            const OutCell& c = cells[k];
            switch (c.type) {
            case OutCell::Null: break;
            case OutCell::Text: put_text(block, c.text, sep); break;
            case OutCell::Int: block.append(number, std::to_chars(number, number + 24, c.i).ptr); break;
            case OutCell::Real:
                if (last[k].text.empty() || std::memcmp(&last[k].value, &c.d, sizeof c.d) != 0) {
                    last[k].text.assign(number, write_fixed_shortest(number, c.d, decimal));
                    last[k].value = c.d;
                }
                block += last[k].text;
                break;
            }
        }
        block += eol;
        if (block.size() >= (std::size_t{1} << 20)) {
            if (!file.write(block)) return failed();
            block.clear();
            if (progress && !progress(double(r + 1) / double(rows.size()))) {
                file.discard();
                return {Status::WriteFailed, kTableNotWritten, "Abgebrochen."};
            }
        }
    }
    if (!file.write(block) || !file.commit()) return failed();
    return {};
}

}  // namespace forstrix::files::table
