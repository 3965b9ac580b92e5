// The plan window with a hundred thousand stands: the table opened (read,
// every stand computed, the window shown and painted), sorted by a figure
// and by name, and the program's peak memory. Wall times of one run each,
// printed for scripts/bench-plan-window.
//
//   bench_plan_window stands.csv
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include "core/calc.h"
#include "ui/plan_model.h"
#include "ui/plan_open.h"
#include "ui/plan_window.h"

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: bench_plan_window TABELLE\n");
        return 2;
    }
    QApplication app(argc, argv);
    forstrix::State base;
    forstrix::startup_compute(base);

    using clock = std::chrono::steady_clock;
    const auto opening = clock::now();
    forstrix::ui::PlanWindow* window = forstrix::ui::open_plan(base, QString::fromLocal8Bit(argv[1]), nullptr);
    if (window == nullptr) return 1;
    window->resize(1366, 768);
    window->repaint();  // the first screen of stands painted
    QApplication::processEvents();
    const double open_s = seconds_since(opening);

    auto sort_time = [&](int column, Qt::SortOrder order) {
        const auto start = clock::now();
        window->view()->sortByColumn(column, order);
        window->repaint();
        QApplication::processEvents();
        return seconds_since(start);
    };
    const double euro_s = sort_time(forstrix::ui::ColEuro, Qt::DescendingOrder);
    const double volume_s = sort_time(forstrix::ui::ColVolume, Qt::AscendingOrder);
    const double name_s = sort_time(forstrix::ui::ColName, Qt::AscendingOrder);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Bestände: %zu\n", window->table().size());
    std::printf("Öffnen, Berechnen, Anzeigen: %.3f s\n", open_s);
    std::printf("Sortieren nach Kosten: %.3f s\n", euro_s);
    std::printf("Sortieren nach Hiebsmenge: %.3f s\n", volume_s);
    std::printf("Sortieren nach Bestand: %.3f s\n", name_s);
    std::printf("Speicher (Spitze): %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    // What stays once the plan stands, against the peak while it was read and computed.
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    std::printf("Speicher (danach): %.1f MB\n", static_cast<double>(resident) * 4096.0 / 1048576.0);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    delete window;
    return 0;
}
