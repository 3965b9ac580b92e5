#include "ui_test_support.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QThread>
#include <QWidget>

namespace forstrix::ui::test {

ScriptedMessages::ScriptedMessages() { set_message_layer(this); }
ScriptedMessages::~ScriptedMessages() { set_message_layer(nullptr); }

MsgAnswer ScriptedMessages::show(QWidget*, const QString& title, const QString& text,
                                 MsgIcon icon, MsgButtons buttons) {
    shown_.push_back({title, text, icon, buttons});
    if (answers_.empty()) return MsgAnswer::Ok;
    const MsgAnswer a = answers_.front();
    answers_.pop_front();
    return a;
}

DialogScript::DialogScript(std::vector<Step> steps) : steps_(std::move(steps)) {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &DialogScript::poll);
    timer_.start();
}

void DialogScript::poll() {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog == handled_) return;
    handled_ = dialog;
    QString name = QString::fromLatin1(dialog->metaObject()->className());
    name = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
    opened_.append(name);
    if (next_ < steps_.size()) {
        steps_[next_++](dialog);
    } else if (auto* d = qobject_cast<QDialog*>(dialog)) {
        d->reject();
    } else {
        dialog->close();
    }
}

bool DialogScript::wait_until_done(int timeout_ms) {
    const QDeadlineTimer deadline(timeout_ms);
    int quiet_rounds = 0;
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const bool idle = finished() && !QApplication::activeModalWidget();
        // A few idle rounds, so that a queued next dialog gets its chance to open.
        quiet_rounds = idle ? quiet_rounds + 1 : 0;
        if (quiet_rounds >= 5) {
            // Done: later dialogs belong to another script.
            timer_.stop();
            return true;
        }
        QThread::msleep(2);
    }
    return false;
}

DialogScript::Step end_with(int code) {
    return [code](QWidget* dialog) {
        if (auto* d = qobject_cast<QDialog*>(dialog)) d->done(code);
    };
}

void save_screenshot(QWidget* widget, const QString& name) {
    const QString dir = QStringLiteral(FORSTRIX_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace forstrix::ui::test
