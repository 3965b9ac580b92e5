// The stands of a harvest plan as a table for the plan window: one line per
// stand with its name, Hiebsmenge, the systems that suit it, the compared
// sum of each system, the cheapest and the chosen system, and what the
// chosen one costs and emits for the whole stand. The planner changes the
// chosen system in its column; everything else is read from the document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>

#include "files/plan_table.h"

namespace forstrix::ui {

// The columns of the stand table, in order; I..VI follow SystemFirst.
enum PlanColumn : int {
    ColName = 0,
    ColVolume,       // Hiebsmenge, EFm
    ColSuitable,     // "I, III, VI"
    ColSystemFirst,  // Euro/Fm of system I; II..VI follow
    ColCheapest = ColSystemFirst + 6,
    ColChosen,
    ColEuro,    // the chosen system's Euro for the whole stand
    ColCo2,     // its CO2, kg
    ColExtra,   // Euro of the chosen system over the cheapest
    ColNote,    // why a stand was refused, or its plausibility questions
    ColCount
};

// Roles beyond Qt's own: the number a column sorts by, and the systems a
// stand may be given (a list of 0..5) for the choice's editor.
inline constexpr int kSortRole = Qt::UserRole + 1;
inline constexpr int kChoicesRole = Qt::UserRole + 2;

// "I, III, VI": the numerals of the systems that suit a stand; empty when none does.
QString suitable_text(const plan::StandFigures& f);

class PlanModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PlanModel(QObject* parent = nullptr);

    // The document shown (not owned; nullptr: none). While a document is
    // computed on another thread the model shows none, so that no view
    // reads a stand while it changes.
    void set_table(files::PlanTable* table);
    files::PlanTable* table() const { return table_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The chosen system (0..5) in ColChosen; anything else is refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The stand's name: its first carried column ("Abteilung 12a"), or
    // "Bestand 3" when the table has none or the cell is empty.
    QString stand_name(std::size_t row) const;
    // A row was computed again (after an edit): its line changes.
    void row_changed(std::size_t row);
    // Whether stand `a` comes before stand `b` in `column`: numbers by
    // value, texts alphabetically; stands without a figure last; equal
    // ones in the table's order.
    bool less(int column, std::size_t a, std::size_t b) const;
    // Whether the stand has a figure in `column` (a refused stand has none,
    // nor a system that does not suit it); texts always have one.
    bool has_figure(int column, std::size_t row) const;

signals:
    // The planner chose another system for a stand.
    void chosen(std::size_t row);

private:
    QString reasons(std::size_t row, int system) const;
    void rank_texts(int column) const;
    void key_figures(int column) const;
    static bool text_column(int column);
    std::optional<double> number(int column, std::size_t row) const;

    files::PlanTable* table_ = nullptr;
    std::optional<std::size_t> name_column_;
    // The stands' alphabetical places in the text column last sorted by.
    mutable int ranked_column_ = -1;
    mutable std::vector<std::uint32_t> rank_;
    // The stands' figures in the number column last sorted by.
    mutable int keyed_column_ = -1;
    mutable std::vector<double> keys_;
};

// Which stands the table shows.
enum class PlanFilter { All, WithoutSystem, Refused };

// Sorting and filtering over the model, sorting by the model's own numbers
// (a hundred thousand stands sort without a text or variant per comparison).
class PlanProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit PlanProxy(PlanModel* model, QObject* parent = nullptr);
    void set_filter(PlanFilter filter);
    PlanFilter filter() const { return filter_; }

protected:
    bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    PlanModel* model_;
    PlanFilter filter_ = PlanFilter::All;
};

}  // namespace forstrix::ui
