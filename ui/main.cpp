#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <QTimer>

#include "core/state.h"
#include "files/std_streams.h"
#include "ui/command_line.h"
#include "ui/deferred_icons.h"
#include "ui/mainwindow.h"
#include "ui/qt_texts.h"

int main(int argc, char* argv[]) {
    // Before any file is opened: the cost trace goes to standard output,
    // which must not be the descriptor of "erg.txt" or "daten.klg".
    forstrix::files::ensure_standard_streams();
    // Answered before Qt starts, so they work without a display too.
    if (const auto answer = forstrix::ui::command_line_answer(argc, argv, FORSTRIX_VERSION)) {
        std::fputs(answer->text.c_str(), stdout);
        return answer->status;
    }
    // The icon lives in the UI library's resources, which a static library
    // does not register by itself.
    Q_INIT_RESOURCE(resources);
    // The cost trace appears line by line, also when it goes to a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    QApplication app(argc, argv);
    forstrix::ui::use_german_qt_texts(app);
    // The menu bar's icon for menus that do not fit is read when first shown.
    forstrix::ui::defer_style_icons();
    // Lets desktop shells match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.forstrix.Forstrix"));

    forstrix::State state;
    forstrix::ui::MainWindow window(state);
    // The stand is computed, and its trace written, once the window stands.
    window.start_up(forstrix::ui::MainWindow::Compute::AfterFirstPaint);
    // The icon is not needed to bring up the window: its SVG support loads after.
    forstrix::ui::when_exposed(&window, [&app] {
        app.setWindowIcon(QIcon(QStringLiteral(":/icons/forstrix.svg")));
    });
    // `forstrix FILE`, as a file manager starts it for a stand file: the
    // first file given is opened (the window holds one stand). Qt has taken
    // its own options out of the arguments; "--" may stand before a file.
    QStringList files = QCoreApplication::arguments().mid(1);
    if (!files.isEmpty() && files.first() == QStringLiteral("--")) files.removeFirst();
    if (!files.isEmpty()) window.open_stand(files.first());

    // For the start-up measurement: end as soon as the window stands.
    if (const char* exit_after_show = std::getenv("FORSTRIX_EXIT_AFTER_SHOW");
        exit_after_show && exit_after_show[0] == '1')
        QTimer::singleShot(0, &app, &QCoreApplication::quit);

    return app.exec();
}
