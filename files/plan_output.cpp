// Writing the plan document: every source column as it was read, then the
// batch's result columns with the same numbers, then the plan's columns.
#include <cmath>

#include "core/suitability.h"
#include "files/plan_table.h"
#include "files/plan_table_impl.h"

namespace forstrix::files {

namespace {

constexpr std::string_view kPlanColumns[] = {"kosten_fm", "kosten", "diesel_l", "benzin_l", "co2_kg"};

// The table as its writers see it.
class PlanRows final : public table::Rows {
public:
    PlanRows(const PlanTable::Impl& d, bool plan_columns, bool reasons) : d_(d), plan_(plan_columns) {
        for (std::size_t k = 0; k < d.source.names.size(); ++k) {
            const columns::Role role = d.header.columns[k].role;
            // Results of an earlier run are written afresh; a plan's own
            // choice column takes the place of the table's.
            if (role == columns::Role::Dropped || (plan_columns && role == columns::Role::Chosen)) continue;
            columns_.push_back({table::OutColumn::Carried, d.source.names[k], k});
            carried_.push_back(k);
        }
        for (std::size_t k = 0; k < d.outputs.size(); ++k) {
            const ValueInfo& v = *d.outputs[k];
            columns_.push_back({v.kind == ValueKind::Flag ? table::OutColumn::Integer : table::OutColumn::Real,
                                std::string(v.name), 0});
            if (reasons && v.kind == ValueKind::Flag) reasons_after_ = k;
        }
        if (reasons_after_ != SIZE_MAX) {
            const auto at = columns_.begin() + static_cast<std::ptrdiff_t>(carried_.size() + reasons_after_ + 1);
            std::vector<table::OutColumn> six;
            for (int i = 1; i <= kSystemCount; ++i)
                six.push_back({table::OutColumn::Text, "reasons_sys" + std::to_string(i), 0});
            columns_.insert(at, six.begin(), six.end());
        }
        if (plan_) {
            columns_.push_back({table::OutColumn::Integer, "guenstig", 0});
            columns_.push_back({table::OutColumn::Integer, "gewaehlt", 0});
            for (std::string_view name : kPlanColumns) columns_.push_back({table::OutColumn::Real, std::string(name), 0});
        }
    }

    const std::vector<table::OutColumn>& columns() const override { return columns_; }
    std::size_t size() const override { return d_.rows.size(); }

    void row(std::size_t r, std::vector<table::OutCell>& cells) const override {
        cells.clear();
        for (std::size_t k : carried_) {
            const std::optional<std::string_view> c = d_.source.cell(r, k);
            cells.push_back(c ? table::OutCell{table::OutCell::Text, *c} : table::OutCell{});
        }
        const PlanRow& row = d_.rows[r];
        const bool computed = row.figures.computed && d_.results.size() == d_.rows.size() * d_.outputs.size();
        const std::size_t width = d_.outputs.size();
        for (std::size_t k = 0; k < width; ++k) {
            if (!computed) {
                cells.emplace_back();
            } else {
                const double v = d_.results[r * width + k];
                // Whole-number values read as batch writes them.
                if (d_.outputs[k]->type == ValueType::Double)
                    cells.push_back({table::OutCell::Real, {}, 0, v});
                else
                    cells.push_back({table::OutCell::Int, {}, static_cast<long long>(v), 0});
            }
            if (k == reasons_after_) add_reasons(r, computed, cells);
        }
        if (!plan_) return;
        const plan::StandFigures& f = row.figures;
        auto system = [&](int s) {
            return computed && s != plan::kNone ? table::OutCell{table::OutCell::Int, {}, s + 1, 0} : table::OutCell{};
        };
        cells.push_back(system(f.cheapest));
        cells.push_back(system(f.chosen));
        if (!computed || f.chosen == plan::kNone) {
            cells.resize(cells.size() + std::size(kPlanColumns));
            return;
        }
        const plan::Amounts a = plan::amounts(f, f.chosen);
        for (double v : {a.euro_fm, a.euro, a.diesel_l, a.petrol_l, a.co2_kg})
            cells.push_back({table::OutCell::Real, {}, 0, v});
    }

private:
    // The names of the values that keep each system from suiting the stand,
    // single blanks between them, in the order of the stand dialog.
    void add_reasons(std::size_t r, bool computed, std::vector<table::OutCell>& cells) const {
        for (int i = 0; i < kSystemCount; ++i) {
            if (!computed) {
                cells.emplace_back();
                continue;
            }
            char* text = reasons_[static_cast<std::size_t>(i)].data();
            const char* end = put_reasons_cell(text, d_.failing[r], i);
            cells.push_back({table::OutCell::Text, std::string_view(text, static_cast<std::size_t>(end - text))});
        }
    }

    const PlanTable::Impl& d_;
    bool plan_;
    std::vector<table::OutColumn> columns_;
    std::vector<std::size_t> carried_;
    std::size_t reasons_after_ = SIZE_MAX;
    mutable std::array<std::array<char, kReasonsCellRoom>, kSystemCount> reasons_;
};

}  // namespace

Outcome PlanTable::save(const std::filesystem::path& path, bool plan_columns, bool reasons,
                        const Progress& progress) const {
    const std::optional<TableFormat> format = path.empty() ? TableFormat::Csv : table_format(path);
    if (!format)
        return {Status::Refused, table::kTableNotWritten,
                "Unbekanntes Format \"" + path.extension().string() +
                    "\"; geschrieben werden .csv, .ods, .xlsx, .gpkg, .shp, .geojson und .fgb."};
    if (!format_available(*format))
        return {Status::Refused, table::kTableNotWritten,
                "Das Format " + std::string(format_name(*format)) +
                    " wird in dieser Ausgabe von Forstrix nicht unterstützt; bitte als CSV speichern."};
    const PlanRows rows(*impl_, plan_columns, reasons);
    if (*format == TableFormat::Csv) return table::write_csv(path, impl_->source, rows, progress);
    return table::write_gis(path, *format, impl_->source, rows, progress);
}

}  // namespace forstrix::files
