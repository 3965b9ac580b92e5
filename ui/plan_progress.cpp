#include "ui/plan_progress.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <utility>

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

namespace forstrix::ui {

namespace {

std::function<void(QProgressDialog&)>& watcher() {
    static std::function<void(QProgressDialog&)> w;
    return w;
}

constexpr int kSteps = 1000;
constexpr int kShowAfterMs = 400;  // short work passes without a dialog flashing up

}  // namespace

void set_progress_watcher(std::function<void(QProgressDialog&)> w) { watcher() = std::move(w); }

bool run_with_progress(QWidget* parent, const QString& label,
                       const std::function<void(const files::Progress&)>& work, bool busy) {
    std::atomic<int> done{0};
    std::atomic<bool> cancelled{false};
    const files::Progress progress = [&](double share) {
        if (std::isfinite(share)) done.store(static_cast<int>(std::clamp(share, 0.0, 1.0) * kSteps));
        return !cancelled.load();
    };

    QProgressDialog dialog(label, QStringLiteral("Abbrechen"), 0, kSteps, parent);
    dialog.setObjectName(QStringLiteral("planProgress"));
    dialog.setWindowTitle(QStringLiteral("Hiebsplan"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(kShowAfterMs);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setValue(0);
    if (busy) dialog.setRange(0, 0);

    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create([&] { work(progress); }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        if (dialog.wasCanceled()) cancelled.store(true);
        else if (!busy) dialog.setValue(done.load());
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] { cancelled.store(true); });
    if (watcher()) watcher()(dialog);
    if (dialog.wasCanceled()) cancelled.store(true);
    poll.start(50);
    thread->start();
    if (!thread->isFinished()) loop.exec();
    thread->wait();
    poll.stop();
    return !cancelled.load() && !dialog.wasCanceled();
}

}  // namespace forstrix::ui
