#include "ui/messages.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace forstrix::ui {

namespace {

class BoxLayer final : public MessageLayer {
public:
    MsgAnswer show(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                   MsgButtons buttons) override {
        QMessageBox box(parent);
        box.setWindowTitle(title);
        // Plain text always: a refused file's message may quote what the file held.
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        switch (icon) {
            case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
            case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
            case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
            case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
            case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        }
        if (buttons == MsgButtons::OkCancel) {
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.button(QMessageBox::Cancel)->setText(QStringLiteral("Abbrechen"));
        } else {
            box.setStandardButtons(QMessageBox::Ok);
        }
        return box.exec() == QMessageBox::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
};

BoxLayer g_box_layer;
MessageLayer* g_layer = nullptr;

}  // namespace

MessageLayer& messages() { return g_layer ? *g_layer : g_box_layer; }

void set_message_layer(MessageLayer* layer) { g_layer = layer; }

MsgAnswer message(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                  MsgButtons buttons) {
    return messages().show(parent, title, text, icon, buttons);
}

}  // namespace forstrix::ui
