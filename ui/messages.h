// Every message box and file chooser of the program passes through here, so
// that tests can install a scripted answerer that records what the user
// would see.
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
    // The file chosen to open or to save to; empty when the user cancels.
    // `start` is the folder or file name the chooser begins with. The save
    // chooser asks itself before an existing file is replaced.
    virtual QString open_file(QWidget* parent, const QString& caption, const QString& start,
                              const QString& filter);
    virtual QString save_file(QWidget* parent, const QString& caption, const QString& start,
                              const QString& filter);
};

// The layer in force: a QMessageBox-backed one unless a test installed its own.
MessageLayer& messages();
// Installs `layer` (not owned; nullptr restores the default).
void set_message_layer(MessageLayer* layer);

// Shorthand for messages().show(...).
MsgAnswer message(QWidget* parent, const QString& title, const QString& text,
                  MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);
// Shorthands for messages().open_file(...) and messages().save_file(...).
QString choose_file_to_open(QWidget* parent, const QString& caption, const QString& start,
                            const QString& filter);
QString choose_file_to_save(QWidget* parent, const QString& caption, const QString& start,
                            const QString& filter);

}  // namespace forstrix::ui
