#include "ui/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

namespace forstrix::ui {

bool use_german_qt_texts(QCoreApplication& app) {
    // Where the Qt installation keeps its catalogues (Debian:
    // /usr/share/qt6/translations, package qt6-translations-l10n), then
    // beside the program, where a deployment on Windows puts them.
    const QStringList folders = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    auto* catalogue = new QTranslator(&app);
    for (const QString& folder : folders) {
        if (catalogue->load(QStringLiteral("qtbase_de"), folder)) {
            QCoreApplication::installTranslator(catalogue);
            return true;
        }
    }
    delete catalogue;
    return false;
}

}  // namespace forstrix::ui
