#include "ui/plan_model.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include <QBrush>
#include <QCollator>
#include <QColor>
#include <QStringList>

#include "core/decision.h"
#include "core/numtext.h"
#include "core/suitability.h"
#include "core/systems.h"
#include "draw/plan_sheet.h"
#include "ui/plan_capacity.h"

namespace forstrix::ui {

namespace {

const QColor kRefusedBackground(255, 222, 222);  // light red: this stand was not computed
const QColor kNoSystemText(110, 110, 110);

QString numeral(int system) { return QString::fromUtf8(kSystemNumerals[static_cast<std::size_t>(system)]); }

}  // namespace

QString suitable_text(const plan::StandFigures& f) {
    QStringList names;
    for (int k = 0; k < plan::kSystems; ++k)
        if (f.suitable[static_cast<std::size_t>(k)]) names << numeral(k);
    return names.join(QStringLiteral(", "));
}

PlanModel::PlanModel(QObject* parent) : QAbstractTableModel(parent) {}

void PlanModel::set_table(files::PlanTable* table) {
    beginResetModel();
    table_ = table;
    name_column_.reset();
    ranked_column_ = keyed_column_ = -1;
    if (table_ != nullptr) {
        const auto& columns = table_->header().columns;
        for (std::size_t k = 0; k < columns.size(); ++k)
            if (columns[k].role == columns::Role::Carried) {
                name_column_ = k;
                break;
            }
    }
    endResetModel();
}

int PlanModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || table_ == nullptr ? 0 : static_cast<int>(table_->size());
}

int PlanModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColCount; }

QString PlanModel::stand_name(std::size_t row) const {
    if (table_ == nullptr) return {};
    if (name_column_) {
        const std::optional<std::string_view> cell = table_->cell(row, *name_column_);
        if (cell && !cell->empty()) return QString::fromUtf8(cell->data(), static_cast<qsizetype>(cell->size()));
    }
    return QString::fromStdString(table_->row_name(row));
}

std::optional<double> PlanModel::number(int column, std::size_t row) const {
    const plan::StandFigures& f = table_->row(row).figures;
    if (!f.computed) return std::nullopt;
    if (column == ColVolume) return f.volume;
    if (column >= ColSystemFirst && column < ColSystemFirst + plan::kSystems) {
        const auto k = static_cast<std::size_t>(column - ColSystemFirst);
        if (!f.suitable[k]) return std::nullopt;
        return f.euro_fm[k];
    }
    if (column == ColCheapest) return f.cheapest == plan::kNone ? std::nullopt : std::optional<double>(f.cheapest);
    if (column == ColChosen) return f.chosen == plan::kNone ? std::nullopt : std::optional<double>(f.chosen);
    if (column == ColEuro || column == ColCo2) {
        if (f.chosen == plan::kNone) return std::nullopt;
        const plan::Amounts a = plan::amounts(f, f.chosen);
        return column == ColEuro ? a.euro : a.co2_kg;
    }
    if (column == ColExtra) return extra_cost(f);
    return std::nullopt;
}

QString PlanModel::reasons(std::size_t row, int system) const {
    const State s = table_->state_of(row);
    QStringList lines;
    for (const Reason& r : unsuitability_reasons(s, system)) lines << QString::fromStdString(r.text);
    if (lines.isEmpty()) lines << QStringLiteral("Die Kosten dieses Systems sind für den Bestand nicht größer als 0.");
    return QString::fromUtf8(kSystemTitles[static_cast<std::size_t>(system)]) + QStringLiteral(" ist ungeeignet:\n") +
           lines.join(QLatin1Char('\n'));
}

