#include "ui/results_dialog.h"

namespace forstrix::ui {

ResultsDialog::ResultsDialog(const State& state, QWidget* parent) : QDialog(parent), state_(state) {}

}  // namespace forstrix::ui
