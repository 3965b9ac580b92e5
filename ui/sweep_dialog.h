// "Kostenverlauf": how the cost per Fm of the six work systems moves when
// one input of the current stand and costs varies (line view), and which
// suitable system is cheapest over two inputs (map view). Every point is a
// whole scenario computed by the core's sweep, as `calc` computes it; the
// dialog only reads the state it is given.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QDialog>
#include <QSize>

#include "core/state.h"
#include "core/sweep.h"
#include "ui/sweep_view.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPainter;
class QRectF;
class QTabWidget;

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
class QLineSeries;
QT_END_NAMESPACE

namespace forstrix::ui {

class CostMap;

// The fields "von", "bis" and "Schritt" of one swept input.
struct RangeEdits {
    QLineEdit *from = nullptr, *to = nullptr, *step = nullptr;
};

class SweepDialog : public QDialog {
    Q_OBJECT
public:
    explicit SweepDialog(const State& state, QWidget* parent = nullptr);

    // What the line view shows, for tests and exports.
    QChart* line_chart() const;
    QChartView* line_view() const { return view_; }
    const SweepInput* line_input() const { return line_input_; }
    const std::optional<SweepRange>& line_range() const { return line_range_; }
    const std::vector<PointCosts>& line_points() const { return line_points_; }
    CostMap* map() const { return map_; }
    Competition competition() const;

    // The stand's name, for the head of the printed page.
    void set_stand_name(const QString& name) { stand_name_ = name; }
    // The current view (line or map) on one page in the result sheet's
    // manner: head "Kostenverlauf", the picture, the sentence under it.
    // `page` is the whole paper in the painter's coordinates.
    void paint_page(QPainter& p, const QRectF& page) const;

    // The hover text of line point k, as the mouse shows it.
    QString line_point_text(std::size_t k) const;

private:
    void build();
    void fit_to_screen();
    void line_input_changed();
    void redraw_line();
    void map_axis_changed(int axis);
    void redraw_map();
    void competition_changed();
    void line_hovered(double x);
    void clear_line_hover();
    // Runs `draw` with the hover line taken off the chart.
    void without_hover(const std::function<void()>& draw) const;
    void export_image();
    void export_table();
    void print_view();
    // "Festgehaltene Eingaben – BHD [cm]: 20; ...": the inputs the current
    // view holds at the stand's values.
    QString held_note() const;
    // The inputs the current view sweeps.
    std::vector<const SweepInput*> swept_inputs() const;

    const State& state_;
    QString stand_name_;
    std::optional<Sweep> sweep_;
    QString setup_problem_;

    QTabWidget* tabs_ = nullptr;
    QComboBox* input_ = nullptr;
    RangeEdits line_edits_;
    QLabel* line_status_ = nullptr;
    QChartView* view_ = nullptr;
    QLineSeries* hover_line_ = nullptr;
    QLabel* sentence_ = nullptr;
    QLabel* line_info_ = nullptr;
    QComboBox* map_axis_[2] = {};  // waagerecht, senkrecht
    RangeEdits map_edits_[2];
    QLabel* map_status_ = nullptr;
    CostMap* map_ = nullptr;
    QLabel* map_info_ = nullptr;
    QCheckBox* unmeasured_ = nullptr;
    QCheckBox* compete_[6] = {};

    const SweepInput* line_input_ = nullptr;
    std::optional<SweepRange> line_range_;
    std::vector<PointCosts> line_points_;
    double y_max_ = 0.0;
};

}  // namespace forstrix::ui