QVariant PlanModel::data(const QModelIndex& index, int role) const {
    if (table_ == nullptr || !index.isValid()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const files::PlanRow& r = table_->row(row);
    const plan::StandFigures& f = r.figures;
    const int column = index.column();

    if (role == Qt::BackgroundRole) return r.problem ? QVariant(QBrush(kRefusedBackground)) : QVariant();
    if (role == Qt::TextAlignmentRole)
        return column == ColName || column == ColSuitable || column == ColNote
                   ? QVariant(int(Qt::AlignLeft | Qt::AlignVCenter))
                   : QVariant(int(column == ColCheapest || column == ColChosen ? Qt::AlignCenter
                                                                               : Qt::AlignRight | Qt::AlignVCenter));
    if (role == kSortRole) {
        if (text_column(column)) return data(index, Qt::DisplayRole);
        const std::optional<double> v = number(column, row);
        return v ? QVariant(*v) : QVariant();
    }
    if (role == kChoicesRole) {
        QVariantList choices;
        for (int k = 0; k < plan::kSystems; ++k)
            if (f.suitable[static_cast<std::size_t>(k)]) choices << k;
        return choices;
    }
    if (role == Qt::ForegroundRole)
        return f.computed && !f.any_suitable() ? QVariant(QBrush(kNoSystemText)) : QVariant();
    if (role == Qt::ToolTipRole) {
        if (r.problem) return QString::fromStdString(r.problem->message);
        if (column >= ColSystemFirst && column < ColSystemFirst + plan::kSystems && f.computed &&
            !f.suitable[static_cast<std::size_t>(column - ColSystemFirst)])
            return reasons(row, column - ColSystemFirst);
        if (column == ColChosen && f.chosen != plan::kNone)
            return QString::fromUtf8(kSystemTitles[static_cast<std::size_t>(f.chosen)]);
        if (column == ColNote && !r.warnings.empty()) {
            QStringList lines;
            for (const std::string& w : r.warnings) lines << QString::fromStdString(w);
            return lines.join(QLatin1Char('\n'));
        }
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};

    switch (column) {
        case ColName: return stand_name(row);
        case ColSuitable: return f.computed ? suitable_text(f) : QString();
        case ColNote:
            if (r.problem) return QString::fromStdString(r.problem->message);
            if (f.computed && !f.any_suitable()) return QStringLiteral("kein geeignetes System");
            if (!r.warnings.empty()) return QString::fromStdString(r.warnings.front());
            return {};
        case ColCheapest:
        case ColChosen: {
            if (role == Qt::EditRole && column == ColChosen) return f.chosen;
            const std::optional<double> v = number(column, row);
            return v ? numeral(static_cast<int>(*v)) : QString();
        }
        default: break;
    }
    const std::optional<double> v = number(column, row);
    if (!v) return QString();
    if (column == ColVolume) return draw::grouped(*v, 1);
    if (column == ColEuro || column == ColCo2 || column == ColExtra) return draw::grouped(*v, 0);
    return draw::grouped(*v, 2);  // Euro/Fm of a system
}

QVariant PlanModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (role == Qt::ToolTipRole && section >= ColSystemFirst && section < ColSystemFirst + plan::kSystems)
        return QString::fromUtf8(kSystemTitles[static_cast<std::size_t>(section - ColSystemFirst)]) +
               QStringLiteral(" (Euro/Fm; I und II inklusive Vermessung)");
    if (role == Qt::ToolTipRole && section == ColExtra)
        return QStringLiteral("Kosten des gewählten Systems über denen des günstigsten (Euro)");
    if (role != Qt::DisplayRole) return {};
    switch (section) {
        case ColName: return QStringLiteral("Bestand");
        case ColVolume: return QStringLiteral("Hiebsmenge\n(EFm)");
        case ColSuitable: return QStringLiteral("Geeignet");
        case ColCheapest: return QStringLiteral("Günstigstes");
        case ColChosen: return QStringLiteral("Gewählt");
        case ColEuro: return QStringLiteral("Kosten\n(Euro)");
        case ColCo2: return QStringLiteral("CO2\n(kg)");
        case ColExtra: return QStringLiteral("Mehrkosten\n(Euro)");
        case ColNote: return QStringLiteral("Meldung");
        default: return numeral(section - ColSystemFirst) + QStringLiteral("\n(Euro/Fm)");
    }
}

Qt::ItemFlags PlanModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags fl = QAbstractTableModel::flags(index);
    // Only a stand with more than one suitable system leaves a choice.
    if (table_ != nullptr && index.column() == ColChosen) {
        const plan::StandFigures& f = table_->row(static_cast<std::size_t>(index.row())).figures;
        int suitable = 0;
        for (bool s : f.suitable) suitable += s ? 1 : 0;
        if (f.computed && suitable > 1) fl |= Qt::ItemIsEditable;
    }
    return fl;
}

