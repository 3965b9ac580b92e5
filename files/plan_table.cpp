// The plan document: reading a table into stands, computing every stand
// through the one chain, the planner's choices and the plan's totals.
#include "files/plan_table.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <thread>

#include "core/calc.h"
#include "core/message_text.h"
#include "core/numtext.h"
#include "core/suitability.h"
#include "files/plan_table_impl.h"

namespace forstrix::files {

namespace fs = std::filesystem;

std::optional<TableFormat> table_format(const fs::path& path) {
    std::string ext = path.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".csv") return TableFormat::Csv;
    if (ext == ".ods") return TableFormat::Ods;
    if (ext == ".xlsx") return TableFormat::Xlsx;
    if (ext == ".gpkg") return TableFormat::GeoPackage;
    if (ext == ".shp") return TableFormat::Shapefile;
    if (ext == ".geojson" || ext == ".json") return TableFormat::GeoJson;
    if (ext == ".fgb") return TableFormat::FlatGeobuf;
    return std::nullopt;
}

bool format_available(TableFormat format) {
#if FORSTRIX_WITH_GDAL
    (void)format;
    return true;
#else
    return format == TableFormat::Csv;
#endif
}

std::string_view format_name(TableFormat format) {
    switch (format) {
    case TableFormat::Csv: return "CSV";
    case TableFormat::Ods: return "ODS (LibreOffice)";
    case TableFormat::Xlsx: return "XLSX (Excel)";
    case TableFormat::GeoPackage: return "GeoPackage";
    case TableFormat::Shapefile: return "Shapefile";
    case TableFormat::GeoJson: return "GeoJSON";
    case TableFormat::FlatGeobuf: return "FlatGeobuf";
    }
    return "CSV";
}

#if !FORSTRIX_WITH_GDAL
// A build without GDAL (the Windows build) reads and writes CSV alone;
// format_available tells the callers before they get here.
namespace table {
Outcome read_gis(const fs::path&, TableFormat format, std::string_view, Source&, const Progress&) {
    return {Status::Refused, kTableNotRead,
            "Das Format " + std::string(format_name(format)) + " wird in dieser Ausgabe von Forstrix nicht unterstützt."};
}
Outcome write_gis(const fs::path&, TableFormat format, const Source&, const Rows&, const Progress&) {
    return {Status::Refused, kTableNotWritten,
            "Das Format " + std::string(format_name(format)) + " wird in dieser Ausgabe von Forstrix nicht unterstützt."};
}
}  // namespace table
#endif

std::vector<const ValueInfo*> result_values() {
    std::vector<const ValueInfo*> out;
    for (const ValueInfo& v : value_registry())
        if (v.kind == ValueKind::Derived || v.kind == ValueKind::Flag || v.kind == ValueKind::Result) out.push_back(&v);
    return out;
}

PlanTable::PlanTable() : impl_(std::make_unique<Impl>()) { impl_->outputs = result_values(); }
PlanTable::~PlanTable() = default;
PlanTable::PlanTable(PlanTable&&) noexcept = default;
PlanTable& PlanTable::operator=(PlanTable&&) noexcept = default;

namespace {

// The cell's text in a message: the value as the planner sees it.
std::string with_value(const Problem& p, std::string_view text) {
    const std::string shown = printable(text, 80);
    if (p.message.find(shown) != std::string::npos) return p.message;
    return p.message + " (Wert „" + shown + "“)";
}

}  // namespace

