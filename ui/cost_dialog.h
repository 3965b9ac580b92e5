#pragma once

#include <QDialog>

#include "core/state.h"

namespace forstrix::ui {

// "Eingabe Kosten": ends with an InputResult.
class CostDialog : public QDialog {
    Q_OBJECT
public:
    CostDialog(State& state, QWidget* parent = nullptr);

private:
    State& state_;
};

}  // namespace forstrix::ui
