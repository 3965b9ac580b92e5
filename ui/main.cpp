#include <QApplication>

#include "core/state.h"
#include "ui/mainwindow.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    forstrix::State state;
    forstrix::ui::MainWindow window(state);
    window.showMaximized();
    return app.exec();
}
