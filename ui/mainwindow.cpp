#include "ui/mainwindow.h"

namespace forstrix::ui {

MainWindow::MainWindow(State& state, QWidget* parent) : QMainWindow(parent), state_(state) {}

}  // namespace forstrix::ui
