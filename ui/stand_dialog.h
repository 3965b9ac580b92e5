#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include <QDialog>

#include "core/calc.h"
#include "core/state.h"

class QComboBox;
class QGroupBox;
class QKeyEvent;
class QBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace forstrix::ui {

// "Eingabe Bestandesdaten (ausscheidender Bestand)": the stand to be
// harvested. The dialog edits working copies of the stand values, derives
// height, piece volume, masses and harvest quantity and the suitability of
// the six work systems after every edit, and writes everything back only
// when the user leaves with "OK", "Eingabe Kosten..." or "Ergebnis..." and
// the leave checks pass. Ends with an InputResult.
class StandDialog : public QDialog {
    Q_OBJECT
public:
    StandDialog(State& state, QWidget* parent = nullptr);

protected:
    // Enter and Escape must not close the dialog: a forest manager typing a
    // column of numbers presses Enter out of habit.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    QGroupBox* add_frame(QBoxLayout* column, const char* id, const char* title,
                         QLayout* content);
    void fit_frames();
    void load();
    void recompute();
    void show_reasons(const SystemReasons& reasons);
    std::optional<double> read(QLineEdit* field);
    void leave(int code);
    bool checks_pass();
    void commit();

    State& state_;

    // Working copies of the stand, loaded on every opening.
    std::uint32_t ti_ba_ = 0, ti_bhd_ = 20, ti_sf_ = 1, ti_hn_ = 14, ti_ar_ = 0, ti_br_ = 0,
                  ti_hvs_ = 0, ti_i_bb_ = 1, ti_ii_vzs_ = 0, ti_v_sll_ = 2, ti_v_kf_ = 1;
    double tf_vab_ = 0, tf_gf_ = 0, tf_bh_ = 0, tf_stm_ = 0, tf_i_rd_ = 0, tf_i_bse_ = 0,
           tf_ii_rd_ = 0;
    StandValues tc_{};
    std::array<std::int32_t, 6> t_sys_{};
    std::uint32_t t_oldba_ = 0;  // species at the previous recomputation
    bool data_valid_ = true;     // every number field could be read

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

    // Group frames drawn behind controls that are not their children, with
    // the layout that holds those controls.
    struct Frame {
        QGroupBox* box;
        QLayout* content;
    };
    std::array<Frame, 3> frames_{};
    std::size_t frame_count_ = 0;
};

}  // namespace forstrix::ui
