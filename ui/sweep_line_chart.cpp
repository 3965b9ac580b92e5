#include "ui/sweep_line_chart.h"

#include <algorithm>
#include <cmath>

#include <QLegendMarker>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include "core/registry.h"
#include "draw/axis_step.h"
#include "ui/cost_map.h"
#include "ui/fields.h"

namespace forstrix::ui {

namespace {

// A tick interval of 1, 2 or 5 times a power of ten that gives about ten ticks.
double nice_interval(double span, bool whole) {
    const std::optional<draw::RoundStep> step = draw::round_step(span / 10.0);
    if (!step) return 1.0;
    return whole ? std::max(1.0, std::round(step->value())) : step->value();
}

void add_series(QChart& chart, QLineSeries* series, bool in_legend) {
    chart.addSeries(series);
    for (QAbstractAxis* axis : chart.axes()) series->attachAxis(axis);
    if (!in_legend)
        for (QLegendMarker* m : chart.legend()->markers(series)) m->setVisible(false);
}

}  // namespace

HoverChartView::HoverChartView(QChart* chart) : QChartView(chart) { setMouseTracking(true); }

void HoverChartView::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    if (!on_hover || !on_leave || chart()->series().isEmpty()) return;
    const QPointF pos = event->position();
    if (!chart()->plotArea().contains(pos)) return on_leave();
    on_hover(chart()->mapToValue(pos, chart()->series().front()).x());
}

void HoverChartView::leaveEvent(QEvent* event) {
    QChartView::leaveEvent(event);
    if (on_leave) on_leave();
}

void clear_line_chart(QChart& chart) {
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
}

DrawnLine draw_line_chart(QChart& chart, const SweepInput& input, const SweepRange& range,
                          std::span<const PointCosts> points, const Competition& c, double current) {
    DrawnLine drawn;
    // The cost axis reaches a little above the dearest competing sum, so
    // that the choice between the suitable systems fills the chart; the
    // figures of unsuitable systems may leave it at the top.
    double top = 0.0, top_any = 0.0;
    for (const PointCosts& p : points) {
        if (!p.computed) continue;
        for (int k = 0; k < 6; ++k) {
            const auto i = static_cast<std::size_t>(k);
            if (c.excluded[i]) continue;
            const double v = competing_sum(p.sums, k, c.unmeasured);
            if (!std::isfinite(v) || v <= 0.0) continue;
            top_any = std::max(top_any, v);
            if (p.flags[i] != 0) top = std::max(top, v);
        }
    }
    if (top <= 0.0) top = std::min(top_any, 200.0);
    top = std::max(10.0, top * 1.1);

    const bool whole = find_value(input.name)->type != ValueType::Double;
    const double x0 = range.from(), x1 = range.count > 1 ? range.last() : range.from() + 1.0;
    QAbstractAxis* xaxis = nullptr;
    if (!input.classes.empty()) {
        auto* cat = new QCategoryAxis;
        cat->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        for (std::size_t k = 0; k < range.count; ++k)
            cat->append(qs(value_text(input, range.value(k))), range.value(k));
        cat->setRange(x0 - 0.15, x1 + 0.15);
        // The words in full: slanted when together they would not fit
        // side by side under a chart of usual width.
        cat->setTruncateLabels(false);
        const QFontMetrics fm(cat->labelsFont());
        int words = 0;
        for (const QString& label : cat->categoriesLabels()) words += fm.horizontalAdvance(label) + 12;
        if (words > 600) cat->setLabelsAngle(-30);
        xaxis = cat;
    } else {
        auto* val = new QValueAxis;
        val->setRange(x0, x1);
        val->setTickType(QValueAxis::TicksDynamic);
        val->setTickAnchor(0.0);
        val->setTickInterval(nice_interval(x1 - x0, whole));
        val->setLabelFormat(whole ? QStringLiteral("%.0f") : QStringLiteral("%g"));
        val->setMinorTickCount(0);
        xaxis = val;
    }
    xaxis->setTitleText(qs(input.label));
    auto* yaxis = new QValueAxis;
    yaxis->setRange(0.0, top);
    yaxis->applyNiceNumbers();
    yaxis->setLabelFormat(QStringLiteral("%.0f"));
    yaxis->setTitleText(qs("Kosten [Euro/Fm]"));
    chart.addAxis(xaxis, Qt::AlignBottom);
    chart.addAxis(yaxis, Qt::AlignLeft);
    drawn.y_max = yaxis->max();

    // Each system: solid where it suits, faint and dashed where it does not
    // (joined to the neighbouring suitable points), broken where the checks
    // refused the point.
    for (int k = 0; k < 6; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (c.excluded[i]) continue;
        const QColor colour = rgb(kSystemColours[i]);
        QColor faint = colour;
        faint.setAlpha(150);
        const QPen solid(colour, 2.5);
        QPen dashed(faint, 1.5, Qt::DashLine);
        auto state = [&](std::size_t n) {
            const PointCosts& p = points[n];
            // A sum of 0 or less is no price (VI's harvester past BHD 86, V's
            // yarder for tiny pieces): the line breaks there.
            const double v = competing_sum(p.sums, k, c.unmeasured);
            if (!p.computed || !std::isfinite(v) || !(v > 0.0)) return 0;
            return p.flags[i] != 0 ? 1 : 2;
        };
        auto* legend = new QLineSeries;
        legend->setName(qs(system_legend(k, c.unmeasured)));
        legend->setPen(solid);
        add_series(chart, legend, true);
        for (std::size_t a = 0; a < points.size();) {
            const int st = state(a);
            std::size_t b = a + 1;
            while (b < points.size() && state(b) == st) ++b;
            if (st != 0) {
                std::size_t lo = a, hi = b;  // [lo, hi)
                if (st == 2) {
                    if (lo > 0 && state(lo - 1) == 1) --lo;
                    if (hi < points.size() && state(hi) == 1) ++hi;
                }
                auto* s = new QLineSeries;
                s->setPen(st == 1 ? solid : dashed);
                QList<QPointF> pts;
                pts.reserve(static_cast<qsizetype>(hi - lo));
                for (std::size_t n = lo; n < hi; ++n)
                    pts.append({range.value(n), competing_sum(points[n].sums, k, c.unmeasured)});
                s->append(pts);
                add_series(chart, s, false);
            }
            a = b;
        }
    }
    // What the two kinds of line mean, each with its sample in the legend.
    const QColor grey(0x80, 0x80, 0x80);
    auto* suitable = new QLineSeries;
    suitable->setName(qs("geeignet"));
    suitable->setPen(QPen(grey, 2.5));
    add_series(chart, suitable, true);
    auto* unsuitable = new QLineSeries;
    unsuitable->setName(qs("ungeeignet"));
    unsuitable->setPen(QPen(grey, 1.5, Qt::DashLine));
    add_series(chart, unsuitable, true);

    // The stand's current value.
    auto* marker = new QLineSeries;
    marker->setName(qs("aktueller Wert: " + value_with_word(input, current)));
    marker->setObjectName(QStringLiteral("currentValue"));
    marker->setPen(QPen(Qt::black, 1.5, Qt::DashDotLine));
    marker->append(current, 0.0);
    marker->append(current, drawn.y_max);
    add_series(chart, marker, true);

    drawn.hover_line = new QLineSeries;
    drawn.hover_line->setObjectName(QStringLiteral("hoverLine"));
    drawn.hover_line->setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    add_series(chart, drawn.hover_line, false);

    return drawn;
}

}  // namespace forstrix::ui
