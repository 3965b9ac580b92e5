#include "ui/mainwindow.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include "core/calc.h"
#include "core/decision.h"
#include "core/emissions.h"
#include "core/machines.h"
#include "files/atomic_write.h"
#include "files/basics_file.h"
#include "files/report.h"
#include "ui/cost_dialog.h"
#include "ui/dialog_codes.h"
#include "ui/emission_dialog.h"
#include "ui/fields.h"
#include "ui/help_text.h"
#include "ui/machine_dialog.h"
#include "ui/messages.h"
#include "ui/stand_dialog.h"
#include "ui/stand_document.h"
#include "ui/stand_label_dialog.h"
#include "ui/views.h"

namespace forstrix::ui {

namespace {

// Runs an action once a window stands on the screen: a message box shown
// before the window manager has placed the main window opens in a corner of
// the screen instead of over the window. At the latest after a second, so a
// window that is never exposed does not swallow the message.
class WhenExposed final : public QObject {
public:
    WhenExposed(QWindow* window, std::function<void()> action) : QObject(window), action_(std::move(action)) {
        window->installEventFilter(this);
        if (window->isExposed()) QTimer::singleShot(0, this, &WhenExposed::fire);
        QTimer::singleShot(1000, this, &WhenExposed::fire);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            QTimer::singleShot(0, this, &WhenExposed::fire);  // after the window has painted
        return false;
    }

private:
    void fire() {
        if (!action_) return;
        parent()->removeEventFilter(this);
        const std::function<void()> action = std::move(action_);
        action_ = nullptr;
        action();
        deleteLater();
    }

    std::function<void()> action_;
};

class StdoutTrace final : public TraceSink {
public:
    void write(std::string_view text) override {
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
};

// The failure text of the files library, or the fixed one should it give none.
QString failure_text(const files::Outcome& outcome, const char* fallback) {
    return outcome.message().empty() ? QString::fromUtf8(fallback) : qs(outcome.message());
}

using files::kBasicsNotLoaded;
using files::kBasicsNotSaved;
using files::kReportNotSaved;

QString basics_file() { return QString::fromUtf8(files::kBasicsFileName); }

constexpr int kConfirmationMs = 8000;  // how long the status bar confirms a save

const char* machine_menu_text(MachineId id) {
    switch (id) {
        case MachineId::asb: return "für aufgerüstete Agrarschlepper...";
        case MachineId::hab: return "für Harvester...";
        case MachineId::fob: return "für Forwarder...";
        case MachineId::hfsab: return "für Harvester mit FSA...";
        case MachineId::hhb: return "für Hang-Harvester...";
        case MachineId::hfb: return "für Hang-Forwarder...";
        case MachineId::mskb: return "für Mobilseilkran && Prozessor auf LKW...";
    }
    return "";
}

}  // namespace

void when_exposed(QWidget* widget, std::function<void()> action) {
    if (QWindow* window = widget->windowHandle()) new WhenExposed(window, std::move(action));
    else QTimer::singleShot(0, widget, std::move(action));
}

TraceSink& stdout_trace() {
    static StdoutTrace trace;
    return trace;
}

MainWindow::MainWindow(State& state, TraceSink* trace, QWidget* parent)
    : QMainWindow(parent), state_(state), trace_(trace) {
    setObjectName(QStringLiteral("mainwindow"));
    document_ = new StandDocument(state_, this);
    connect(document_, &StandDocument::changed, this, &MainWindow::update_title);
    connect(document_, &StandDocument::changed, this, &MainWindow::update_status);
    connect(document_, &StandDocument::stored, this, [this](const QString& path) {
        recent_.add(path);
        update_recent_menu();
    });
    update_title();
    build_menu();

    help_ = new QTextEdit(this);
    help_->setObjectName(QStringLiteral("helptext"));
    help_->setReadOnly(true);
    // Selectable to copy from, but without a blinking caret: the keys scroll.
    help_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    help_->setFrameShape(QFrame::NoFrame);
    help_->setLineWrapMode(QTextEdit::WidgetWidth);
    QPalette palette = help_->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    help_->setPalette(palette);
    setCentralWidget(help_);  // the text follows once the window stands (start_up)

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("decisionStatus"));
    status_->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(status_, 1);
    statusBar()->setSizeGripEnabled(false);
}

void MainWindow::build_menu() {
    auto add = [this](QMenu* menu, const char* text, int command) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setObjectName(QString::number(command));
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] { run_command(command); });
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&Datei"));
    add(file, "&Neu", CmdNewStand);
    add(file, "Ö&ffnen...", CmdOpenStand);
    add(file, "Spei&chern", CmdSaveStand);
    add(file, "Speichern &unter...", CmdSaveStandAs);
    add(file, "&Hiebsplan öffnen...", CmdOpenPlan);
    recent_menu_ = file->addMenu(QStringLiteral("&Zuletzt geöffnet"));
    recent_menu_->setObjectName(QStringLiteral("recent"));
    update_recent_menu();
    // A plan window adds its files to the list while the menu is closed.
    connect(file, &QMenu::aboutToShow, this, &MainWindow::update_recent_menu);
    add(file, "Bezeichnung und N&otiz...", CmdStandLabel);
    file->addSeparator();
    add(file, "Kalkulationsgrundlagen &laden", CmdLoadBasics);
    add(file, "Kalkulationsgrundlagen &speichern", CmdSaveBasics);
    file->addSeparator();
    add(file, "&Beenden", CmdQuit);

    QMenu* input = menuBar()->addMenu(QStringLiteral("Daten&eingabe"));
    add(input, "Eingabe &Bestandesdaten...", CmdStand);
    add(input, "Eingabe &Kosten...", CmdCosts);

    const std::pair<int, QKeySequence> shortcuts[] = {{CmdNewStand, QKeySequence::New},
                                                      {CmdOpenStand, QKeySequence::Open},
                                                      {CmdSaveStand, QKeySequence::Save},
                                                      {CmdSaveStandAs, QKeySequence(QStringLiteral("Ctrl+Shift+S"))}};
    for (const auto& [command, keys] : shortcuts)
        file->findChild<QAction*>(QString::number(command))->setShortcut(keys);

    QMenu* basics = menuBar()->addMenu(QStringLiteral("&Kalkulationsgrundlagen"));
    add(basics, "für Motorsägen...", kChainsawMenuCommand);
    for (const MachineKind& kind : kMachineKinds) add(basics, machine_menu_text(kind.id), kind.menu_command);
    basics->addSeparator();
    add(basics, "Emissionsfaktoren...", kEmissionMenuCommand);

    QMenu* calc = menuBar()->addMenu(QStringLiteral("&Berechnung"));
    add(calc, "&Ergebnis...", CmdResults);
    add(calc, "&Kostenverlauf...", CmdCostCurve);
}

