#include "draw/chart_paint.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <QString>

namespace forstrix::draw {

namespace {

QString qstr(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

int whole(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

TextMeasure measure_with(const QFont& font, double unit) {
    return [font, unit](const std::string& text) {
        const QFontMetricsF fm(font);
        return TextSize{whole(fm.horizontalAdvance(qstr(text)) / unit), whole(fm.height() / unit)};
    };
}

void paint_cost_chart(QPainter& p, const ChartGeometry& g, const QFont& font, const ChartStyle& style) {
    p.save();
    const double u = style.unit;
    auto at = [&](double x, double y) { return QPointF(style.origin.x() + x * u, style.origin.y() + y * u); };

    QPen pen(Qt::black, style.line_width);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.setFont(font);

    for (const ChartLine& l : g.lines) p.drawLine(at(l.x1, l.y1), at(l.x2, l.y2));

    // A text's top-left corner is at (x, y): the baseline lies one ascent below.
    const double ascent = QFontMetricsF(font).ascent();
    for (const ChartText& t : g.texts) {
        const QPointF corner = at(t.x, t.y);
        p.drawText(QPointF(corner.x(), corner.y() + ascent), qstr(t.text));
    }

    // On a pixel grid a cosmetic outline covers the pixels left .. right - 1;
    // on paper the outline runs exactly along the bar's edges.
    const double inset = style.line_width == 0.0 ? 1.0 : 0.0;
    const double step = style.hatch_step > 0.0 ? style.hatch_step : 8.0;
    for (const ChartBar& b : g.bars) {
        if (b.right <= b.left || b.bottom <= b.top) continue;
        const double w = b.right - b.left - inset;
        const double h = b.bottom - b.top - inset;
        const QRectF box(at(b.left, b.top), QSizeF(w * u, h * u));

        // The hatch: the lines x + y = k * step of the chart, cut to the bar.
        p.save();
        p.setClipRect(box, Qt::IntersectClip);
        const double first = std::ceil((b.left + b.top) / step) * step;
        for (double k = first; k < b.right + b.bottom; k += step) {
            // From the lower edge (or the left) up to the upper edge (or the right).
            const double x1 = std::max<double>(b.left, k - b.bottom);
            const double x2 = std::min<double>(b.right, k - b.top);
            p.drawLine(at(x1, k - x1), at(x2, k - x2));
        }
        p.restore();
        p.drawRect(box);
    }
    p.restore();
}

}  // namespace forstrix::draw
