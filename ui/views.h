// The views that need Qt Charts, Qt Print Support and Qt SVG: the results
// dialog (printing), the cost curve window ("Kostenverlauf") and the
// harvest plan's window (printing).
// The main window opens them only through these functions, so that the
// desktop program can load them, with those libraries, when one of them is
// first asked for (ui/views_loader.cpp) instead of before its window shows.
#pragma once

#include <QString>

#include "core/state.h"
#include "draw/sheet.h"

class QWidget;

namespace forstrix::ui {

// Runs the results dialog over `state` with what the sheet shows besides the
// results; returns how it was left (ResultsOk, ResultsSave, ResultsChangeStand).
int run_results_view(State& state, draw::SheetExtras extras, QWidget* parent);

// Runs the cost curve window over `state` for the stand named `stand_name`.
void run_sweep_view(State& state, const QString& stand_name, QWidget* parent);

// Opens a harvest plan in a window of its own beside `parent`, over the
// common values of `state` (which must outlive it): the table at `path`, or
// with an empty path the one the planner chooses. The plan's files go
// among the recent files.
void run_plan_view(State& state, const QString& path, QWidget* parent);

}  // namespace forstrix::ui
