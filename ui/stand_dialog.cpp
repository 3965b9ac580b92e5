#include "ui/stand_dialog.h"

namespace forstrix::ui {

StandDialog::StandDialog(State& state, QWidget* parent) : QDialog(parent), state_(state) {}

}  // namespace forstrix::ui
