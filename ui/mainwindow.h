#pragma once

#include <functional>

#include <QMainWindow>

#include "core/state.h"
#include "core/trace.h"
#include "ui/recent_files.h"

class QLabel;
class QMenu;
class QTextEdit;

namespace forstrix::ui {

class StandDocument;

// The machine-hour cost trace of the desktop program: standard output, UTF-8.
TraceSink& stdout_trace();

// Runs `action` once the window of `widget` stands on the screen and has
// painted (at the latest after a second): for what the first sight of the
// window does not need, and for messages, which would otherwise open in a
// corner of the screen before the window manager has placed the window.
void when_exposed(QWidget* widget, std::function<void()> action);

// The main window: help text, menu, and the chaining of the dialogs. Every
// dialog is modal and owned by it; a dialog that hands over to another one
// ends first, and the window then opens the next one from its event queue,
// so dialogs never nest and a chain can go on as long as the user likes.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(State& state, TraceSink* trace = &stdout_trace(),
                        QWidget* parent = nullptr);

    // The program's start-up on a state holding its defaults: shows the
    // window maximized (its help text follows as soon as it stands), loads
    // "daten.klg" from the current folder if there is
    // one (a refused file is reported once the window shows), derives the
    // stand values and computes the eight machine-hour costs; the skidder's
    // cost then becomes the skidder cost of work system I.
    // The desktop program computes once the window stands and has painted,
    // so that the window appears sooner; a command or a file to open that
    // comes first has the computation done before it.
    enum class Compute { Now, AfterFirstPaint };
    void start_up(Compute when = Compute::Now);

    QTextEdit* help_view() const { return help_; }
    // The status line: the stand's name, its cheapest suitable system with
    // Euro/Fm and the Euro of the whole measure; after every change.
    QLabel* status_line() const { return status_; }

    // The stand as a document (file, name, note, unsaved changes).
    StandDocument* document() const { return document_; }
    // The stand's name ("Bezeichnung"), empty when it has none.
    QString stand_name() const;
    // Opens a stand file without asking about unsaved changes (`forstrix
    // FILE`); a refused file is reported and leaves the stand as it was.
    bool open_stand(const QString& path);

public slots:
    // Runs a menu command (103, 104, 110..114, 199, 201, 202, 301..309, 401);
    // any other ends the program as "Beenden" does. Afterwards the window
    // title marks whether the stand now differs from its file.
    void run_command(int command);

protected:
    // Leaving the program asks about unsaved changes; "Abbrechen" stays.
    void closeEvent(QCloseEvent* event) override;

private:
    void dispatch(int command);
    void build_menu();
    void fresh_stand(bool at_start_up);
    void finish_start_up();
    void new_stand();
    void choose_and_open();
    void open_recent(const QString& path);
    void edit_stand_label();
    void update_title();
    void update_status();
    void update_recent_menu();
    void post_command(int command);
    void load_basics();
    void save_basics();
    void run_stand_dialog();
    void run_cost_dialog();
    template <typename Dialog>
    void run_input_dialog(int other);
    void run_results_dialog();
    void run_sweep_dialog();
    // false when the user declined to overwrite the file: nothing was saved.
    bool save_report();

    State& state_;
    TraceSink* trace_;
    QTextEdit* help_ = nullptr;
    StandDocument* document_ = nullptr;
    RecentFiles recent_;
    QMenu* recent_menu_ = nullptr;
    QLabel* status_ = nullptr;  // the decision for the stand as it stands
    bool start_pending_ = false;  // the start-up's computation still to come
};

}  // namespace forstrix::ui