void MainWindow::start_up(Compute when) {
    showMaximized();
    // The help text is not needed to bring up the window: laying out and
    // shaping its paragraphs would hold up the window's first appearance.
    when_exposed(this, [this] {
        build_help_document(help_->document());
        help_->moveCursor(QTextCursor::Start);
    });
    start_pending_ = true;
    if (when == Compute::Now) finish_start_up();
    else when_exposed(this, [this] { finish_start_up(); });
}

void MainWindow::finish_start_up() {
    if (!start_pending_) return;
    start_pending_ = false;
    fresh_stand(true);
}

// The state of a fresh start from the defaults in `state_`: "daten.klg" of
// the current folder if there is one, the derived stand values, the eight
// machine-hour costs and the skidder cost of system I. A new stand.
void MainWindow::fresh_stand(bool at_start_up) {
    const files::Outcome loaded = files::read_basics(files::kBasicsFileName, state_);
    if (loaded.status == files::Status::Refused || loaded.status == files::Status::Unreadable) {
        // The user's own basics are not in force: say so (at start-up once
        // the window stands), rather than let the results be taken for theirs.
        const QString text = naming_file(failure_text(loaded, kBasicsNotLoaded), basics_file());
        auto warn = [this, text] { message(this, QStringLiteral("Warnung"), text, MsgIcon::Warning); };
        if (at_start_up) when_exposed(this, warn);
        else warn();
    }

    startup_compute(state_, trace_);
    document_->reset();
    update_status();
}

QString MainWindow::stand_name() const { return document_->name(); }

void MainWindow::update_title() {
    const QString title = document_->title();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Forstrix[*]") : title + QStringLiteral("[*] - Forstrix"));
    setWindowModified(document_->modified());
}