Outcome PlanTable::load(const fs::path& path, std::string_view layer, const columns::Mapping* mapping,
                        bool skip_invalid, const Progress& progress) {
    auto next = std::make_unique<Impl>();
    next->outputs = result_values();
    const std::optional<TableFormat> format = table_format(path);
    if (!format)
        return {Status::Refused, table::kTableNotRead,
                "Unbekanntes Format \"" + printable(path.extension().string(), 40) +
                    "\"; gelesen werden .csv, .ods, .xlsx, .gpkg, .shp, .geojson und .fgb."};
    if (!format_available(*format))
        return {Status::Refused, table::kTableNotRead,
                "Das Format " + std::string(format_name(*format)) +
                    " wird in dieser Ausgabe von Forstrix nicht unterstützt; bitte als CSV speichern."};
    const Outcome read = *format == TableFormat::Csv ? table::read_csv(path, next->source)
                                                     : table::read_gis(path, *format, layer, next->source, progress);
    if (!read.ok()) return read;
    if (*format == TableFormat::Csv && !layer.empty())
        return {Status::Refused, table::kTableNotRead, "Eine CSV-Tabelle hat keine Ebenen; --layer gilt hier nicht."};

    if (mapping != nullptr) next->mapping = *mapping;
    next->header = columns::classify(next->source.names, mapping != nullptr ? &next->mapping : nullptr);
    if (!next->header.problems.empty()) {
        std::string detail;
        for (const Problem& p : next->header.problems) detail += (detail.empty() ? "" : "\n") + p.message;
        return {Status::Refused, table::kTableNotRead, detail};
    }
    table::Source& src = next->source;
    next->rows.resize(src.rows);
    next->cell_problem.resize(src.rows);
    impl_.swap(next);  // row_name reads the new table; swapped back on refusal
    for (std::size_t r = 0; r < src.rows; ++r) {
        PlanRow& row = impl_->rows[r];
        for (std::size_t k = 0; k < impl_->header.columns.size(); ++k) {
            const std::optional<std::string>& cell = impl_->source.cells[k][r];
            if (!cell) continue;
            const columns::Column& c = impl_->header.columns[k];
            Problem problem;
            bool refused = false;
            if (c.role == columns::Role::Value) {
                double value = 0;
                switch (columns::read_cell(c, *cell, value, problem)) {
                case columns::Cell::Empty: break;
                case columns::Cell::Value: row.given.push_back({c.info, value}); break;
                case columns::Cell::Refused: refused = true; break;
                }
            } else if (c.role == columns::Role::Chosen) {
                const std::optional<int> chosen = columns::read_chosen(*cell, problem);
                refused = !chosen;
                if (chosen) row.wanted = *chosen;
            } else if (c.role == columns::Role::Fixed) {
                const std::optional<int> fixed = columns::read_fixed(*cell, problem);
                refused = !fixed;
                if (fixed) row.fixed = *fixed == 1;
            }
            if (!refused || row.problem) continue;
            problem.message = with_value(problem, *cell);
            if (!skip_invalid) {
                const std::string name = row_name(r);
                impl_.swap(next);
                return {Status::Refused, table::kTableNotRead, name + ": " + problem.message};
            }
            row.problem = problem;
            impl_->cell_problem[r] = problem;
        }
    }
    return {};
}

void PlanTable::Impl::compute_one(std::size_t r, State& s, ScenarioOutcome& outcome, std::vector<Given>& given,
                                  PlanRow& row, double* results_row, std::uint64_t& failing_row) const {
    row.figures = plan::StandFigures{};
    row.warnings.clear();
    row.problem = cell_problem[r];
    if (row.problem) return;
    given.assign(common.begin(), common.end());
    given.insert(given.end(), row.given.begin(), row.given.end());
    s = prepared;
    compute_scenario(s, given, nullptr, outcome, /*machines_done=*/true);
    if (!outcome.ok()) {
        row.problem = outcome.problems.front();
        return;
    }
    // A stand outside the time model is refused as calc and batch refuse it.
    if (std::optional<Problem> p = check_results_finite(s)) {
        row.problem = *p;
        return;
    }
    row.warnings = outcome.warnings;
    row.figures = plan::stand_figures(s, row.wanted);
    for (std::size_t k = 0; k < outputs.size(); ++k) results_row[k] = get_value(s, *outputs[k]);
    failing_row = failing_conditions(suitability_inputs(s));
}

bool PlanTable::compute(const State& base, std::span<const Given> common, unsigned threads,
                        const Progress& progress) {
    Impl& d = *impl_;
    State prepared = base;
    calc_all_machines(prepared);  // once for every row that changes no basic
    std::vector<Given> saved_common(common.begin(), common.end());
    std::swap(d.prepared, prepared);
    std::swap(d.common, saved_common);
    const bool had_base = std::exchange(d.has_base, true);

    const std::size_t n = d.rows.size(), width = d.outputs.size();
    // Only a run that can be cancelled keeps the rows as they were; the
    // command line's plan of 100,000 stands computes in place.
    std::vector<PlanRow> before;
    if (progress) before = d.rows;
    std::vector<PlanRow>& rows = d.rows;
    std::vector<double> results(n * width);
    std::vector<std::uint64_t> failing(n);
    if (threads == 0) threads = std::min(std::max(1u, std::thread::hardware_concurrency()), 8u);
    threads = static_cast<unsigned>(std::max<std::size_t>(1, std::min<std::size_t>(threads, n / 64 + 1)));
    constexpr std::size_t kBlock = 64;
    std::atomic<std::size_t> next{0}, done{0};
    std::atomic<bool> cancel{false};
    auto work = [&](bool reports) {
        State s;
        ScenarioOutcome outcome;
        std::vector<Given> given;
        for (;;) {
            const std::size_t from = next.fetch_add(kBlock);
            if (from >= n || cancel.load()) return;
            const std::size_t to = std::min(n, from + kBlock);
            for (std::size_t r = from; r < to; ++r)
                d.compute_one(r, s, outcome, given, rows[r], results.data() + r * width, failing[r]);
            const std::size_t now = done.fetch_add(to - from) + (to - from);
            // The caller's progress is told from its own thread only.
            if (reports && progress && !progress(double(now) / double(n))) cancel.store(true);
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            pool.emplace_back(work, false);
        } catch (const std::system_error&) {
            break;  // the threads that did start share the rows
        }
    }
    work(true);
    for (std::thread& t : pool) t.join();
    if (cancel.load()) {
        d.rows = std::move(before);
        std::swap(d.prepared, prepared);
        std::swap(d.common, saved_common);
        d.has_base = had_base;
        return false;
    }
    d.results = std::move(results);
    d.failing = std::move(failing);
    if (progress) progress(1.0);
    return true;
}

