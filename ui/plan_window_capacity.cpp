// The plan window's capacities: the dialog, the optimisation off the
// window's thread, its one step back, and the panel beside the totals.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "ui/capacity_dialog.h"
#include "ui/messages.h"
#include "ui/plan_capacity.h"
#include "ui/plan_capacity_panel.h"
#include "ui/plan_model.h"
#include "ui/plan_progress.h"
#include "ui/plan_window.h"

namespace forstrix::ui {

namespace {

constexpr int kConfirmationMs = 8000;

QString stands(long n) { return n == 1 ? QStringLiteral("1 Bestand") : QStringLiteral("%1 Bestände").arg(n); }

}  // namespace

void PlanWindow::build_capacity_menu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Kapazitäten"));
    menu->setToolTipsVisible(true);
    QAction* edit = menu->addAction(QStringLiteral("&Kapazitäten..."), this, [this] { edit_capacity(); });
    edit->setObjectName(QStringLiteral("capacities"));
    edit->setToolTip(QStringLiteral("Verfügbare Stunden der Forstwirte und Maschinen angeben"));
    QAction* by_cost =
        menu->addAction(QStringLiteral("Optimieren nach &Kosten"), this, [this] { optimise(plan::Goal::Cost); });
    by_cost->setObjectName(QStringLiteral("optimiseCost"));
    QAction* by_co2 =
        menu->addAction(QStringLiteral("Optimieren nach &CO2"), this, [this] { optimise(plan::Goal::Co2); });
    by_co2->setObjectName(QStringLiteral("optimiseCo2"));
    menu->addSeparator();
    undo_ = menu->addAction(QStringLiteral("&Rückgängig"), this, [this] { undo_optimise(); });
    undo_->setObjectName(QStringLiteral("undoOptimise"));
    undo_->setShortcut(QKeySequence::Undo);
    undo_->setToolTip(QStringLiteral("Die Wahl der Systeme vor der letzten Optimierung wiederherstellen"));
    undo_->setEnabled(false);

    const bool solver = plan::solver_available();
    for (QAction* a : {by_cost, by_co2}) {
        a->setEnabled(solver);
        a->setToolTip(solver ? QStringLiteral("Für jeden Bestand ein geeignetes System wählen, so dass die "
                                              "Kapazitäten reichen und der Plan am wenigsten kostet bzw. "
                                              "am wenigsten CO2 ausstößt")
                             : QStringLiteral("In dieser Ausgabe von Forstrix nicht verfügbar: "
                                              "sie enthält kein Lösungsverfahren (GLPK)."));
    }

    // On the toolbar: the dialog, and "Optimieren" by cost with the goal CO2 in its menu.
    auto* bar = findChild<QToolBar*>(QStringLiteral("toolbar"));
    if (bar == nullptr) return;
    bar->addSeparator();
    bar->addAction(edit);
    auto* button = new QToolButton(bar);
    button->setObjectName(QStringLiteral("optimiseButton"));
    auto* goals = new QMenu(button);
    goals->addAction(by_cost);
    goals->addAction(by_co2);
    button->setMenu(goals);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->setDefaultAction(by_cost);
    button->setText(QStringLiteral("Optimieren"));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(button);
    bar->addAction(undo_);
}

bool PlanWindow::edit_capacity() {
    CapacityDialog dialog(capacity_->options(), needed_hours(table_), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    remember_capacity(source_, capacity_->options().capacity);
    if (!save_path_.isEmpty()) remember_capacity(save_path_, capacity_->options().capacity);
    update_capacity();
    return true;
}

bool PlanWindow::optimise(plan::Goal goal) {
    if (!plan::solver_available()) return false;
    plan::CapacityOptions options = capacity_->options();
    options.goal = goal;
    const PlanCapacity::Input input = capacity_->input();
    plan::CapacityResult result;
    const QString label = QStringLiteral("Hiebsplan wird optimiert (höchstens %1 s) ...")
                              .arg(QString::number(options.time_limit, 'g', 6).replace(QLatin1Char('.'), QLatin1Char(',')));
    // The solver works on copies of the stands' figures: the table stays as it is meanwhile.
    const bool done = run_with_progress(
        this, label, [&](const files::Progress&) { result = plan::optimise(input.stands, input.fixed, options); },
        true);
    if (!done) return false;
    if (!result.solver) {
        message(this, QStringLiteral("Fehler"), QStringLiteral("Diese Ausgabe von Forstrix kann nicht optimieren."),
                MsgIcon::Error);
        return false;
    }
    long moved = 0;
    for (std::size_t i = 0; i < table_.size(); ++i)
        if (result.chosen[i] != plan::kNone && result.chosen[i] != table_.row(i).figures.chosen) ++moved;
    capacity_->apply(result);
    model_->set_table(&table_);  // rows may have been refused: every line anew
    update_totals();
    set_modified(true);
    QString text = QStringLiteral("Optimiert: %1 mit anderem System").arg(stands(moved));
    if (!result.unsuitable_fixed.empty())
        text += QStringLiteral(", %1 abgelehnt (festes System ungeeignet)")
                    .arg(stands(static_cast<long>(result.unsuitable_fixed.size())));
    statusBar()->showMessage(text + QLatin1Char('.'), kConfirmationMs);
    return true;
}

void PlanWindow::undo_optimise() {
    if (!capacity_->can_undo()) return;
    capacity_->undo();
    model_->set_table(&table_);
    update_totals();
    set_modified(true);
    statusBar()->showMessage(QStringLiteral("Wahl der Systeme vor der Optimierung wiederhergestellt."),
                             kConfirmationMs);
}

void PlanWindow::changed_by_hand() { capacity_->forget(); }

void PlanWindow::update_capacity() {
    if (undo_ != nullptr) undo_->setEnabled(capacity_->can_undo());
    if (capacity_panel_ == nullptr) return;
    capacity_panel_->show_plan(capacity_lines(capacity_->options().capacity, needed_hours(table_)),
                               extra_cost(table_), capacity_->result());
}

}  // namespace forstrix::ui
