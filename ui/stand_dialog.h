#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/calc.h"
#include "core/state.h"
#include "ui/input_dialog.h"
#include "ui/stand_frames.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace forstrix::ui {

// "Eingabe Bestandesdaten (ausscheidender Bestand)": the stand to be
// harvested. The dialog edits a working copy of the state, derives height,
// piece volume, masses and harvest quantity and the suitability of the six
// work systems after every edit, as the core computes them, and writes the
// stand back only when the user leaves with "OK", "Eingabe Kosten..." or
// "Ergebnis..." and the whole computation of the scenario accepts it. Ends
// with an InputResult.
class StandDialog : public InputDialog {
    Q_OBJECT
public:
    StandDialog(State& state, QWidget* parent = nullptr);

private:
    void build();
    void load();
    void recompute();
    void show_reasons(const SystemReasons& reasons);
    std::optional<double> read(QLineEdit* field, double State::*value);
    void leave(int code);
    bool checks_pass(State& trial);

    State& state_;
    State work_;                 // the committed state with the dialog's stand
    std::uint32_t old_ba_ = 0;   // species at the previous recomputation
    bool data_valid_ = true;     // every number field could be read and lies in its range

    // Stand inputs.
    QComboBox* species_ = nullptr;   // 10001
    QComboBox* bhd_ = nullptr;       // 10002
    QComboBox* form_ = nullptr;      // 10003
    QComboBox* slope_ = nullptr;     // 10004
    QComboBox* spacing_ = nullptr;   // 10005
    QComboBox* traffic_ = nullptr;   // 10006
    QLineEdit* vab_ = nullptr;       // 10008
    QLineEdit* area_ = nullptr;      // 10009
    QLineEdit* own_h_ = nullptr;     // 10011
    QLineEdit* own_stm_ = nullptr;   // 10012
    // Extra data of systems I, II and V.
    QComboBox* walk_ = nullptr;      // 10020
    QLineEdit* i_rd_ = nullptr;      // 10021
    QLineEdit* i_bse_ = nullptr;     // 10022
    QComboBox* ii_vzs_ = nullptr;    // 10023
    QLabel* ii_rd_ = nullptr;        // 10024
    QComboBox* rope_vol_ = nullptr;  // 10010
    QComboBox* rope_len_ = nullptr;  // 10025
    QComboBox* crown_ = nullptr;     // 10026
    QGroupBox* frame_i_ = nullptr;   // 10900
    QGroupBox* frame_ii_ = nullptr;  // 10901
    QGroupBox* frame_v_ = nullptr;   // 10902
    // Derived values and verdicts.
    QLabel* height_ = nullptr;       // 10100
    QLabel* mass_full_ = nullptr;    // 10101
    QLabel* mass_merch_ = nullptr;   // 10102
    QLabel* piece_ = nullptr;        // 10103
    QLabel* harvest_ = nullptr;      // 10104
    std::array<QGroupBox*, 6> verdict_box_{};  // 10601 ... 10606
    std::array<QLabel*, 6> verdict_{};  // 10201 ... 10206
    // Below the verdicts: why each unsuitable system does not suit; the
    // same reasons are the tooltips of its verdict.
    QPlainTextEdit* reasons_ = nullptr;  // "reasons"
    // Leaving.
    QPushButton* ok_ = nullptr;       // 10998
    QPushButton* cancel_ = nullptr;   // 10999
    QPushButton* costs_ = nullptr;    // 10997
    QPushButton* results_ = nullptr;  // 10996

    // A list that holds a stand value as its position plus the first entry.
    struct ListValue {
        QComboBox* list;
        std::uint32_t State::*value;
        std::uint32_t first;
    };
    std::array<ListValue, 9> lists_{};
    BackFrames frames_;
};

}  // namespace forstrix::ui