void PlanTable::compute_row(std::size_t row) {
    Impl& d = *impl_;
    if (!d.has_base) {
        d.prepared = State{};
        calc_all_machines(d.prepared);
        d.has_base = true;
    }
    const std::size_t width = d.outputs.size();
    if (d.results.size() != d.rows.size() * width) {
        d.results.assign(d.rows.size() * width, 0.0);
        d.failing.assign(d.rows.size(), 0);
    }
    State s;
    ScenarioOutcome outcome;
    std::vector<Given> given;
    d.compute_one(row, s, outcome, given, d.rows[row], d.results.data() + row * width, d.failing[row]);
}

State PlanTable::state_of(std::size_t row) const {
    const Impl& d = *impl_;
    State s;
    if (d.has_base) s = d.prepared;
    else calc_all_machines(s);
    std::vector<Given> given(d.common.begin(), d.common.end());
    given.insert(given.end(), d.rows[row].given.begin(), d.rows[row].given.end());
    ScenarioOutcome outcome;
    compute_scenario(s, given, nullptr, outcome, /*machines_done=*/true);
    return s;
}

std::size_t PlanTable::size() const { return impl_->rows.size(); }
const PlanRow& PlanTable::row(std::size_t i) const { return impl_->rows[i]; }
const std::vector<std::string>& PlanTable::column_names() const { return impl_->source.names; }
const columns::Header& PlanTable::header() const { return impl_->header; }
const std::vector<std::string>& PlanTable::dropped() const { return impl_->header.dropped; }
TableFormat PlanTable::format() const { return impl_->source.format; }
const std::string& PlanTable::layer() const { return impl_->source.layer; }

std::optional<std::string_view> PlanTable::cell(std::size_t row, std::size_t column) const {
    const std::optional<std::string>& c = impl_->source.cells[column][row];
    if (!c) return std::nullopt;
    return std::string_view(*c);
}

std::optional<long long> PlanTable::feature_id(std::size_t row) const {
    if (impl_->source.fids.size() != impl_->source.rows) return std::nullopt;
    return impl_->source.fids[row];
}

std::size_t PlanTable::position(std::size_t row) const { return impl_->source.position[row]; }

std::string PlanTable::row_name(std::size_t row) const {
    std::string name = "Bestand " + std::to_string(position(row));
    if (const std::optional<long long> fid = feature_id(row)) name += " (FID " + std::to_string(*fid) + ")";
    return name;
}

void PlanTable::choose(std::size_t row, int system) {
    PlanRow& r = impl_->rows[row];
    r.wanted = system;
    if (r.figures.computed) plan::choose(r.figures, system);
}

void PlanTable::refuse(std::size_t row, Problem problem) {
    PlanRow& r = impl_->rows[row];
    r.figures = plan::StandFigures{};
    r.problem = std::move(problem);
}

void PlanTable::set_value(std::size_t row, const ValueInfo& info, double value) {
    Impl& d = *impl_;
    std::size_t k = 0;
    while (k < d.header.columns.size() &&
           !(d.header.columns[k].role == columns::Role::Value && d.header.columns[k].info == &info))
        ++k;
    if (k == d.header.columns.size()) {
        d.source.add_column(std::string(info.name));
        d.header.columns.push_back({columns::Role::Value, &info, nullptr});
    }
    d.source.cells[k][row] = format_shortest(value);
    std::vector<Given>& given = d.rows[row].given;
    const auto it = std::find_if(given.begin(), given.end(), [&](const Given& g) { return g.info == &info; });
    if (it != given.end()) it->value = value;
    else given.push_back({&info, value});
    compute_row(row);
}

plan::Totals PlanTable::totals() const {
    std::vector<plan::StandFigures> figures;
    figures.reserve(impl_->rows.size());
    for (const PlanRow& r : impl_->rows) figures.push_back(r.figures);
    return plan::totals(figures);
}

}  // namespace forstrix::files
