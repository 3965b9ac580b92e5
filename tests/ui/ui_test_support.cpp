#include "ui_test_support.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QThread>

namespace forstrix::ui::test {

ScriptedMessages::ScriptedMessages() { set_message_layer(this); }
ScriptedMessages::~ScriptedMessages() { set_message_layer(nullptr); }

MsgAnswer ScriptedMessages::show(QWidget*, const QString& title, const QString& text, MsgIcon icon,
                                 MsgButtons buttons) {
    shown_.push_back({title, text, icon, buttons});
    if (answers_.empty()) return MsgAnswer::Ok;
    const MsgAnswer a = answers_.front();
    answers_.pop_front();
    return a;
}

QString ScriptedMessages::next_file(const AskedFile& asked) {
    asked_files_.push_back(asked);
    if (files_.empty()) return {};
    QString path = files_.front();
    files_.pop_front();
    return path;
}
QString ScriptedMessages::save_file_name(QWidget*, const QString& title, const QString& proposed,
                                         const QString& filter) {
    return next_file({title, proposed, filter});
}
QString ScriptedMessages::open_file_name(QWidget*, const QString& title, const QString& proposed,
                                         const QString& filter) {
    return next_file({title, proposed, filter});
}

DialogScript::DialogScript(std::vector<Step> steps) : steps_(std::move(steps)) {
    connect(&timer_, &QTimer::timeout, this, [this] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog == handled_) return;
        handled_ = dialog;
        const QString name = QString::fromLatin1(dialog->metaObject()->className());
        opened_.append(name.mid(name.lastIndexOf(u':') + 1));
        if (next_ < steps_.size()) steps_[next_++](dialog);
        else dialog->close();
    });
    timer_.start(5);
}

bool DialogScript::wait_until_done(int timeout_ms) {
    const QDeadlineTimer deadline(timeout_ms);
    // Done after a few idle rounds, so that a queued next dialog gets its chance to open.
    for (int idle_rounds = 0; !deadline.hasExpired(); QThread::msleep(2)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const bool idle = next_ >= steps_.size() && !QApplication::activeModalWidget();
        idle_rounds = idle ? idle_rounds + 1 : 0;
        if (idle_rounds >= 5) {
            timer_.stop();  // later dialogs belong to another script
            return true;
        }
    }
    return false;
}

DialogScript::Step end_with(int code) {
    return [code](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->done(code); };
}

void save_screenshot(QWidget* widget, const QString& name) {
    QDir().mkpath(QStringLiteral(FORSTRIX_SCREENSHOT_DIR));
    widget->grab().save(QStringLiteral(FORSTRIX_SCREENSHOT_DIR "/") + name + QStringLiteral(".png"));
}

}  // namespace forstrix::ui::test
