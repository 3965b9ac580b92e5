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
    const Outcome read = *format == TableFormat::Csv
                             ? table::read_csv(path, next->source, progress, skip_invalid)
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
    const std::size_t n = next->source.rows;
    next->rows.resize(n);
    next->given_at.reserve(n + 1);
    // A row whose fields do not fit the header is refused whole: its cells
    // say nothing reliable.
    for (auto& [r, why] : next->source.uneven) {
        next->read_problem[r] = Problem{{}, std::move(why)};
        next->uneven.push_back(r);
    }
    next->source.uneven.clear();
    impl_.swap(next);  // row_name reads the new table; swapped back on refusal
    Impl& d = *impl_;
    std::vector<Given> given_now;
    for (std::size_t r = 0; r < n; ++r) {
        std::optional<Problem> problem = d.read_row(r, given_now);
        d.given.insert(d.given.end(), given_now.begin(), given_now.end());
        d.given_at.push_back(static_cast<std::uint32_t>(d.given.size()));
        if (const auto it = d.read_problem.find(r); it != d.read_problem.end()) problem = it->second;
        if (!problem) continue;
        if (!skip_invalid) {
            const std::string name = row_name(r);
            impl_.swap(next);
            return {Status::Refused, table::kTableNotRead, name + ": " + problem->message};
        }
        d.rows[r].problem = *problem;
        d.read_problem[r] = std::move(*problem);
    }
    d.given.shrink_to_fit();
    return {};
}

std::optional<Problem> PlanTable::Impl::read_row(std::size_t r, std::vector<Given>& given_now, std::size_t set,
                                                 double value) {
    PlanRow& row = rows[r];
    // Read again after an edit, the planner's choice since then stays.
    const bool reading = set == SIZE_MAX;
    given_now.clear();
    std::optional<Problem> first;
    for (std::size_t k = 0; k < header.columns.size(); ++k) {
        const columns::Column& c = header.columns[k];
        if (k == set) {
            given_now.push_back({c.info, value});
            continue;
        }
        const std::optional<std::string_view> cell = source.cell(r, k);
        if (!cell) continue;
        Problem problem;
        bool refused = false;
        if (c.role == columns::Role::Value) {
            double read = 0;
            switch (columns::read_cell(c, *cell, read, problem)) {
            case columns::Cell::Empty: break;
            case columns::Cell::Value: given_now.push_back({c.info, read}); break;
            case columns::Cell::Refused: refused = true; break;
            }
        } else if (c.role == columns::Role::Chosen) {
            const std::optional<int> chosen = columns::read_chosen(*cell, problem);
            refused = !chosen;
            if (chosen && reading) row.wanted = *chosen;
        } else if (c.role == columns::Role::Fixed) {
            const std::optional<int> fixed = columns::read_fixed(*cell, problem);
            refused = !fixed;
            if (fixed && reading) row.fixed = *fixed == 1;
        }
        if (!refused || first) continue;
        problem.message = with_value(problem, *cell);
        first = std::move(problem);
    }
    return first;
}

void PlanTable::Impl::replace_given(std::size_t r, std::span<const Given> given_now) {
    const auto from = given.begin() + given_at[r], to = given.begin() + given_at[r + 1];
    const std::ptrdiff_t grow = static_cast<std::ptrdiff_t>(given_now.size()) - (to - from);
    const auto at = given.erase(from, to);
    given.insert(at, given_now.begin(), given_now.end());
    for (std::size_t i = r + 1; i < given_at.size(); ++i)
        given_at[i] = static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(given_at[i]) + grow);
}

