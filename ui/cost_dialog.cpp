#include "ui/cost_dialog.h"

namespace forstrix::ui {

CostDialog::CostDialog(State& state, QWidget* parent) : QDialog(parent), state_(state) {}

}  // namespace forstrix::ui
