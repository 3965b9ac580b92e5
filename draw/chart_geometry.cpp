#include "draw/chart_geometry.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/numtext.h"
#include "core/systems.h"
#include "draw/axis_step.h"

namespace forstrix::draw {

namespace {

constexpr const char* kUnmeasured = "Langsortiment, unverm.";
constexpr const char* kMeasured = "Langsortiment, verm.";

// A pixel coordinate from a computed position, truncated toward zero. The
// clamp keeps absurd values (from absurd costs) inside int; NaN gives 0.
int px(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::trunc(std::clamp(v, -1.0e9, 1.0e9)));
}

// The cost at the end of the axis: 10 Euro/Fm beyond the largest sum. All
// eight sums count, also those of unsuitable systems, so that the scale does
// not jump when the stand changes the suitability. A sum that is not a
// number, or infinite, cannot be placed on a scale and is left out; the axis
// always starts at 0, so a negative largest sum still gives 0..10.
double axis_end_cost(const std::array<double, 8>& sums) {
    double largest = 0.0;
    for (const double s : sums)
        if (std::isfinite(s) && s > largest) largest = s;
    const double xmax = (largest * 0.1 + 1.0) * 10.0;
    return std::isfinite(xmax) ? xmax : largest;
}

// Whole pixels per Euro/Fm while at least one pixel fits; for very large
// costs the fraction, so that bars and ticks still spread over the axis.
double pixels_per_cost(int width, double xmax) {
    const double raw = static_cast<double>(width - kChartAxisX) / xmax;
    if (!(raw > 0.0)) return 0.0;
    return raw >= 1.0 ? std::floor(raw) : raw;
}

// A tick every 10 Euro/Fm; where that gives too many for their numbers to
// be read, 20, 50, 100, 200, 500, ... instead. Ticks are at step, 2 step,
// ... strictly below xmax, so a step of xmax / (kChartMaxTicks + 1) or
// more keeps to kChartMaxTicks of them.
double tick_step(double xmax) {
    const std::optional<RoundStep> step = round_step(xmax / (kChartMaxTicks + 1));
    return step ? std::max(10.0, step->value()) : 10.0;
}

}  // namespace

ChartGeometry chart_geometry(const std::array<double, 8>& sums,
                             const std::array<std::int32_t, 6>& flags, int width, int height,
                             const TextMeasure& measure) {
    ChartGeometry g;
    g.h = height - 70;
    g.xmax = axis_end_cost(sums);
    g.xf = pixels_per_cost(width, g.xmax);
    g.tick_step = tick_step(g.xmax);

    const int x0 = kChartAxisX;
    const int y0 = kChartAxisY;

    g.cost_axis = {x0, y0, x0 + px(g.xf * g.xmax), y0};
    g.system_axis = {x0, y0, x0, g.h + y0};
    g.lines.push_back(g.cost_axis);
    g.lines.push_back(g.system_axis);

    // The six systems, evenly spaced down the system axis; all six keep
    // their label whether suitable or not.
    for (int i = 0; i < 6; ++i) {
        const int yc = i * ((g.h - 50) / 6) + 50 + g.h / 12;
        g.yc[static_cast<std::size_t>(i)] = yc;
        g.lines.push_back({x0, yc, x0 - 10, yc});
        const std::string label(kSystemNumerals[static_cast<std::size_t>(i)]);
        const TextSize ts = measure(label);
        g.texts.push_back({x0 - (ts.width + 15), yc - ts.height / 2, label});
    }
    g.texts.push_back({0, 20, "System"});

    for (int k = 1; k * g.tick_step < g.xmax && k <= kChartMaxTicks; ++k) {
        const double v = k * g.tick_step;
        const int x = x0 + px(v * g.xf);
        g.ticks.push_back({v, x});
        g.lines.push_back({x, y0, x, y0 - 5});
        const std::string number = format_fixed(v, 0);
        const TextSize ts = measure(number);
        g.texts.push_back({x - ts.width / 2, y0 - 5 - ts.height, number});
    }

    const std::string title = "Kosten [Euro/Fm]";
    g.texts.push_back({width / 2 - measure(title).width / 2, 0, title});

    // A bar runs from the axis to its cost; a cost below zero (the formulas
    // can give that far outside a system's range) gets no bar left of the
    // axis, and an infinite one ends at the end of the axis.
    auto add_bar = [&](int system, double value, int top, int bottom) {
        int right = x0;
        if (std::isinf(value) && value > 0.0) right = g.cost_axis.x2;
        else if (value > 0.0) right = std::min(x0 + px(g.xf * value), g.cost_axis.x2);
        g.bars.push_back({system, value, x0, top, right, bottom});
        return right;
    };
    for (int i = 0; i < 6; ++i) {
        if (flags[static_cast<std::size_t>(i)] == 0) continue;
        const int yc = g.yc[static_cast<std::size_t>(i)];
        if (i < 2) {
            // Long timber: counted (unmeasured) above, measured below.
            const double unmeasured = sums[static_cast<std::size_t>(2 * i)];
            const double measured = sums[static_cast<std::size_t>(2 * i + 1)];
            const int r1 = add_bar(i, unmeasured, yc - 18, yc - 2);
            g.texts.push_back({r1 + 5, yc - 18, kUnmeasured});
            const int r2 = add_bar(i, measured, yc + 2, yc + 18);
            g.texts.push_back({r2 + 5, yc + 2, kMeasured});
        } else {
            add_bar(i, sums[static_cast<std::size_t>(i + 2)], yc - 8, yc + 8);
        }
    }
    return g;
}

}  // namespace forstrix::draw