bool PlanModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (table_ == nullptr || role != Qt::EditRole || index.column() != ColChosen) return false;
    bool ok = false;
    const int system = value.toInt(&ok);
    const auto row = static_cast<std::size_t>(index.row());
    const plan::StandFigures& f = table_->row(row).figures;
    if (!ok || system < 0 || system >= plan::kSystems || !f.suitable[static_cast<std::size_t>(system)]) return false;
    if (f.chosen == system) return true;
    table_->choose(row, system);
    row_changed(row);
    emit chosen(row);
    return true;
}

void PlanModel::row_changed(std::size_t row) {
    ranked_column_ = keyed_column_ = -1;  // its texts and figures may have changed
    emit dataChanged(index(static_cast<int>(row), 0), index(static_cast<int>(row), ColCount - 1));
}

bool PlanModel::text_column(int column) { return column == ColName || column == ColSuitable || column == ColNote; }

bool PlanModel::has_figure(int column, std::size_t row) const {
    if (text_column(column)) return true;
    if (keyed_column_ != column) key_figures(column);
    return !std::isnan(keys_[row]);
}

// The figures of a column once for every stand (NaN: none), so that a
// sort compares plain numbers rather than working out each figure anew.
void PlanModel::key_figures(int column) const {
    const std::size_t n = table_->size();
    keys_.resize(n);
    for (std::size_t r = 0; r < n; ++r) keys_[r] = number(column, r).value_or(std::nan(""));
    keyed_column_ = column;
}

// The stands' places in the alphabetical order of a text column: each text
// turned into its collation key once, so that a hundred thousand names sort
// without a comparison of texts per step. Numbers in names count as numbers
// ("Abt. 2" before "Abt. 10").
void PlanModel::rank_texts(int column) const {
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const std::size_t n = table_->size();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(n);
    for (std::size_t r = 0; r < n; ++r)
        keys.push_back(collator.sortKey(data(index(static_cast<int>(r), column), Qt::DisplayRole).toString()));
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t x, std::uint32_t y) { return keys[x].compare(keys[y]) < 0; });
    rank_.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) rank_[order[i]] = static_cast<std::uint32_t>(i);
    ranked_column_ = column;
}

bool PlanModel::less(int column, std::size_t a, std::size_t b) const {
    if (text_column(column)) {
        if (ranked_column_ != column) rank_texts(column);
        return rank_[a] < rank_[b];
    }
    if (keyed_column_ != column) key_figures(column);
    const double va = keys_[a], vb = keys_[b];
    const bool ha = !std::isnan(va), hb = !std::isnan(vb);
    if (ha && hb && va != vb) return va < vb;
    if (ha != hb) return ha;
    return a < b;
}

PlanProxy::PlanProxy(PlanModel* model, QObject* parent) : QSortFilterProxyModel(parent), model_(model) {
    setSourceModel(model);
    setSortRole(kSortRole);
}

void PlanProxy::set_filter(PlanFilter filter) {
    filter_ = filter;
    invalidateFilter();
}

bool PlanProxy::filterAcceptsRow(int source_row, const QModelIndex&) const {
    if (filter_ == PlanFilter::All || model_->table() == nullptr) return true;
    const files::PlanRow& r = model_->table()->row(static_cast<std::size_t>(source_row));
    if (filter_ == PlanFilter::Refused) return r.problem.has_value();
    return r.figures.computed && !r.figures.any_suitable();
}

bool PlanProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto a = static_cast<std::size_t>(left.row()), b = static_cast<std::size_t>(right.row());
    // Stands without a figure after every stand with one, in either order
    // of the sort: a descending sort asks with the two turned round.
    const bool a_has = model_->has_figure(left.column(), a), b_has = model_->has_figure(left.column(), b);
    if (a_has != b_has) return sortOrder() == Qt::AscendingOrder ? a_has : b_has;
    return model_->less(left.column(), a, b);
}

}  // namespace forstrix::ui
