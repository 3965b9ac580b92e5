// Long work of the plan window (reading a table of many stands, computing
// them) on a thread of its own, while the window stays drawn and a progress
// dialog offers "Abbrechen".
#pragma once

#include <functional>

#include <QString>

#include "files/plan_table.h"  // Progress

class QProgressDialog;
class QWidget;

namespace forstrix::ui {

// Runs `work` on another thread and waits for it with a window-modal
// progress dialog titled `label`; `work` reports through the Progress it is
// handed, which returns false once the user has cancelled. Returns false
// when the user cancelled: whatever `work` produced is then to be dropped.
// `busy`: work that cannot tell how far it is shows a moving bar instead.
bool run_with_progress(QWidget* parent, const QString& label,
                       const std::function<void(const files::Progress&)>& work, bool busy = false);

// Called with each progress dialog as it is made (nullptr: none); lets a
// test cancel at a point of its choosing.
void set_progress_watcher(std::function<void(QProgressDialog&)> watcher);

}  // namespace forstrix::ui