// The results as the results dialog would show them now, computed on a copy:
// the state itself is computed when the results are asked for.
void MainWindow::update_status() {
    State now = state_;
    calc_zeitbedarfkosten(now);
    const QString summary = qs(decision_summary(decide(now)));
    const QString name = stand_name();
    status_->setText(name.isEmpty() ? summary : name + QStringLiteral(" \u2013 ") + summary);
}

void MainWindow::update_recent_menu() {
    if (recent_menu_ == nullptr) return;
    recent_menu_->clear();
    const QStringList paths = recent_.list();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        // "&1 eichenhang.forstrix": the file's name, its folder in the tool tip.
        QString label = QFileInfo(path).fileName();
        label.replace(u'&', QStringLiteral("&&"));
        QAction* action = recent_menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(label));
        action->setObjectName(QStringLiteral("recent_%1").arg(i));
        action->setData(path);
        action->setToolTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { open_recent(path); });
    }
    recent_menu_->setEnabled(!paths.isEmpty());
}

bool MainWindow::open_stand(const QString& path) {
    finish_start_up();  // the file's stand replaces the fresh one, not the other way round
    if (document_->open(path)) return true;
    // A file that has gone is no longer offered.
    if (!QFileInfo::exists(path)) {
        recent_.remove(path);
        update_recent_menu();
    }
    return false;
}

void MainWindow::new_stand() {
    if (!document_->ask_to_save()) return;
    state_ = State{};
    fresh_stand(false);
}

void MainWindow::choose_and_open() {
    if (!document_->ask_to_save()) return;
    const QString start = document_->path().isEmpty() ? QDir::currentPath()
                                                      : QFileInfo(document_->path()).absolutePath();
    const QString path =
        ask_open_file(this, QStringLiteral("Bestand öffnen"), start, stand_file_filter());
    if (!path.isEmpty()) open_stand(path);
}

void MainWindow::open_recent(const QString& path) {
    // A plan opens in a window of its own beside the stand.
    if (!path.endsWith(QString::fromUtf8(files::kStandExtension), Qt::CaseInsensitive)) {
        run_plan_view(state_, path, this);
        update_recent_menu();
        return;
    }
    if (!document_->ask_to_save()) return;
    open_stand(path);
}

void MainWindow::edit_stand_label() {
    StandLabelDialog dialog(document_->name(), document_->note(), this);
    if (dialog.exec() == QDialog::Accepted) document_->set_label(dialog.name(), dialog.note());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Each open plan asks about its own changes first.
    for (QWidget* plan : findChildren<QWidget*>(QStringLiteral("planwindow"), Qt::FindDirectChildrenOnly))
        if (plan->isVisible() && !plan->close()) return event->ignore();
    if (document_->ask_to_save()) event->accept();
    else event->ignore();
}

void MainWindow::post_command(int command) {
    QMetaObject::invokeMethod(this, [this, command] { run_command(command); },
                              Qt::QueuedConnection);
}

void MainWindow::run_command(int command) {
    finish_start_up();
    dispatch(command);
    document_->refresh();
    update_status();
}

void MainWindow::dispatch(int command) {
    switch (command) {
        case CmdNewStand: new_stand(); return;
        case CmdOpenStand: choose_and_open(); return;
        case CmdOpenPlan:
            run_plan_view(state_, QString(), this);
            update_recent_menu();
            return;
        case CmdSaveStand:
        case CmdSaveStandAs:
            // Confirmed in the status bar: a box after every save would be in the way.
            if (command == CmdSaveStand ? document_->save() : document_->save_as())
                statusBar()->showMessage(
                    QStringLiteral("Bestand unter \"%1\" gespeichert.").arg(QDir::toNativeSeparators(document_->path())),
                    kConfirmationMs);
            return;
        case CmdStandLabel: edit_stand_label(); return;
        case CmdLoadBasics: load_basics(); return;
        case CmdSaveBasics: save_basics(); return;
        case CmdQuit: close(); return;
        case CmdStand: run_stand_dialog(); return;
        case CmdCosts: run_cost_dialog(); return;
        case CmdResults: run_results_dialog(); return;
        case CmdCostCurve: run_sweep_dialog(); return;
        case kChainsawMenuCommand: {
            ChainsawDialog dialog(state_, this);
            dialog.exec();
            // The basics may be unchanged; the cost is computed again anyway.
            calc_motorsaege(state_, trace_);
            return;
        }
        case kEmissionMenuCommand: {
            // The CO2 figures follow when the results are next requested.
            EmissionDialog dialog(state_, this);
            dialog.exec();
            return;
        }
        default: break;
    }
    for (const MachineKind& kind : kMachineKinds) {
        if (kind.menu_command != command) continue;
        MachineDialog dialog(state_, kind, this);
        dialog.exec();
        calc_machine(state_, kind, trace_);
        return;
    }
    // A command the menu does not know ends the program.
    close();
}

