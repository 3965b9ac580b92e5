// Every message box of the program passes through here, so that tests can
// install a scripted answerer that records what the user would see.
#pragma once

#include <QString>

class QWidget;

namespace forstrix::ui {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel };
enum class MsgAnswer { Ok, Cancel };

class MessageLayer {
public:
    virtual ~MessageLayer() = default;
    virtual MsgAnswer show(QWidget* parent, const QString& title, const QString& text,
                           MsgIcon icon, MsgButtons buttons) = 0;
};

// The layer in force: a QMessageBox-backed one unless a test installed its own.
MessageLayer& messages();
// Installs `layer` (not owned; nullptr restores the default).
void set_message_layer(MessageLayer* layer);

// Shorthand for messages().show(...).
MsgAnswer message(QWidget* parent, const QString& title, const QString& text,
                  MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);

}  // namespace forstrix::ui
