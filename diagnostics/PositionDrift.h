#pragma once

#include <cstddef>

// How two position channels of the same unit part over a window: the difference first minus
// second, in that unit.
struct PositionDrift {
    double minimum = 0.0;
    double maximum = 0.0;
    double last = 0.0;       // the difference of the last pair with values
    std::size_t samples = 0; // pairs with values; the figures are NaN when there are none
};

// The drift over count pairs of first and second. A NaN has no value and its pair is left out;
// a substitute value of a lost frame is a value like any other.
PositionDrift positionDrift(const double* first, const double* second, std::size_t count);
