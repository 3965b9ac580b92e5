#include "ui/cost_map.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/fields.h"

namespace forstrix::ui {

namespace {

constexpr int kLegendRows = 4;  // eight entries in two columns

QRect snapped(const MapRect& r) {
    const int x0 = static_cast<int>(std::lround(r.x)), y0 = static_cast<int>(std::lround(r.y));
    const int x1 = static_cast<int>(std::lround(r.x + r.w)), y1 = static_cast<int>(std::lround(r.y + r.h));
    return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace

CostMap::CostMap(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CostMap::set_data(MapData data) {
    data_ = std::move(data);
    hover_.reset();
    update();
}

CostMap::Margins CostMap::margins() const {
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    // Room for the values of the upright axis: numbers of some digits, or
    // the words of a list, however long.
    int ylabels = fm.horizontalAdvance(QStringLiteral("0000,0"));
    if (data_.in_y != nullptr)
        for (const char* word : data_.in_y->classes)
            ylabels = std::max(ylabels, fm.horizontalAdvance(qs(word)));
    // The words of a list along the bottom may take two rows.
    const int xrows = data_.in_x != nullptr && !data_.in_x->classes.empty() ? 2 : 1;
    return {line + 6 + std::min(ylabels, width() / 3) + 8, (xrows + 1) * line + 14 + kLegendRows * (line + 4) + 8,
            line / 2 + 4, 16};
}

MapGeometry CostMap::geometry_for(QSize size) const {
    const Margins m = margins();
    return map_geometry(data_.x, data_.y, size.width(), size.height(), m.left, m.bottom, m.top, m.right,
                        fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 10.0);
}

QColor CostMap::cell_colour(std::size_t i, std::size_t j) const {
    const std::size_t k = i * data_.y.count + j;
    if (k >= data_.cells.size()) return rgb(kRefusedColour);
    const int v = verdict(data_.cells[k], data_.competition);
    if (v >= 0) return rgb(kSystemColours[static_cast<std::size_t>(v)]);
    return rgb(v == -1 ? kNoneColour : kRefusedColour);
}

QString CostMap::cell_text(std::size_t i, std::size_t j) const {
    const std::size_t k = i * data_.y.count + j;
    if (k >= data_.cells.size() || data_.in_x == nullptr || data_.in_y == nullptr) return {};
    const std::pair<const SweepInput*, double> at[] = {{data_.in_x, data_.x.value(i)}, {data_.in_y, data_.y.value(j)}};
    return qs(point_text(at, data_.cells[k], data_.competition));
}

void CostMap::paint(QPainter& p, QSize size) const {
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    if (data_.in_x == nullptr || data_.in_y == nullptr || data_.cells.empty()) return;
    const MapGeometry g = geometry_for(size);
    const QFontMetrics fm(p.font());
    const int line = fm.height();

    // Cells, on whole pixels so that neighbours meet without seams.
    for (std::size_t i = 0; i < g.nx; ++i) {
        for (std::size_t j = 0; j < g.ny; ++j) {
            const QRect r = snapped(g.cell(i, j));
            const QColor c = cell_colour(i, j);
            p.fillRect(r, c);
            if (c == rgb(kRefusedColour)) p.fillRect(r, QBrush(QColor(0x90, 0x90, 0x90), Qt::BDiagPattern));
        }
    }
    const QRect plot = snapped(g.plot);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(plot.adjusted(0, 0, -1, -1));

    // Axes: ticks and values, then the names of the inputs. The words of a
    // list wider than their cells alternate between two rows.
    const bool words_x = !data_.in_x->classes.empty();
    bool two_rows = false;
    for (const MapTick& t : g.x_ticks)
        two_rows = two_rows || (words_x && fm.horizontalAdvance(qs(value_text(*data_.in_x, data_.x.value(t.index)))) >
                                               static_cast<int>(g.cell_w) - 4);
    const int label_w = words_x ? static_cast<int>(g.cell_w) * (two_rows ? 2 : 1) - 4 : 100;
    for (std::size_t n = 0; n < g.x_ticks.size(); ++n) {
        const MapTick& t = g.x_ticks[n];
        const int x = static_cast<int>(std::lround(t.pos));
        const int row = two_rows && n % 2 == 1 ? line : 0;
        p.drawLine(x, plot.bottom() + 1, x, plot.bottom() + 5 + row);
        const QString text = fm.elidedText(qs(value_text(*data_.in_x, data_.x.value(t.index))), Qt::ElideRight,
                                           std::max(label_w, 8));
        p.drawText(QRect(x - label_w / 2, plot.bottom() + 6 + row, label_w, line), Qt::AlignHCenter | Qt::AlignTop,
                   text);
    }
    const int name_top = plot.bottom() + (words_x ? 2 * line : line) + 8;
    for (const MapTick& t : g.y_ticks) {
        const int y = static_cast<int>(std::lround(t.pos));
        p.drawLine(plot.left() - 5, y, plot.left() - 1, y);
        const QString text = fm.elidedText(qs(value_text(*data_.in_y, data_.y.value(t.index))), Qt::ElideRight,
                                           plot.left() - line - 12);
        p.drawText(QRect(0, y - line / 2, plot.left() - 8, line), Qt::AlignRight | Qt::AlignVCenter, text);
    }
    QFont bold = p.font();
    bold.setBold(true);
    p.save();
    p.setFont(bold);
    p.drawText(QRect(plot.left(), name_top, plot.width(), line), Qt::AlignHCenter, qs(data_.in_x->label));
    p.translate(2, plot.center().y());
    p.rotate(-90);
    p.drawText(QRect(-plot.height() / 2, 0, plot.height(), line), Qt::AlignHCenter, qs(data_.in_y->label));
    p.restore();

    // The current stand: a ring with a dot, visible on every colour.
    const double cx = g.x_of(data_.x, data_.current_x), cy = g.y_of(data_.y, data_.current_y);
    if (cx >= g.plot.x && cx <= g.plot.x + g.plot.w && cy >= g.plot.y && cy <= g.plot.y + g.plot.h) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(cx, cy), 7, 7);
        p.setPen(QPen(Qt::black, 2));
        p.drawEllipse(QPointF(cx, cy), 7, 7);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(cx, cy), 2, 2);
        p.restore();
    }
    // Legend below the axis: the six systems, none suitable, not computed,
    // and the mark of the current stand.
    struct Entry {
        QColor colour;
        QString text;
        bool hatched;
    };
    std::vector<Entry> entries;
    for (int k = 0; k < 6; ++k) {
        QString text = qs(system_legend(k, data_.competition.unmeasured));
        if (data_.competition.excluded[static_cast<std::size_t>(k)]) text += QStringLiteral(" – ausgeschlossen");
        entries.push_back({rgb(kSystemColours[static_cast<std::size_t>(k)]), text, false});
    }
    entries.push_back({rgb(kNoneColour), qs("kein System geeignet"), false});
    entries.push_back({rgb(kRefusedColour), qs("keine Berechnung (fehlende Eingaben)"), true});
    const int top = name_top + line + 8;
    const int col_w = std::max(1, (size.width() - plot.left()) / 2);
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const int col = static_cast<int>(k) / kLegendRows, row = static_cast<int>(k) % kLegendRows;
        const int x = plot.left() + col * col_w, y = top + row * (line + 4);
        const QRect swatch(x, y + 2, line * 2, line - 4);
        p.fillRect(swatch, entries[k].colour);
        if (entries[k].hatched) p.fillRect(swatch, QBrush(QColor(0x90, 0x90, 0x90), Qt::BDiagPattern));
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawText(QRect(x + line * 2 + 6, y, col_w - line * 2 - 10, line), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(entries[k].text, Qt::ElideRight, col_w - line * 2 - 10));
    }
}

void CostMap::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint(p, size());
    // The cell under the mouse, on the screen only: an exported or printed
    // map shows no trace of where the mouse was.
    if (hover_ && !data_.cells.empty()) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(snapped(geometry_for(size()).cell(hover_->first, hover_->second)).adjusted(0, 0, -1, -1));
    }
}

void CostMap::mouseMoveEvent(QMouseEvent* event) {
    const MapGeometry g = geometry_for(size());
    const auto at = g.cell_at(event->position().x(), event->position().y());
    if (at != hover_) {
        hover_ = at;
        update();
    }
    emit hovered(at ? cell_text(at->first, at->second) : QString());
}

void CostMap::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (hover_) {
        hover_.reset();
        update();
    }
    emit hovered(QString());
}

}  // namespace forstrix::ui
