#include "ui_test_support.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTest>
#include <QThread>

#include "core/calc.h"
#include "core/machines.h"
#include "core/registry.h"
#include "ui/cost_dialog.h"
#include "ui/emission_dialog.h"
#include "ui/machine_dialog.h"
#include "ui/stand_dialog.h"

namespace forstrix::ui::test {

State started() {
    State s;
    startup_compute(s);
    return s;
}

void set_values(State& s, const QString& items) {
    for (const QString& item : items.split(u' ', Qt::SkipEmptyParts)) {
        const ValueInfo* v = find_value(item.section(u'=', 0, 0).toStdString());
        QVERIFY2(v != nullptr, qPrintable(item));
        set_value(s, *v, item.section(u'=', 1).toDouble());
    }
}

void type(QLineEdit* field, const QString& text) {
    field->selectAll();
    field->insert(text);
}

std::unique_ptr<QDialog> input_dialog(State& s, const QString& which) {
    if (which == u"stand") return std::make_unique<StandDialog>(s);
    if (which == u"cost") return std::make_unique<CostDialog>(s);
    if (which == u"msc") return std::make_unique<ChainsawDialog>(s);
    if (which == u"co2") return std::make_unique<EmissionDialog>(s);
    const MachineKind* kind = find_machine_kind(which.toStdString());
    if (kind == nullptr) qFatal("no dialog %s", qPrintable(which));
    return std::make_unique<MachineDialog>(s, *kind);
}

QByteArray read_file(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write_file(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void WindowTest::open_window() {
    close_window();
    dir_ = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(dir_->path());
    state_of_window_ = State{};
    own_window_ = std::make_unique<MainWindow>(state_of_window_, &trace_);
    window_ = own_window_.get();
}

void WindowTest::close_window() {
    own_window_.reset();
    window_ = nullptr;
    QDir::setCurrent(QDir::tempPath());
    dir_.reset();
}

void WindowTest::restart() {
    own_window_.reset();
    state_of_window_ = State{};
    own_window_ = std::make_unique<MainWindow>(state_of_window_, &trace_);
    window_ = own_window_.get();
    window_->start_up();
}

Printed print_from_preview(QWidget* button, const QString& pdf,
                           const std::function<void(QPrintPreviewDialog&)>& look) {
    Printed printed;
    QTimer answer;  // the print dialog the preview's print button opens in a loop of its own
    QObject::connect(&answer, &QTimer::timeout, [&printed] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            printed.answered = true;
            dialog->accept();
        }
    });
    DialogScript script({[&](QWidget* w) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(w);
        QVERIFY(preview);
        if (look) look(*preview);
        preview->printer()->setOutputFormat(QPrinter::PdfFormat);
        preview->printer()->setOutputFileName(pdf);
        QAction* print = nullptr;
        for (QAction* a : preview->findChildren<QAction*>())
            if (a->text() == QStringLiteral("Drucken") || a->text() == QStringLiteral("Print")) print = a;
        QVERIFY(print);
        answer.start(10);
        print->trigger();
        answer.stop();
        if (preview->isVisible()) preview->reject();
    }});
    QTest::mouseClick(button, Qt::LeftButton);
    if (!script.wait_until_done()) qWarning("the preview did not end");
    printed.opened = script.opened();
    return printed;
}

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
