#include "ui/views.h"

#include <utility>

#include "ui/results_dialog.h"
#include "ui/sweep_dialog.h"

namespace forstrix::ui {

int run_results_view(State& state, draw::SheetExtras extras, QWidget* parent) {
    ResultsDialog dialog(state, parent);
    dialog.set_sheet_extras(std::move(extras));
    return dialog.exec();
}

void run_sweep_view(State& state, const QString& stand_name, QWidget* parent) {
    SweepDialog dialog(state, parent);
    dialog.set_stand_name(stand_name);
    dialog.exec();
}

}  // namespace forstrix::ui
