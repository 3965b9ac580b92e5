#include "cli/pdf.h"

#include <memory>

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include "cli/errors.h"

namespace forstrix::cli {

namespace {

// Qt speaks up at start-up about things that do not matter for a file
// ("XDG_RUNTIME_DIR not set", missing input methods, font substitutions):
// only its errors reach the user.
void quiet_handler(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) print_error(stderr, text.toStdString());
}

}  // namespace

files::Outcome write_pdf(const std::string& path, const State& s, const draw::SheetExtras& extras) {
    std::unique_ptr<QGuiApplication> app;
    if (QGuiApplication::instance() == nullptr) {
        qInstallMessageHandler(quiet_handler);
        // No display is needed to draw into a file, and none is asked for.
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        static int argc = 1;
        static char name[] = "forstrix-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    return draw::write_sheet_pdf(path, draw::ResultSheet(s, extras));
}

}  // namespace forstrix::cli
