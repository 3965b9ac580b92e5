#pragma once

#include <array>
#include <utility>

#include <QDialog>

#include "core/state.h"
#include "draw/sheet.h"

class QHBoxLayout;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace forstrix::ui {

class ScrollPane;

// "Zeitbedarf und Kosten für geeignete und nicht ausgeschlossene Systeme
// (Alle Angaben ohne Gewähr)": the cost chart, then per work system the time
// and cost of every worker and machine with the sums and the assortment it
// delivers. It only reads the computed state and ends with a ResultsResult.
//
// At the top the decision: the cheapest suitable system, the cost, fuel and
// CO2 of the whole measure, and the runner-up (core/decision.h).
//
// The content is taller than most screens: the dialog fills the screen's
// free area and scrolls (its row of buttons stays beneath, always in view), by its scroll bar, the mouse wheel (one line of
// 10 pixels per notch), the arrow keys (10 pixels), the page keys
// (50 pixels) and by dragging with the left mouse button (each mouse move
// one line, downwards towards the end).
//
// Beneath the sums of a suitable system a line gives its fuel and CO2 per
// Fm ("Kraftstoff 1,41 l/Fm (Diesel 0,96, Benzin 0,45), CO2 3,65 kg/Fm").
//
// Value labels, group boxes and buttons carry their control numbers as
// object names: 25101 ... 25609, 25100 ... 25600, 25995 ... 25999; the fuel
// lines 25150 ... 25650.
//
// "Drucken..." (25996) shows the result sheet in Qt's print preview, from
// which it is printed; "Als PDF speichern..." (25995) asks for a file name,
// proposing "erg.pdf" in the current folder, and writes the sheet there.
// Neither ends the dialog.
class ResultsDialog : public QDialog {
    Q_OBJECT
public:
    ResultsDialog(const State& state, QWidget* parent = nullptr);

    // The close box and Escape count as "OK".
    void reject() override;

    // What the result sheet shows besides the state: the stand's name, the
    // reasons of the unsuitable systems, further lines of a system.
    void set_sheet_extras(draw::SheetExtras extras) { sheet_extras_ = std::move(extras); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    QWidget* build_content();
    QVBoxLayout* build_buttons();
    void arrange_buttons(int rows);
    void fit_to_screen();
    void print_sheet();
    void save_sheet_pdf();

    const State& state_;
    draw::SheetExtras sheet_extras_;
    ScrollPane* area_ = nullptr;
    std::array<QPushButton*, 6> buttons_{};
    std::array<QHBoxLayout*, 2> button_rows_{};
    int button_row_count_ = 0;
    int one_row_width_ = 0;  // the width the buttons need side by side
    QMargins fitted_frame_;  // the frame the last fit reckoned with
};

}  // namespace forstrix::ui
