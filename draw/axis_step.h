// Round steps: 1, 2 or 5 times a power of ten, the steps a reader counts
// along without effort. The cost chart's ticks, the Kostenverlauf's axis,
// its map's labels and its default ranges all take their steps from here.
#pragma once

#include <optional>

namespace forstrix::draw {

struct RoundStep {
    int mantissa = 1;  // 1, 2 or 5
    int exponent = 0;  // the power of ten
    double value() const;
};

// The smallest round step not below `least`; nullopt when `least` is not a
// positive finite number.
std::optional<RoundStep> round_step(double least);

}  // namespace forstrix::draw
