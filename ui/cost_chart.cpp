#include "ui/cost_chart.h"

#include <QPainter>

#include "draw/chart_paint.h"

namespace forstrix::ui {

CostChart::CostChart(const std::array<double, 8>& sums, const std::array<std::int32_t, 6>& flags,
                     QWidget* parent)
    : QWidget(parent), sums_(sums), flags_(flags) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

draw::ChartGeometry CostChart::geometry_now() const {
    return draw::chart_geometry(sums_, flags_, width(), height(), draw::measure_with(font(), 1.0));
}

void CostChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    // One pixel per chart unit, cosmetic lines, the hatch every 8 pixels.
    draw::paint_cost_chart(p, geometry_now(), font(), draw::ChartStyle{});
}

}  // namespace forstrix::ui
