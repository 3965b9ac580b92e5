#pragma once

#include <QDialog>

#include "core/state.h"

namespace forstrix::ui {

// "Eingabe Bestandesdaten": ends with an InputResult.
class StandDialog : public QDialog {
    Q_OBJECT
public:
    StandDialog(State& state, QWidget* parent = nullptr);

private:
    State& state_;
};

}  // namespace forstrix::ui
