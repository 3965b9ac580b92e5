// The least a Qt Widgets program does to show a window: the yardstick for
// the start-up of the desktop program. Built a second time with
// STARTUP_WITH_TEXT, it also shows a menu and one line of text, which is what
// makes Qt load its fonts: that part of the difference is any real program's.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#ifdef STARTUP_WITH_TEXT
#include <QLabel>
#include <QMenuBar>
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal"));
#ifdef STARTUP_WITH_TEXT
    window.menuBar()->addMenu(QStringLiteral("&Datei"))->addAction(QStringLiteral("&Beenden"));
    window.setCentralWidget(new QLabel(QStringLiteral("Eine Zeile Text"), &window));
#endif
    window.showMaximized();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
