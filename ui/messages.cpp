#include "ui/messages.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
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
        switch (buttons) {
            case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
            case MsgButtons::OkCancel:
                box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
                break;
            case MsgButtons::SaveDiscardCancel:
                box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
                box.button(QMessageBox::Save)->setText(QStringLiteral("Speichern"));
                box.button(QMessageBox::Discard)->setText(QStringLiteral("Verwerfen"));
                box.setDefaultButton(QMessageBox::Save);
                break;
        }
        if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
            cancel->setText(QStringLiteral("Abbrechen"));
        switch (box.exec()) {
            case QMessageBox::Ok: return MsgAnswer::Ok;
            case QMessageBox::Save: return MsgAnswer::Save;
            case QMessageBox::Discard: return MsgAnswer::Discard;
            default: return MsgAnswer::Cancel;
        }
    }
};

BoxLayer g_box_layer;
MessageLayer* g_layer = nullptr;

}  // namespace

QString MessageLayer::save_file_name(QWidget* parent, const QString& title, const QString& proposed,
                                     const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, proposed, filter);
}

QString MessageLayer::open_file_name(QWidget* parent, const QString& title, const QString& proposed,
                                     const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, proposed, filter);
}

MessageLayer& messages() { return g_layer ? *g_layer : g_box_layer; }

void set_message_layer(MessageLayer* layer) { g_layer = layer; }

MsgAnswer message(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                  MsgButtons buttons) {
    return messages().show(parent, title, text, icon, buttons);
}

QString ask_save_file(QWidget* parent, const QString& title, const QString& proposed,
                      const QString& filter) {
    return messages().save_file_name(parent, title, proposed, filter);
}

QString ask_open_file(QWidget* parent, const QString& title, const QString& proposed,
                      const QString& filter) {
    return messages().open_file_name(parent, title, proposed, filter);
}

QString full_path(const QString& name) {
    return QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath());
}

}  // namespace forstrix::ui
