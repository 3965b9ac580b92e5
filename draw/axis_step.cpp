#include "draw/axis_step.h"

#include <cmath>

namespace forstrix::draw {

double RoundStep::value() const { return mantissa * std::pow(10.0, exponent); }

std::optional<RoundStep> round_step(double least) {
    if (!(least > 0.0) || !std::isfinite(least)) return std::nullopt;
    RoundStep s;
    s.exponent = static_cast<int>(std::floor(std::log10(least)));
    const double m = least / std::pow(10.0, s.exponent);
    s.mantissa = m <= 1.0 ? 1 : m <= 2.0 ? 2 : m <= 5.0 ? 5 : 10;
    if (s.mantissa == 10) {
        s.mantissa = 1;
        ++s.exponent;
    }
    return s;
}

}  // namespace forstrix::draw
