// "Eingabe Kosten": wages, ancillary wage costs (PNK), the two performance
// levels (Zeitgrad) of the time model and, optionally, the machine costs
// without wage. While the user types it shows the wages with PNK and, for
// each machine with an operator, the cost with the wage of its crew.
#pragma once

#include <array>

#include "core/state.h"
#include "ui/input_dialog.h"

class QLineEdit;
class QPushButton;

namespace forstrix::ui {

class ValueLabel;

// Ends with an InputResult: 0 cancelled (nothing stored), 1 OK,
// 2 "Eingabe Bestandesdaten...", 3 "Ergebnis..." (each stored).
class CostDialog : public InputDialog {
    Q_OBJECT
public:
    CostDialog(State& state, QWidget* parent = nullptr);

    // The fields in the order of the dialog.
    enum Field { Fw, Mf, Nfw, Nmf, Zest, Zmgv, Msc, Ss, Hab, Fob, Hfsab, Hhb, Hfb, Mskb, FieldCount };

private:
    void reread() override { recompute(); }
    // Re-reads every field into the working state and shows the wages and
    // sums; enables the three leaving buttons and answers true exactly when
    // every field was readable and within its range.
    bool recompute();
    void leave(int result);

    State& state_;
    State work_;                       // the committed state with the fields' values
    std::array<double, 2> levels_{};   // the Zeitgrad fields as read, before the whole part is kept
    std::array<QLineEdit*, FieldCount> fields_{};
    ValueLabel* wage_fw_ = nullptr;
    ValueLabel* wage_mf_ = nullptr;
    std::array<ValueLabel*, 7> sums_{};
    std::array<QPushButton*, 3> leaving_{};  // OK, "Eingabe Bestandesdaten...", "Ergebnis..."
};

}  // namespace forstrix::ui
