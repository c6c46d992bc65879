#include "graph/TickScale.h"

#include "graph/NumberText.h"

#include <algorithm>
#include <cmath>

bool Ticks::drawable() const {
    // A plot area is at most a few thousand pixels wide; grid gaps are at least one pixel.
    constexpr double maxTicks = 10000.0;
    return std::isfinite(first) && std::isfinite(last) && std::isfinite(step) && step != 0.0 &&
           last - first < maxTicks;
}

Ticks ticks(double a, double b, double density) {
    const double span = std::max(std::fabs(b - a), 1e-6);
    const double g = std::log10(span * density);
    const double exponent = std::floor(g);
    const double rest = g - exponent;
    double mantissa = 5.0;
    if (rest < std::log10(2.0))
        mantissa = 1.0;
    else if (rest < std::log10(5.0))
        mantissa = 2.0;
    double step = mantissa * std::pow(10.0, exponent);
    if (b < a)
        step = -step;
    const double mid = (a + b) / 2.0;
    const double half = std::copysign(span / 2.0, step);
    return Ticks{std::ceil((mid - half) / step), std::floor((mid + half) / step), step};
}

std::string tickLabel(double value, double step) {
    // The small bias keeps log10 of an exact power of ten from landing just below it.
    const double power = std::floor(std::log10(std::fabs(step)) + 1e-9);
    const int decimals = std::isfinite(power) ? static_cast<int>(std::clamp(-power, 0.0, 17.0)) : 0;
    return fixedText(value == 0.0 ? 0.0 : value, decimals);
}
