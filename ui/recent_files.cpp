#include "ui/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace forstrix::ui {

namespace {

// ~/.config/forstrix/forstrix.conf on Linux.
const char* const kOrganization = "forstrix";
const char* const kApplication = "forstrix";
const char* const kKey = "zuletzt_geoeffnet";

}  // namespace

QStringList RecentFiles::list() const {
    const QSettings settings(QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication));
    QStringList paths = settings.value(QString::fromLatin1(kKey)).toStringList();
    paths.removeAll(QString());
    if (paths.size() > kMaxEntries) paths.resize(kMaxEntries);
    return paths;
}

void RecentFiles::add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = list();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    if (paths.size() > kMaxEntries) paths.resize(kMaxEntries);
    store(paths);
}

void RecentFiles::remove(const QString& path) {
    QStringList paths = list();
    paths.removeAll(QFileInfo(path).absoluteFilePath());
    store(paths);
}

void RecentFiles::store(const QStringList& paths) {
    QSettings settings(QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication));
    settings.setValue(QString::fromLatin1(kKey), paths);
}

}  // namespace forstrix::ui
