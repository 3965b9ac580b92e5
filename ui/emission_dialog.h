// "Emissionsfaktoren": the two factors that turn the litres of fuel per Fm
// into kg CO2e per Fm, with the basis of their defaults. OK stores both
// into the State; "Abbrechen" and the close box store nothing. The results
// dialog shows their effect the next time the results are requested.
#pragma once

#include <array>

#include "core/state.h"
#include "ui/input_dialog.h"

class QLineEdit;
class QPushButton;

namespace forstrix::ui {

// Fields 19001 (diesel) and 19002 (petrol), OK 19998, "Abbrechen" 19999.
// OK is enabled exactly while both fields read as numbers greater than 0
// and at most 10. Ends with 1 (OK) or 0.
class EmissionDialog : public InputDialog {
    Q_OBJECT
public:
    EmissionDialog(State& state, QWidget* parent = nullptr);

private:
    void reread() override { recompute(); }
    // Re-reads both fields; enables OK and answers true when they may be stored.
    bool recompute();
    void ok_clicked();

    State& state_;
    std::array<QLineEdit*, 2> fields_{};
    std::array<double, 2> working_{};
    QPushButton* ok_ = nullptr;
};

}  // namespace forstrix::ui
