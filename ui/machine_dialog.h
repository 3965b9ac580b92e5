#pragma once

#include <QDialog>

#include "core/machines.h"
#include "core/state.h"

namespace forstrix::ui {

// "Kalkulationsgrundlagen für ...": the dialog of one of the seven machines.
class MachineDialog : public QDialog {
    Q_OBJECT
public:
    MachineDialog(State& state, const MachineKind& kind, QWidget* parent = nullptr);

private:
    State& state_;
    const MachineKind& kind_;
};

// "Kalkulationsgrundlagen für Motorsägen".
class ChainsawDialog : public QDialog {
    Q_OBJECT
public:
    ChainsawDialog(State& state, QWidget* parent = nullptr);

private:
    State& state_;
};

}  // namespace forstrix::ui
