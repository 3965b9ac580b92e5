// Paints a cost chart's geometry into any painter: the results dialog's
// widget, the printed sheet and its PDF draw the very same lines, texts and
// bars. The geometry is in chart units (screen pixels in the dialog); the
// style says where the chart stands in the painter's coordinates and how
// large a chart unit is there.
#pragma once

#include <QFont>
#include <QPointF>

#include "draw/chart_geometry.h"

class QPainter;

namespace forstrix::draw {

struct ChartStyle {
    QPointF origin{0.0, 0.0};  // the chart's top-left corner, in painter units
    double unit = 1.0;         // painter units per chart unit
    double line_width = 0.0;   // in painter units; 0 is the one-pixel cosmetic line of a screen
    double hatch_step = 8.0;   // chart units between the hatch lines of a bar, measured along x
};

// Text sizes in chart units, for chart_geometry, as `font` draws them in
// painter units at the style's unit.
TextMeasure measure_with(const QFont& font, double unit);

// Axes, ticks and texts in black; each bar outlined and hatched with black
// lines rising at 45 degrees from lower left to upper right.
void paint_cost_chart(QPainter& p, const ChartGeometry& g, const QFont& font, const ChartStyle& style);

}  // namespace forstrix::draw
