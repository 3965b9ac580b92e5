#include "ui/messages.h"

#include <QAbstractButton>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

namespace forstrix::ui {

namespace {

// Waits (at most a second) until the window of `parent` stands on the
// screen: a box shown before the window manager has placed its window
// opens in a corner of the screen instead of over the window, as a bad
// stand file named on the command line did.
class WaitExposed final : public QObject {
public:
    static void over(QWidget* parent) {
        QWidget* top = parent != nullptr ? parent->window() : nullptr;
        QWindow* window = top != nullptr && top->isVisible() ? top->windowHandle() : nullptr;
        if (window == nullptr || window->isExposed()) return;
        WaitExposed wait;
        window->installEventFilter(&wait);
        QTimer::singleShot(1000, &wait.loop_, &QEventLoop::quit);
        wait.loop_.exec(QEventLoop::ExcludeUserInputEvents);
        window->removeEventFilter(&wait);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) loop_.quit();
        return false;
    }

private:
    QEventLoop loop_;
};

class BoxLayer final : public MessageLayer {
public:
    MsgAnswer show(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                   MsgButtons buttons) override {
        WaitExposed::over(parent);
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

QString naming_file(const QString& text, const QString& name) {
    const QString path = full_path(name);
    return text.contains(path) ? text : text + QStringLiteral("\nDatei: ") + path;
}

}  // namespace forstrix::ui
