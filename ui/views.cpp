#include "ui/views.h"

#include <utility>

#include <QDir>
#include <QFileInfo>

#include "ui/messages.h"
#include "ui/plan_open.h"
#include "ui/plan_window.h"
#include "ui/recent_files.h"
#include "ui/results_dialog.h"
#include "ui/sweep_dialog.h"

namespace forstrix::ui {

int run_results_view(State& state, draw::SheetExtras extras, QWidget* parent) {
    ResultsDialog dialog(state, parent);
    dialog.set_sheet_extras(std::move(extras));
    return dialog.exec();
}

void run_sweep_view(State& state, const QString& stand_name, QWidget* parent) {
    SweepDialog dialog(state, parent);
    dialog.set_stand_name(stand_name);
    dialog.exec();
}

void run_plan_view(State& state, const QString& path, QWidget* parent) {
    QString chosen = path;
    if (chosen.isEmpty())
        chosen = ask_open_file(parent, QStringLiteral("Hiebsplan öffnen"), QDir::currentPath(), plan_file_filter());
    if (chosen.isEmpty()) return;
    PlanWindow* window = open_plan(state, chosen, parent);
    if (window == nullptr) {
        // A table that has gone is no longer offered.
        if (!QFileInfo::exists(chosen)) RecentFiles().remove(chosen);
        return;
    }
    RecentFiles().add(chosen);
    QObject::connect(window, &PlanWindow::stored, window, [](const QString& saved) { RecentFiles().add(saved); });
}

}  // namespace forstrix::ui
