#include "ui/machine_dialog.h"

namespace forstrix::ui {

MachineDialog::MachineDialog(State& state, const MachineKind& kind, QWidget* parent)
    : QDialog(parent), state_(state), kind_(kind) {}

ChainsawDialog::ChainsawDialog(State& state, QWidget* parent) : QDialog(parent), state_(state) {}

}  // namespace forstrix::ui
