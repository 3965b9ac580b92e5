// The harvest plan as a window of its own beside the main window: the
// stands of a planner's table with the systems that suit them, what each
// costs, the cheapest and the chosen one; below them the totals of the plan
// and of each system. A stand opens in the stand dialog; the plan is saved
// with its results as the table it came from, printed, or kept as a PDF.
// The values common to every stand (wages, machine costs, basics, emission
// factors) are the main window's, except where the table has a column.
#pragma once

#include <cstddef>
#include <memory>

#include <QMainWindow>
#include <QString>

#include "core/capacity.h"
#include "core/columns.h"
#include "core/state.h"
#include "draw/plan_sheet.h"
#include "files/plan_table.h"

class QAction;
class QComboBox;
class QLabel;
class QTableView;
class QTableWidget;

namespace forstrix::ui {

class CapacityPanel;
class PlanCapacity;
class PlanModel;
class PlanProxy;

class PlanWindow : public QMainWindow {
    Q_OBJECT
public:
    // A plan read from `source` with `mapping` and computed over `base` (the
    // main window's state, which must outlive the window).
    PlanWindow(State& base, files::PlanTable table, const QString& source, columns::Mapping mapping,
               QWidget* parent = nullptr);
    ~PlanWindow() override;

    files::PlanTable& table() { return table_; }
    PlanModel* model() const { return model_; }
    PlanProxy* proxy() const { return proxy_; }
    QTableView* view() const { return view_; }
    QTableWidget* totals_view() const { return totals_; }
    // Where "Speichern" writes; empty until the plan was first saved.
    const QString& save_path() const { return save_path_; }
    bool modified() const { return modified_; }

    // "Speichern": to the file last saved to, else as save_as(). false when
    // nothing was written.
    bool save();
    // "Speichern unter...": asks for the file, proposing "Name_plan.ext"
    // beside the table read; the table itself only after a question.
    bool save_as();
    void print();
    bool save_pdf();
    // "Grundlagen übernehmen": every stand computed again over the main
    // window's state as it is now. false when cancelled (nothing changed).
    bool take_basics();
    // The stand of the document's row `row` in the stand dialog (and the
    // cost dialog from there); its changed values are written to the row.
    void edit_stand(std::size_t row);
    // "Spalten zuordnen...": the table read again from its file with the
    // mapping the planner gives in the import dialog (after asking about
    // unsaved changes). false when nothing changed.
    bool remap();
    // The sheet in the table's present order.
    draw::PlanSheet sheet() const;

    // "Kapazitäten...": the hours available per resource, remembered for
    // the plan's file. false when cancelled.
    bool edit_capacity();
    // "Optimieren": the systems chosen afresh within the capacities, off
    // the window's thread. false when cancelled or not possible.
    bool optimise(plan::Goal goal);
    // "Rückgängig": the choice before the last optimisation.
    void undo_optimise();
    PlanCapacity& capacity() { return *capacity_; }
    CapacityPanel* capacity_panel() const { return capacity_panel_; }

signals:
    // The plan was written to `path` (absolute).
    void stored(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void build_menu();
    void build_capacity_menu();
    // The plan changed by hand: the optimisation no longer describes it.
    void changed_by_hand();
    void update_capacity();
    void update_totals();
    void update_title();
    void set_modified(bool modified);
    bool write_to(const QString& path);
    // Asks about unsaved changes: false when the planner cancelled or the save failed.
    bool ask_to_save();
    QString document_name() const;

    State& base_;
    files::PlanTable table_;
    QString source_;     // the table read
    QString save_path_;  // the file written last
    columns::Mapping mapping_;
    bool modified_ = false;

    PlanModel* model_ = nullptr;
    PlanProxy* proxy_ = nullptr;
    QTableView* view_ = nullptr;
    QComboBox* filter_ = nullptr;
    QTableWidget* totals_ = nullptr;
    QLabel* summary_ = nullptr;

    std::unique_ptr<PlanCapacity> capacity_;
    CapacityPanel* capacity_panel_ = nullptr;
    QAction* undo_ = nullptr;
};

}  // namespace forstrix::ui
