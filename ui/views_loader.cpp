// The desktop program's side of ui/views.h: the module "forstrix_views"
// (the two views with Qt Charts, Qt Print Support and Qt SVG) is loaded when
// one of the views is first opened. It lies beside the program in the build
// folder, and in FORSTRIX_VIEWS_DIR (relative to the program's folder) once
// installed.
#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

#include "ui/dialog_codes.h"
#include "ui/messages.h"
#include "ui/views.h"

namespace forstrix::ui {

namespace {

using ResultsEntry = int (*)(State*, draw::SheetExtras*, QWidget*);
using SweepEntry = void (*)(State*, const QString*, QWidget*);
using PlanEntry = void (*)(State*, const QString*, QWidget*);

struct Views {
    ResultsEntry results = nullptr;
    SweepEntry sweep = nullptr;
    PlanEntry plan = nullptr;
};

// The module's entry points, or nullptr after the user was told why not.
const Views* views(QWidget* parent) {
    static Views loaded;
    static QString failure;
    if (loaded.results != nullptr) return &loaded;
    const QString program_dir = QCoreApplication::applicationDirPath();
    for (const QString& dir : {program_dir, program_dir + QStringLiteral("/" FORSTRIX_VIEWS_DIR)}) {
        QLibrary module(dir + QStringLiteral("/forstrix_views"));
        if (!module.load()) {
            failure = module.errorString();
            continue;
        }
        loaded.results = reinterpret_cast<ResultsEntry>(module.resolve("forstrix_run_results_view"));
        loaded.sweep = reinterpret_cast<SweepEntry>(module.resolve("forstrix_run_sweep_view"));
        loaded.plan = reinterpret_cast<PlanEntry>(module.resolve("forstrix_run_plan_view"));
        if (loaded.results != nullptr && loaded.sweep != nullptr && loaded.plan != nullptr) return &loaded;
        failure = module.errorString();
        loaded = Views{};
    }
    message(parent, QStringLiteral("Fehler"),
            QStringLiteral("Ergebnis, Kostenverlauf und Hiebsplan können nicht angezeigt werden: der Programmteil "
                           "\u201Eforstrix_views\u201C fehlt oder ist beschädigt.\n") + failure,
            MsgIcon::Error);
    return nullptr;
}

}  // namespace

int run_results_view(State& state, draw::SheetExtras extras, QWidget* parent) {
    const Views* v = views(parent);
    return v ? v->results(&state, &extras, parent) : ResultsOk;
}

void run_sweep_view(State& state, const QString& stand_name, QWidget* parent) {
    if (const Views* v = views(parent)) v->sweep(&state, &stand_name, parent);
}

void run_plan_view(State& state, const QString& path, QWidget* parent) {
    if (const Views* v = views(parent)) v->plan(&state, &path, parent);
}

}  // namespace forstrix::ui
