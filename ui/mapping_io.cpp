#include "ui/mapping_io.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QVariantList>
#include <QVariantMap>

#include "files/mapping_file.h"
#include "ui/file_path.h"
#include "ui/messages.h"


namespace forstrix::ui {

namespace {

const char* const kOrganization = "forstrix";
const char* const kApplication = "forstrix";
const char* const kKey = "hiebsplan_zuordnungen";
const char* const kFilter = "Zuordnungen (*.json)";

QString qs(const std::string& s) { return QString::fromStdString(s); }

QVariantMap to_variant(const columns::Mapping& m) {
    QStringList names;
    for (const auto& [column, value] : m.columns) names << qs(column) << qs(value);
    QVariantList values;
    for (const columns::Mapping::Codes& c : m.values) {
        QVariantList codes{qs(c.value)};
        for (const auto& [code, number] : c.codes) codes << qs(code) << number;
        values.push_back(codes);
    }
    return {{QStringLiteral("spalten"), names}, {QStringLiteral("codes"), values}};
}

columns::Mapping from_variant(const QVariantMap& v) {
    columns::Mapping m;
    const QStringList names = v.value(QStringLiteral("spalten")).toStringList();
    for (qsizetype i = 0; i + 1 < names.size(); i += 2)
        m.columns.emplace_back(names[i].toStdString(), names[i + 1].toStdString());
    for (const QVariant& entry : v.value(QStringLiteral("codes")).toList()) {
        const QVariantList codes = entry.toList();
        if (codes.isEmpty()) continue;
        columns::Mapping::Codes c{codes.front().toString().toStdString(), {}};
        for (qsizetype i = 1; i + 1 < codes.size(); i += 2)
            c.codes.emplace_back(codes[i].toString().toStdString(), codes[i + 1].toDouble());
        m.values.push_back(std::move(c));
    }
    return m;
}

}  // namespace

std::optional<columns::Mapping> remembered_mapping(const QString& path) {
    const QSettings settings(QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication));
    const QVariantMap all = settings.value(QString::fromLatin1(kKey)).toMap();
    const auto it = all.find(QFileInfo(path).absoluteFilePath());
    if (it == all.end()) return std::nullopt;
    return from_variant(it->toMap());
}

void remember_mapping(const QString& path, const columns::Mapping& mapping) {
    QSettings settings(QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication));
    QVariantMap all = settings.value(QString::fromLatin1(kKey)).toMap();
    const QString key = QFileInfo(path).absoluteFilePath();
    all.insert(key, to_variant(mapping));
    settings.setValue(QString::fromLatin1(kKey), all);
}

bool load_mapping_file(QWidget* parent, columns::Mapping& mapping) {
    const QString path = ask_open_file(parent, QStringLiteral("Zuordnung laden"), QDir::currentPath(),
                                       QString::fromLatin1(kFilter));
    if (path.isEmpty()) return false;
    const files::Outcome read = files::read_mapping(fs_path(path), mapping);
    if (read.ok()) return true;
    message(parent, QStringLiteral("Fehler"), naming_file(qs(read.message()), path), MsgIcon::Error);
    return false;
}

bool save_mapping_file(QWidget* parent, const columns::Mapping& mapping) {
    const QString path = ask_save_file(parent, QStringLiteral("Zuordnung speichern"),
                                       QDir::current().filePath(QStringLiteral("zuordnung.json")),
                                       QString::fromLatin1(kFilter));
    if (path.isEmpty()) return false;
    const files::Outcome written = files::write_mapping(fs_path(path), mapping);
    if (written.ok()) return true;
    message(parent, QStringLiteral("Fehler"), naming_file(qs(written.message()), path), MsgIcon::Error);
    return false;
}

}  // namespace forstrix::ui
