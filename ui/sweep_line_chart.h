// The Kostenverlauf's line chart: each system's competing sum over the
// points of one input, solid where the system suits the point, faint and
// dashed where it does not (the legend shows both samples), broken where the checks refused the point; the
// stand's current value as an upright line, and the line under the mouse.
#pragma once

#include <functional>
#include <span>

#include <QtCharts/QChartView>

#include "core/sweep.h"
#include "ui/sweep_view.h"

QT_BEGIN_NAMESPACE
class QLineSeries;
QT_END_NAMESPACE

namespace forstrix::ui {

// The chart view that reports the input's value under the mouse, and when
// the mouse leaves the plot.
class HoverChartView final : public QChartView {
public:
    explicit HoverChartView(QChart* chart);
    std::function<void(double)> on_hover;
    std::function<void()> on_leave;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

struct DrawnLine {
    double y_max = 0.0;                // the top of the cost axis
    QLineSeries* hover_line = nullptr; // empty until the mouse moves
};

// Removes every series and axis.
void clear_line_chart(QChart& chart);

// Draws the points of `range` onto the cleared chart; `current` is the
// stand's value of the input.
DrawnLine draw_line_chart(QChart& chart, const SweepInput& input, const SweepRange& range,
                          std::span<const PointCosts> points, const Competition& c, double current);

}  // namespace forstrix::ui
