#include "ui/cost_chart.h"

#include <QBrush>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include "ui/fields.h"

namespace forstrix::ui {

CostChart::CostChart(const std::array<double, 8>& sums, const std::array<std::int32_t, 6>& flags,
                     QWidget* parent)
    : QWidget(parent), sums_(sums), flags_(flags) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

ChartGeometry CostChart::geometry_now() const {
    const QFontMetrics fm(font());
    const TextMeasure measure = [&fm](const std::string& text) {
        return TextSize{fm.horizontalAdvance(qs(text)), fm.height()};
    };
    return chart_geometry(sums_, flags_, width(), height(), measure);
}

void CostChart::paintEvent(QPaintEvent*) {
    const ChartGeometry g = geometry_now();
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);

    for (const ChartLine& l : g.lines) p.drawLine(l.x1, l.y1, l.x2, l.y2);

    const QFontMetrics fm(font());
    for (const ChartText& t : g.texts) {
        const QString text = qs(t.text);
        p.drawText(QRect(t.x, t.y, fm.horizontalAdvance(text), fm.height()),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    }

    // Black 45-degree hatch rising from lower left to upper right.
    p.setBrush(QBrush(Qt::black, Qt::BDiagPattern));
    for (const ChartBar& b : g.bars) {
        if (b.right <= b.left || b.bottom <= b.top) continue;
        // The outline covers the pixels left..right-1 and top..bottom-1.
        p.drawRect(QRect(b.left, b.top, b.right - b.left - 1, b.bottom - b.top - 1));
    }
}

}  // namespace forstrix::ui
