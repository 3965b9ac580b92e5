// Geometry of the cost chart: a horizontal bar chart of the eight cost sums
// (Euro/Fm) over the six work systems. Everything the chart widget paints is
// computed here from numbers only, so that the layout can be checked without
// a window system.
//
// Coordinates are pixels, origin at the chart's top-left corner. The system
// axis is vertical at x = 30, the cost axis horizontal at y = 50 with the
// cost values growing to the right; each system has its place yc on the
// system axis, systems I and II with two bars (without and with measuring),
// the others with one.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace forstrix::draw {

struct TextSize {
    int width = 0;
    int height = 0;
};
// Size of a text in the font the chart is painted with.
using TextMeasure = std::function<TextSize(const std::string&)>;

struct ChartLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// A text whose top-left corner is at (x, y).
struct ChartText {
    int x = 0, y = 0;
    std::string text;
};

// A hatched bar from x = left to x = right (exclusive), top to bottom
// (exclusive). right == left is a bar of zero length, which paints nothing.
struct ChartBar {
    int system = 0;  // 0..5 for I..VI
    double value = 0.0;
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct CostTick {
    double value = 0.0;  // Euro/Fm
    int x = 0;
};

struct ChartGeometry {
    int h = 0;             // length of the system axis
    double xmax = 0.0;     // cost at the end of the cost axis [Euro/Fm]
    double xf = 0.0;       // pixels per Euro/Fm
    double tick_step = 10.0;
    std::array<int, 6> yc{};  // places of the systems I..VI on the system axis

    ChartLine cost_axis;
    ChartLine system_axis;
    std::vector<CostTick> ticks;

    std::vector<ChartLine> lines;  // axes and all tick marks
    std::vector<ChartText> texts;  // labels, numbers, titles, bar texts
    std::vector<ChartBar> bars;
};

inline constexpr int kChartAxisX = 30;  // the system axis
inline constexpr int kChartAxisY = 50;  // the cost axis
// Never more cost ticks than about this many; above it the step widens.
inline constexpr int kChartMaxTicks = 25;

// sums: the eight cost sums in chart order (see chart_sums in core/state.h);
// flags: suitability of I..VI (a bar only for a suitable system);
// width, height: the chart's size in pixels.
ChartGeometry chart_geometry(const std::array<double, 8>& sums,
                             const std::array<std::int32_t, 6>& flags, int width, int height,
                             const TextMeasure& measure);

}  // namespace forstrix::draw