void MainWindow::load_basics() {
    const files::Outcome loaded = files::read_basics(files::kBasicsFileName, state_);
    if (!loaded.ok()) {
        message(this, QStringLiteral("Fehler"), naming_file(failure_text(loaded, kBasicsNotLoaded), basics_file()),
                MsgIcon::Information);
        return;
    }
    message(this, QStringLiteral("Meldung"), QStringLiteral("Kalkulationsgrundlagen geladen."),
            MsgIcon::Information);
    // The machine costs follow the loaded basics; the skidder cost of work
    // system I stays what it was (start-up or the cost dialog set it).
    calc_all_machines(state_, trace_);
}

void MainWindow::save_basics() {
    const files::Outcome saved = files::write_basics(files::kBasicsFileName, state_);
    if (!saved.ok()) {
        message(this, QStringLiteral("Fehler"), naming_file(failure_text(saved, kBasicsNotSaved), basics_file()),
                MsgIcon::Information);
        return;
    }
    message(this, QStringLiteral("Meldung"),
            QStringLiteral("Kalkulationsgrundlagen gespeichert.\n") + full_path(basics_file()), MsgIcon::Information);
}

void MainWindow::run_stand_dialog() { run_input_dialog<StandDialog>(CmdCosts); }

void MainWindow::run_cost_dialog() { run_input_dialog<CostDialog>(CmdStand); }

// The stand and the cost dialog lead to each other and to the results; the
// next one opens once this one has gone.
template <typename Dialog>
void MainWindow::run_input_dialog(int other) {
    int result = InputCancelled;
    {
        Dialog dialog(state_, this);
        result = dialog.exec();
    }
    if (result == InputOtherDialog) post_command(other);
    else if (result == InputResults) post_command(CmdResults);
}

void MainWindow::run_results_dialog() {
    // The results always reflect the latest inputs.
    calc_zeitbedarfkosten(state_);
    draw::SheetExtras sheet;  // what the result sheet shows besides the results
    sheet.stand_name = stand_name().toStdString();
    sheet.note = document_->note().toStdString();
    for (;;) {
        const int result = run_results_view(state_, sheet, this);
        // "Abbrechen" in the question whether to overwrite saved nothing:
        // the results come back, as the user left them to save.
        if (result == ResultsSave && !save_report()) continue;
        if (result == ResultsChangeStand) post_command(CmdStand);
        return;
    }
}

void MainWindow::run_sweep_dialog() {
    run_sweep_view(state_, stand_name(), this);
}

bool MainWindow::save_report() {
    const std::filesystem::path path = files::kReportFileName;
    // A target that can never be written (a folder, a write-protected file)
    // is said at once, not after the question whether to overwrite it.
    files::WriteTarget target;
    files::WriteFailure failure;
    if (!files::resolve_write_target(path, target, failure)) {
        message(this, QStringLiteral("Fehler"),
                QString::fromUtf8(kReportNotSaved) + QLatin1Char('\n') + qs(files::describe(failure)),
                MsgIcon::Error);
        return true;
    }
    if (target.exists) {
        const MsgAnswer answer = message(
            this, QStringLiteral("Warnung"),
            QStringLiteral("Die Datei \"erg.txt\" existierts bereits!\nSoll sie überschrieben werden?"),
            MsgIcon::Warning, MsgButtons::OkCancel);
        if (answer != MsgAnswer::Ok) return false;
    }
    const files::Outcome saved = files::write_report(path, state_);
    if (!saved.ok()) {
        message(this, QStringLiteral("Fehler"), failure_text(saved, kReportNotSaved),
                MsgIcon::Error);
        return true;
    }
    const QString written = full_path(QString::fromUtf8(files::kReportFileName));
    message(this, QStringLiteral("Meldung"), QStringLiteral("Ergebnis unter \"%1\" gespeichert!").arg(written),
            MsgIcon::Information);
    return true;
}

}  // namespace forstrix::ui
