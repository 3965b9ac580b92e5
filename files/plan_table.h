// A harvest plan as a document: the planner's table of stands (a CSV file,
// a spreadsheet or a GIS layer), read with its columns, cells, geometry and
// reference system; every stand computed through the one chain; the plan's
// choices and totals; and the table written back with its results. The
// command line's `plan` and `batch` (for tables other than the streamed
// CSV) and the desktop's plan window all work on this one document.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/checks.h"
#include "core/columns.h"
#include "core/plan.h"
#include "core/scenario.h"
#include "core/state.h"
#include "files/basics_file.h"  // Outcome

namespace forstrix::files {

// The format follows the file's extension (case-insensitive): .csv, .ods,
// .xlsx, .gpkg, .shp, .geojson/.json, .fgb.
enum class TableFormat { Csv, Ods, Xlsx, GeoPackage, Shapefile, GeoJson, FlatGeobuf };
std::optional<TableFormat> table_format(const std::filesystem::path& path);
// Whether this build reads and writes the format (every format but CSV
// needs GDAL, which the Windows build lacks).
bool format_available(TableFormat format);
// The German name of the format, for messages and the file dialog's filters.
std::string_view format_name(TableFormat format);

// Called now and then while reading, computing or writing with the share
// done, 0 to 1; returning false cancels (the document stays as it was).
using Progress = std::function<bool(double)>;

// One stand of the plan.
// (The row's own values are PlanTable::given.)
struct PlanRow {
    int wanted = plan::kNone;       // the input's "gewaehlt" (0..5), kNone when empty
    bool fixed = false;             // the input's "fest" = 1
    std::optional<Problem> problem; // a refused row: why (its cells stay, its results are empty)
    std::vector<std::string> warnings;  // plausibility questions of the last compute
    plan::StandFigures figures;     // after compute()
};

class PlanTable {
public:
    PlanTable();
    ~PlanTable();
    PlanTable(PlanTable&&) noexcept;
    PlanTable& operator=(PlanTable&&) noexcept;

    // Reads the table at `path` (`layer`: a layer or sheet by name; empty:
    // the first) and classifies its columns with `mapping` (may be null).
    // Refused: an unreadable file, an unknown format, a refused header, a
    // refused cell or a CSV row with the wrong number of fields (unless
    // rows are read with skip_invalid; the row then keeps its problem).
    // Dropped result columns are named in `dropped`.
    Outcome load(const std::filesystem::path& path, std::string_view layer, const columns::Mapping* mapping,
                 bool skip_invalid, const Progress& progress = {});

    // Computes every row on `threads` threads (0: one per core): `base`
    // holds the defaults and basics, `common` the values given for all
    // rows (a row's own cells win). Rows that compute_scenario or
    // check_results_finite refuse get their problem.
    bool compute(const State& base, std::span<const Given> common, unsigned threads = 0,
                 const Progress& progress = {});
    // Computes one row again (after an edit), with the last compute's base.
    void compute_row(std::size_t row);
    // The complete State of a row as compute_scenario leaves it (for the
    // stand dialog and for writing the results).
    State state_of(std::size_t row) const;

    std::size_t size() const;
    const PlanRow& row(std::size_t i) const;
    // The row's own non-empty value cells.
    std::span<const Given> given(std::size_t row) const;
    // The table's column names as read (UTF-8), their roles, and a cell's
    // text (nullopt: NULL or missing).
    const std::vector<std::string>& column_names() const;
    const columns::Header& header() const;
    std::optional<std::string_view> cell(std::size_t row, std::size_t column) const;
    const std::vector<std::string>& dropped() const;
    // The feature id of a GIS layer's row as ogrinfo shows it; nullopt for
    // tables without one.
    std::optional<long long> feature_id(std::size_t row) const;
    // The row's place among the table's data rows (1 = the first; empty
    // rows that were skipped counted), and the row as a message names it:
    // "Bestand 3" or, in a GIS layer, "Bestand 3 (FID 17)".
    std::size_t position(std::size_t row) const;
    std::string row_name(std::size_t row) const;
    // The format and the layer or sheet that was read.
    TableFormat format() const;
    const std::string& layer() const;

    // The planner's choice (kNone: back to the cheapest); only a suitable
    // system is taken.
    void choose(std::size_t row, int system);
    // Refuses a row after it was computed (a fixed system that the
    // capacities' choice cannot keep): its results are empty, it counts as
    // fehlerhaft.
    void refuse(std::size_t row, Problem problem);
    // Sets a value of one row, which is then computed again; it is written
    // into its own column, or a new column when the table has none. A cell
    // refused on reading is mended so: the row computes again when its
    // other cells are right (a CSV row with the wrong number of fields
    // stays refused).
    void set_value(std::size_t row, const ValueInfo& info, double value);

    plan::Totals totals() const;

    // Writes the table to `path` in the format of its extension: every
    // source column in source order (geometry and reference system where
    // the format carries them), then the result columns of `batch`
    // (with `reasons` the six reason columns after the flags), then, with
    // `plan_columns`, guenstig, gewaehlt, kosten_fm, kosten, diesel_l,
    // benzin_l, co2_kg (the table's own "gewaehlt" column is then left out:
    // the plan's takes its place). Integer columns: the flags, guenstig,
    // gewaehlt; every other figure real at full precision; a refused row
    // keeps its own cells with empty results. An empty `path` writes CSV to
    // standard output. Through the one atomic writer; the source is never
    // touched unless `path` is the source.
    Outcome save(const std::filesystem::path& path, bool plan_columns, bool reasons,
                 const Progress& progress = {}) const;

    // The document's inside, for its own reading and writing halves.
    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace forstrix::files
