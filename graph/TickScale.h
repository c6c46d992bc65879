#pragma once

#include <string>

// Grid ticks k * step for k from first to last.
struct Ticks {
    double first = 0.0;
    double last = -1.0;
    double step = 1.0;

    // False when the range or the density was degenerate (zero, infinite or not a number) or
    // would give an unreasonable number of ticks.
    bool drawable() const;
};

// Ticks for the values from a to b: the step is the largest 1, 2 or 5 times a power of ten that
// does not exceed |b - a| * density (density: the share of the axis one grid gap may take), and
// is negative when b < a.
Ticks ticks(double a, double b, double density);

// The label of the tick value: as many decimals as the step needs; zero never shows a sign.
std::string tickLabel(double value, double step);
