// Beside the plan's totals: each crew and machine kind's hours against its
// capacity as a bar (red where the plan needs more than there is), what the
// present choice costs over the cheapest, and after an optimisation whether
// everything fits, what is missing, and whether the choice is the best.
#pragma once

#include <optional>
#include <vector>

#include <QGroupBox>
#include <QWidget>

#include "core/capacity.h"
#include "ui/plan_capacity.h"

class QLabel;

namespace forstrix::ui {

// The seven bars, drawn.
class CapacityBars : public QWidget {
    Q_OBJECT
public:
    explicit CapacityBars(QWidget* parent = nullptr);
    void set_lines(std::vector<CapacityLine> lines);
    const std::vector<CapacityLine>& lines() const { return lines_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int row_height() const;
    std::vector<CapacityLine> lines_;
};

class CapacityPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit CapacityPanel(QWidget* parent = nullptr);
    // The plan as it is now: its hours against the capacities, its extra
    // cost, and the last optimisation's result while the choice is its own.
    void show_plan(std::vector<CapacityLine> lines, double extra_euro,
                   const std::optional<plan::CapacityResult>& result);
    CapacityBars* bars() const { return bars_; }

private:
    CapacityBars* bars_ = nullptr;
    QLabel* extra_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace forstrix::ui
