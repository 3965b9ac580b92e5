// Support for the UI tests: the started state, finding widgets, message
// boxes, modal dialogs, the main window in a folder of its own, printing
// through the preview, screenshots.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <QDialog>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "core/state.h"
#include "ui/mainwindow.h"
#include "ui/messages.h"

class QPrintPreviewDialog;

namespace forstrix::ui::test {

// The desktop program's state after start-up.
State started();
// Sets "name=value name=value ..." (registry names) on `s`; fails the test
// on an unknown name.
void set_values(State& s, const QString& items);

// The bytes of a file (empty when it cannot be read), and a file of `bytes`.
QByteArray read_file(const QString& path);
void write_file(const QString& path, const QByteArray& bytes);

// The child of `parent` named `name`; ends the test run when there is none.
template <typename T>
T* child(const QObject& parent, const QString& name) {
    T* c = parent.findChild<T*>(name);
    if (c == nullptr) qFatal("no child %s", qPrintable(name));
    return c;
}

// The control numbered `id` (its object name) in `parent`.
template <typename T = QLineEdit>
T* at(const QObject& parent, int id) {
    return child<T>(parent, QString::number(id));
}

// `text` over the field's text in one edit, as when pasted over the selection.
void type(QLineEdit* field, const QString& text);

// An input dialog over `s`: "stand", "cost", "msc" (the chainsaw's), "co2"
// (the emission factors) or a machine kind's stem. Its control number is
// its object name.
std::unique_ptr<QDialog> input_dialog(State& s, const QString& which);

struct ShownMessage { QString title, text; MsgIcon icon; MsgButtons buttons; };
struct AskedFile { QString title, proposed, filter; };

// The message layer for its lifetime: answers with the queued answers, then
// with Ok, and records every box shown. The file dialogs (save and open)
// answer with the queued file names, then cancel, and are recorded too.
class ScriptedMessages final : public MessageLayer {
public:
    ScriptedMessages();
    ~ScriptedMessages() override;

    void answer(MsgAnswer a) { answers_.push_back(a); }
    const std::vector<ShownMessage>& shown() const { return shown_; }
    // The next file dialog chooses `path` (empty: cancelled); without a
    // queued file it is cancelled.
    void answer_file(const QString& path) { files_.push_back(path); }
    const std::vector<AskedFile>& asked_files() const { return asked_files_; }
    MsgAnswer show(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                   MsgButtons buttons) override;
    QString save_file_name(QWidget* parent, const QString& title, const QString& proposed,
                           const QString& filter) override;
    QString open_file_name(QWidget* parent, const QString& title, const QString& proposed,
                           const QString& filter) override;

private:
    QString next_file(const AskedFile& asked);
    std::deque<MsgAnswer> answers_;
    std::vector<ShownMessage> shown_;
    std::deque<QString> files_;
    std::vector<AskedFile> asked_files_;
};

// One step per modal dialog in the order they open; each step must end its
// dialog. Dialogs beyond the last step are recorded and closed.
class DialogScript final : public QObject {
    Q_OBJECT
public:
    using Step = std::function<void(QWidget* dialog)>;
    explicit DialogScript(std::vector<Step> steps);
    const QStringList& opened() const { return opened_; }
    // Processes events until every step ran and no modal dialog is open.
    bool wait_until_done(int timeout_ms = 5000);

private:
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QStringList opened_;
    QPointer<QWidget> handled_;
    QTimer timer_;
};

DialogScript::Step end_with(int code);  // QDialog::done(code)

// A test of the main window: open_window() makes a fresh state and window
// with the current folder a temporary folder of its own, close_window()
// ends them; the trace is dropped.
class WindowTest : public QObject {
protected:
    void open_window();
    void close_window();
    // A new window over the same state, as at the program's next start.
    void restart();
    QString file(const QString& name) const { return dir_->filePath(name); }
    MainWindow* window_ = nullptr;
    State* state_ = &state_of_window_;

private:
    struct NoTrace final : TraceSink {
        void write(std::string_view) override {}
    };
    std::unique_ptr<QTemporaryDir> dir_;
    State state_of_window_;
    NoTrace trace_;
    std::unique_ptr<MainWindow> own_window_;
};

// Clicks `button` and prints from the print preview it opens into the PDF
// file `pdf`: the preview's print button, then the print dialog accepted.
// `look` sees the preview first (and may set its printer up). Returns the
// windows opened and whether the print dialog was answered.
struct Printed {
    QStringList opened;
    bool answered = false;
};
Printed print_from_preview(QWidget* button, const QString& pdf,
                           const std::function<void(QPrintPreviewDialog&)>& look = {});

// Saves `widget` as <build>/screenshots/<name>.png for a reviewer.
void save_screenshot(QWidget* widget, const QString& name);

}  // namespace forstrix::ui::test
