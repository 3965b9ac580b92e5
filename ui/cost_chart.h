// The cost chart above the results: the eight cost sums as hatched bars
// over the six work systems. It paints exactly what chart_geometry computes
// for its current size and takes no input itself, so mouse presses and the
// wheel reach the dialog around it.
#pragma once

#include <array>
#include <cstdint>

#include <QWidget>

#include "draw/chart_geometry.h"

namespace forstrix::ui {

class CostChart : public QWidget {
    Q_OBJECT
public:
    CostChart(const std::array<double, 8>& sums, const std::array<std::int32_t, 6>& flags,
              QWidget* parent = nullptr);

    // The geometry for the chart's current size and font.
    draw::ChartGeometry geometry_now() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<double, 8> sums_;
    std::array<std::int32_t, 6> flags_;
};

}  // namespace forstrix::ui
