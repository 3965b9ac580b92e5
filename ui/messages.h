// Every message box and file chooser of the program passes through here, so
// that tests can install a scripted answerer that records what the user
// would see. A box opens centred over the window it belongs to, also when
// that window has only just been shown.
#pragma once

#include <QString>

class QWidget;

namespace forstrix::ui {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, SaveDiscardCancel };
enum class MsgAnswer { Ok, Cancel, Save, Discard };

class MessageLayer {
public:
    virtual ~MessageLayer() = default;
    virtual MsgAnswer show(QWidget* parent, const QString& title, const QString& text,
                           MsgIcon icon, MsgButtons buttons) = 0;
    // Asks for the name of a file to save to, proposing `proposed` (a path);
    // the dialog asks itself before an existing file is replaced. An empty
    // text when the user cancelled. `filter`: the file types offered, as
    // QFileDialog takes them ("Bestandsdateien (*.forstrix)").
    virtual QString save_file_name(QWidget* parent, const QString& title, const QString& proposed,
                                   const QString& filter);
    // The same for a file to open, starting in the folder or at the file `proposed`.
    virtual QString open_file_name(QWidget* parent, const QString& title, const QString& proposed,
                                   const QString& filter);
};

// The layer in force: a QMessageBox-backed one unless a test installed its own.
MessageLayer& messages();
// Installs `layer` (not owned; nullptr restores the default).
void set_message_layer(MessageLayer* layer);

// Shorthand for messages().show(...).
MsgAnswer message(QWidget* parent, const QString& title, const QString& text,
                  MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);
// Shorthands for messages().save_file_name(...) and messages().open_file_name(...).
QString ask_save_file(QWidget* parent, const QString& title, const QString& proposed,
                      const QString& filter);
QString ask_open_file(QWidget* parent, const QString& title, const QString& proposed,
                      const QString& filter);

// The whole path of the file `name` (relative to the current folder), as a
// message names a file written or refused: "/home/anna/Wald/erg.txt".
QString full_path(const QString& name);
// The text of a file error naming the file: `text`, and the file's whole
// path on a line of its own unless the text names it already.
QString naming_file(const QString& text, const QString& name);

}  // namespace forstrix::ui
