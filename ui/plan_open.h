// Opening a planner's table as a harvest plan: read it (off the window's
// thread, cancellable), let the planner say what its columns mean where
// Forstrix cannot tell by their names, compute every stand over the main
// window's state, and show the plan window.
#pragma once

#include <QString>

#include "core/columns.h"
#include "core/state.h"
#include "files/plan_table.h"

class QWidget;

namespace forstrix::ui {

class PlanWindow;

// The plan window of the table at `path`, shown; nullptr when the planner
// cancelled or the table was refused (said in a message). `base` is the
// main window's state, the values common to every stand; it must outlive
// the window. The window is a window of its own, owned by `parent`.
PlanWindow* open_plan(State& base, const QString& path, QWidget* parent);

// Reads the table at `path` into `table` and computes it over `base`: with
// the mapping remembered for the file, or the one the planner gives in the
// import dialog (asked when the columns need it, or always with `ask`),
// which is then remembered and left in `mapping`. false when cancelled or
// refused (said in a message); `table` is then not to be used.
bool read_plan(State& base, const QString& path, bool ask, columns::Mapping& mapping, files::PlanTable& table,
               QWidget* parent);

// The file types of the plan's file dialogs.
QString plan_file_filter();

// Whether `path` names a table that opens as a plan (rather than a stand file).
bool is_plan_file(const QString& path);

}  // namespace forstrix::ui
