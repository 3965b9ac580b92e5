#pragma once

#include <QDialog>

#include "core/state.h"

namespace forstrix::ui {

// "Zeitbedarf und Kosten für geeignete und nicht ausgeschlossene Systeme
// (Alle Angaben ohne Gewähr)": shows the computed state, ends with a ResultsResult.
class ResultsDialog : public QDialog {
    Q_OBJECT
public:
    ResultsDialog(const State& state, QWidget* parent = nullptr);

private:
    const State& state_;
};

}  // namespace forstrix::ui
