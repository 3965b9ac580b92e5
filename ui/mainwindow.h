#pragma once

#include <QMainWindow>

#include "core/state.h"

namespace forstrix::ui {

// The main window: help text, menu and the chaining of the dialogs.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(State& state, QWidget* parent = nullptr);

private:
    State& state_;
};

}  // namespace forstrix::ui
