// The loadable module of the two views (ui/views.h): their entry points
// under plain names, for ui/views_loader.cpp to look up.
#include <utility>

#include "ui/views.h"

extern "C" {

int forstrix_run_results_view(forstrix::State* state, forstrix::draw::SheetExtras* extras, QWidget* parent) {
    return forstrix::ui::run_results_view(*state, std::move(*extras), parent);
}

void forstrix_run_sweep_view(forstrix::State* state, const QString* stand_name, QWidget* parent) {
    forstrix::ui::run_sweep_view(*state, *stand_name, parent);
}

void forstrix_run_plan_view(forstrix::State* state, const QString* path, QWidget* parent) {
    forstrix::ui::run_plan_view(*state, *path, parent);
}

}  // extern "C"
