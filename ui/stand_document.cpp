#include "ui/stand_document.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "ui/fields.h"
#include "ui/file_path.h"
#include "ui/messages.h"

namespace forstrix::ui {

namespace {

QString extension() { return qs(files::kStandExtension); }

// A file name from the stand's name, without characters a file system refuses.
QString suggested_file_name(const QString& name) {
    QString base = name.trimmed();
    for (QChar& c : base) {
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' ||
            c == u'>' || c == u'|' || c.category() == QChar::Other_Control)
            c = u'_';
    }
    if (base.isEmpty() || base.startsWith(u'.')) base = QStringLiteral("Bestand") + base;
    return base + extension();
}

}  // namespace

QString stand_file_filter() {
    return QStringLiteral("Bestandsdateien (*%1);;Alle Dateien (*)").arg(extension());
}

StandDocument::StandDocument(State& state, QWidget* window)
    : QObject(window), state_(state), window_(window) {
    clean_text_ = current_text();
}

QString StandDocument::name() const { return qs(label_.name); }
QString StandDocument::note() const { return qs(label_.note); }

void StandDocument::set_label(const QString& name, const QString& note) {
    label_.name = name.toStdString();
    label_.note = note.toStdString();
    refresh();
}

QString StandDocument::title() const {
    if (!label_.name.empty()) return name().simplified();
    return path_.isEmpty() ? QString() : QFileInfo(path_).fileName();
}

std::string StandDocument::current_text() const { return files::stand_text(state_, label_); }

void StandDocument::refresh() {
    const bool modified = current_text() != clean_text_;
    const QString shown = title();
    if (modified == modified_ && shown == shown_title_) return;
    modified_ = modified;
    shown_title_ = shown;
    emit changed();
}

void StandDocument::set_clean(const QString& path) {
    path_ = path;
    clean_text_ = current_text();
    refresh();
}

void StandDocument::reset() {
    label_ = {};
    set_clean(QString());
    emit changed();
}

bool StandDocument::ask_to_save() {
    refresh();
    if (!modified_) return true;
    switch (message(window_, QStringLiteral("Warnung"), QStringLiteral("Änderungen speichern?"),
                    MsgIcon::Question, MsgButtons::SaveDiscardCancel)) {
        case MsgAnswer::Save: return save();
        case MsgAnswer::Discard: return true;
        default: return false;
    }
}

bool StandDocument::save() { return path_.isEmpty() ? save_as() : write_to(path_); }

bool StandDocument::save_as() {
    const QString start = path_.isEmpty() ? QDir::current().filePath(suggested_file_name(name())) : path_;
    QString chosen = ask_save_file(window_, QStringLiteral("Bestand speichern unter"), start,
                                         stand_file_filter());
    if (chosen.isEmpty()) return false;
    if (QFileInfo(chosen).suffix().isEmpty()) {
        // The chooser asked about the name without the extension, not this one.
        chosen += extension();
        if (QFileInfo::exists(chosen) &&
            message(window_, QStringLiteral("Warnung"),
                    QStringLiteral("Die Datei \"%1\" existiert bereits!\nSoll sie überschrieben werden?")
                        .arg(QFileInfo(chosen).fileName()),
                    MsgIcon::Warning, MsgButtons::OkCancel) != MsgAnswer::Ok)
            return false;
    }
    return write_to(chosen);
}

bool StandDocument::write_to(const QString& path) {
    const files::Outcome saved = files::write_stand(fs_path(path), state_, label_);
    if (!saved.ok()) {
        message(window_, QStringLiteral("Fehler"), naming_file(qs(saved.message()), path), MsgIcon::Error);
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    set_clean(absolute);
    emit stored(absolute);
    return true;
}

bool StandDocument::open(const QString& path) {
    State read;  // the defaults, then the file on top
    files::StandLabel label;
    const files::Outcome loaded = files::read_stand(fs_path(path), read, label);
    if (!loaded.ok()) {
        message(window_, QStringLiteral("Fehler"), naming_file(qs(loaded.message()), path), MsgIcon::Error);
        return false;
    }
    state_ = read;
    label_ = std::move(label);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    set_clean(absolute);
    emit changed();
    emit stored(absolute);
    return true;
}

}  // namespace forstrix::ui