void PlanTable::Impl::compute_one(std::size_t r, State& s, ScenarioOutcome& outcome, std::vector<Given>& given_now,
                                  RowOut out, double* results_row, std::uint64_t& failing_row) const {
    out.figures = plan::StandFigures{};
    out.warnings.clear();
    out.problem.reset();
    if (const auto it = read_problem.find(r); it != read_problem.end()) {
        out.problem = it->second;
        return;
    }
    given_now.assign(common.begin(), common.end());
    given_now.insert(given_now.end(), given.begin() + given_at[r], given.begin() + given_at[r + 1]);
    s = prepared;
    compute_scenario(s, given_now, nullptr, outcome, /*machines_done=*/true);
    if (!outcome.ok()) {
        out.problem = outcome.problems.front();
        return;
    }
    // A stand outside the time model is refused as calc and batch refuse it.
    if (std::optional<Problem> p = check_results_finite(s)) {
        out.problem = std::move(*p);
        return;
    }
    out.warnings = outcome.warnings;
    out.figures = plan::stand_figures(s, rows[r].wanted);
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
    // A cancelled run leaves the rows as they were: the first run computes
    // into the rows themselves (cancelled, they are uncomputed again),
    // every later one into fresh figures that replace the rows' at the end.
    // The rows are never copied whole: a plan of 100,000 stands holds
    // tens of MiB of them.
    const bool in_place = !had_base;
    std::vector<plan::StandFigures> figures(in_place ? 0 : n);
    std::vector<std::optional<Problem>> problems(in_place ? 0 : n);
    std::vector<std::vector<std::string>> warnings(in_place ? 0 : n);
    auto out_of = [&](std::size_t r) {
        PlanRow& row = d.rows[r];
        return in_place ? Impl::RowOut{row.figures, row.problem, row.warnings}
                        : Impl::RowOut{figures[r], problems[r], warnings[r]};
    };
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
                d.compute_one(r, s, outcome, given, out_of(r), results.data() + r * width, failing[r]);
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
        if (in_place) {
            for (std::size_t r = 0; r < n; ++r) {
                PlanRow& row = d.rows[r];
                row.figures = plan::StandFigures{};
                row.warnings.clear();
                const auto it = d.read_problem.find(r);
                row.problem = it != d.read_problem.end() ? std::optional<Problem>(it->second) : std::nullopt;
            }
        }
        std::swap(d.prepared, prepared);
        std::swap(d.common, saved_common);
        d.has_base = had_base;
        return false;
    }
    if (!in_place) {
        for (std::size_t r = 0; r < n; ++r) {
            PlanRow& row = d.rows[r];
            row.figures = figures[r];
            row.problem = std::move(problems[r]);
            row.warnings = std::move(warnings[r]);
        }
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
    PlanRow& r = d.rows[row];
    d.compute_one(row, s, outcome, given, {r.figures, r.problem, r.warnings}, d.results.data() + row * width,
                  d.failing[row]);
}

State PlanTable::state_of(std::size_t row) const {
    const Impl& d = *impl_;
    State s;
    if (d.has_base) s = d.prepared;
    else calc_all_machines(s);
    std::vector<Given> given(d.common.begin(), d.common.end());
    const std::span<const Given> own = this->given(row);
    given.insert(given.end(), own.begin(), own.end());
    ScenarioOutcome outcome;
    compute_scenario(s, given, nullptr, outcome, /*machines_done=*/true);
    return s;
}

std::size_t PlanTable::size() const { return impl_->rows.size(); }
const PlanRow& PlanTable::row(std::size_t i) const { return impl_->rows[i]; }
std::span<const Given> PlanTable::given(std::size_t row) const {
    const Impl& d = *impl_;
    return {d.given.data() + d.given_at[row], d.given.data() + d.given_at[row + 1]};
}
const std::vector<std::string>& PlanTable::column_names() const { return impl_->source.names; }
const columns::Header& PlanTable::header() const { return impl_->header; }
const std::vector<std::string>& PlanTable::dropped() const { return impl_->header.dropped; }
TableFormat PlanTable::format() const { return impl_->source.format; }
const std::string& PlanTable::layer() const { return impl_->source.layer; }

std::optional<std::string_view> PlanTable::cell(std::size_t row, std::size_t column) const {
    return impl_->source.cell(row, column);
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
    d.source.cells.column(k).set(row, format_shortest(value));
    // The row's other cells read again: the one set may have been the row's
    // only fault. A row whose fields did not fit the header stays refused.
    std::vector<Given> given;
    std::optional<Problem> problem = d.read_row(row, given, k, value);
    d.replace_given(row, given);
    if (!std::binary_search(d.uneven.begin(), d.uneven.end(), row)) {
        if (problem) d.read_problem[row] = std::move(*problem);
        else d.read_problem.erase(row);
    }
    compute_row(row);
}

plan::Totals PlanTable::totals() const {
    plan::Totals t;  // stand by stand: the window asks after every edit
    for (const PlanRow& r : impl_->rows) t.add(r.figures);
    return t;
}

}  // namespace forstrix::files
