// The planner's table as it was read, before any column means anything:
// names, cells as text, and for a GIS layer the feature ids, the field
// types, the geometries and the reference system. The readers and writers
// of the formats (CSV here, the rest through GDAL) and the plan document
// (files/plan_table.h) share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/basics_file.h"  // Outcome
#include "files/plan_table.h"   // TableFormat, Progress

namespace forstrix::files::table {

// The GDAL side of a layer (field definitions, geometries, reference
// system); only a build with GDAL makes one.
struct GisLayer;

// The cells of one column: every text in one block, a cell its place and
// length in it (eight bytes a cell rather than a string each, which kept a
// plan of 100,000 stands at hundreds of MiB).
class TextColumn {
public:
    std::size_t size() const { return at_.size(); }
    std::optional<std::string_view> get(std::size_t r) const {
        const Span s = at_[r];
        if (s.length == kNull) return std::nullopt;
        return std::string_view(text_).substr(s.from, s.length);
    }
    // false: the column's text would pass 4 GiB (no planner's table does).
    bool push(std::optional<std::string_view> cell) {
        at_.emplace_back();
        return put(at_.size() - 1, cell);
    }
    // A cell changed: its new text goes to the end of the block.
    bool set(std::size_t r, std::optional<std::string_view> cell) { return put(r, cell); }
    void resize(std::size_t rows) { at_.resize(rows); }

private:
    static constexpr std::uint32_t kNull = UINT32_MAX;
    struct Span {
        std::uint32_t from = 0;
        std::uint32_t length = kNull;
    };
    bool put(std::size_t r, std::optional<std::string_view> cell) {
        if (!cell) {
            at_[r] = Span{};
            return true;
        }
        if (text_.size() + cell->size() >= kNull) return false;
        at_[r] = {static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(cell->size())};
        text_.append(*cell);
        return true;
    }
    std::string text_;
    std::vector<Span> at_;
};

// The cells by column, then by row.
class Cells {
public:
    std::size_t size() const { return columns_.size(); }
    TextColumn& column(std::size_t k) { return columns_[k]; }
    const TextColumn& column(std::size_t k) const { return columns_[k]; }
    void add(std::size_t rows) { columns_.emplace_back().resize(rows); }

private:
    std::vector<TextColumn> columns_;
};

struct Source {
    TableFormat format = TableFormat::Csv;
    std::string layer;               // the layer or sheet read; empty for CSV
    std::vector<std::string> names;  // column names as read (UTF-8)
    Cells cells;                     // nullopt: NULL or missing
    std::size_t rows = 0;
    std::vector<std::size_t> position;  // a row's place among the data rows (1 = the first, empty ones counted)
    std::vector<long long> fids;        // a GIS layer's feature ids, one per row
    // CSV rows with the wrong number of fields, kept (read with
    // keep_uneven): the row and why; their cells are padded with empty
    // ones or cut to the header's columns.
    std::vector<std::pair<std::size_t, std::string>> uneven;
    // CSV: written back as read.
    char sep = ',';
    char decimal = '.';
    std::string eol = "\n";
    std::shared_ptr<GisLayer> gis;

    void add_column(std::string name) {
        names.push_back(std::move(name));
        cells.add(rows);
    }
    std::optional<std::string_view> cell(std::size_t row, std::size_t column) const {
        return cells.column(column).get(row);
    }
};

// One cell of an output row.
struct OutCell {
    enum Type : std::uint8_t { Null, Text, Int, Real } type = Null;
    std::string_view text;  // Text
    long long i = 0;        // Int
    double d = 0;           // Real
};

// A column of the written table: a source column carried with its type,
// or a result column of the given kind.
struct OutColumn {
    enum Kind : std::uint8_t { Carried, Integer, Real, Text } kind = Carried;
    std::string name;
    std::size_t source = 0;  // Carried: the source column
};

// What a writer writes: the columns, and a row's cells on demand (so that
// a table of 100,000 stands is never held as text twice).
class Rows {
public:
    virtual ~Rows() = default;
    virtual const std::vector<OutColumn>& columns() const = 0;
    virtual std::size_t size() const = 0;
    // The cells of row `r` in column order; text views stay valid until the next call.
    virtual void row(std::size_t r, std::vector<OutCell>& cells) const = 0;
};

// Reads a CSV table: UTF-8 (with or without BOM) or Windows-1252, ';' or
// ',' as found in the header, cells in double quotes as spreadsheets write
// them; entirely empty rows are skipped. `progress` may cancel the reading.
// A row with the wrong number of fields refuses the table, or with
// `keep_uneven` is kept and named in `out.uneven`.
Outcome read_csv(const std::filesystem::path& path, Source& out, const Progress& progress = {},
                 bool keep_uneven = false);
// Writes CSV with the source's separator, decimal mark and line end (a
// GIS source: ',' and '.'); to standard output when `path` is empty.
Outcome write_csv(const std::filesystem::path& path, const Source& source, const Rows& rows,
                  const Progress& progress);

// The same through GDAL for every other format; refused in a build without it.
Outcome read_gis(const std::filesystem::path& path, TableFormat format, std::string_view layer, Source& out,
                 const Progress& progress);
Outcome write_gis(const std::filesystem::path& path, TableFormat format, const Source& source, const Rows& rows,
                  const Progress& progress);

// GDAL and its hundred libraries would cost every start of the program
// tens of MiB: on Linux they live in the module "forstrix_gdal", loaded when
// a table in one of these formats is first read or written.
struct GisFunctions {
    Outcome (*read)(const std::filesystem::path&, TableFormat, std::string_view, Source&, const Progress&);
    Outcome (*write)(const std::filesystem::path&, TableFormat, const Source&, const Rows&, const Progress&);
};

// The heading of every failed read or write of a plan's table.
inline constexpr const char* kTableNotRead = "Tabelle kann nicht gelesen werden!";
inline constexpr const char* kTableNotWritten = "Tabelle kann nicht geschrieben werden!";

}  // namespace forstrix::files::table
