// The map of the "Kostenverlauf" window: a grid over two inputs, each cell
// coloured by the cheapest suitable work system there, grey where none
// suits, with the current stand marked. Everything it draws is placed by
// map_geometry; paint() draws it into any painter, so the screen and the
// exported image are one drawing.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QColor>
#include <QWidget>

#include "core/sweep.h"
#include "ui/sweep_view.h"

namespace forstrix::ui {

struct MapData {
    const SweepInput* in_x = nullptr;
    const SweepInput* in_y = nullptr;
    SweepRange x, y;
    std::vector<PointCosts> cells;  // cell (i, j) is element i · y.count + j
    Competition competition;
    double current_x = 0.0, current_y = 0.0;  // the current stand
};

class CostMap : public QWidget {
    Q_OBJECT
public:
    explicit CostMap(QWidget* parent = nullptr);

    void set_data(MapData data);
    const MapData& data() const { return data_; }

    // The geometry for a drawing of `size` in this widget's font.
    MapGeometry geometry_for(QSize size) const;
    // The colour of cell (i, j) as painted.
    QColor cell_colour(std::size_t i, std::size_t j) const;
    // The text of cell (i, j): its values and the six costs.
    QString cell_text(std::size_t i, std::size_t j) const;
    void paint(QPainter& painter, QSize size) const;

    QSize sizeHint() const override { return {900, 560}; }
    QSize minimumSizeHint() const override { return {420, 320}; }

signals:
    // The text of the cell under the mouse; empty when it leaves the map.
    void hovered(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Margins {
        int left, bottom, top, right;
    };
    Margins margins() const;

    MapData data_;
    std::optional<std::pair<std::size_t, std::size_t>> hover_;
};

// QColor of 0xRRGGBB.
inline QColor rgb(std::uint32_t c) { return QColor::fromRgb((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

}  // namespace forstrix::ui
