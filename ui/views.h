// The two views that need Qt Charts, Qt Print Support and Qt SVG: the
// results dialog (printing) and the cost curve window ("Kostenverlauf").
// The main window opens them only through these two functions, so that the
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

}  // namespace forstrix::ui
