// The stand the main window works on, seen as a document: the file it came
// from, its name and note, and whether it differs from what was last opened
// or saved. Opening, saving and the question before a stand is left live
// here; the main window calls them from its menu.
#pragma once

#include <string>

#include <QObject>
#include <QString>

#include "core/state.h"
#include "files/stand_file.h"

class QWidget;

namespace forstrix::ui {

class StandDocument : public QObject {
    Q_OBJECT
public:
    // `window` owns the message boxes and file choosers.
    StandDocument(State& state, QWidget* window);

    QString path() const { return path_; }  // absolute; empty before the first save
    QString name() const;                   // "Bezeichnung"
    QString note() const;                   // "Notiz"
    void set_label(const QString& name, const QString& note);
    // What the window title shows: the name, else the file's name, else "".
    QString title() const;
    // Whether the stand (values, name or note) differs from the one last
    // opened or saved: any change of a stored value counts, whoever made it.
    bool modified() const { return modified_; }

    // Compares the stand anew; emits changed() when the title or the mark differ.
    void refresh();
    // The state as it stands is a new stand: no file, no name, no note, unmodified.
    void reset();

    // With unsaved changes asks "Änderungen speichern?" (Speichern,
    // Verwerfen, Abbrechen). True when the caller may go on: nothing to
    // save, saved, or discarded; false when cancelled or the save failed.
    bool ask_to_save();
    // To the file the stand came from, or as save_as() without one.
    bool save();
    // Asks for a file name (a ".forstrix" is added when it has no extension).
    bool save_as();
    // Reads the stand file at `path` into the state; a refused file is
    // reported and changes nothing. No question is asked here.
    bool open(const QString& path);

signals:
    void changed();
    // After a successful open or save, for the recent-files list.
    void stored(const QString& path);

private:
    bool write_to(const QString& path);
    std::string current_text() const;
    void set_clean(const QString& path);

    State& state_;
    QWidget* window_;
    QString path_;
    files::StandLabel label_;
    std::string clean_text_;
    bool modified_ = false;
    QString shown_title_;
};

// The file filter of the choosers.
QString stand_file_filter();

}  // namespace forstrix::ui
