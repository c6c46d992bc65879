#include "diagnostics/PositionDrift.h"

#include <algorithm>
#include <cmath>

PositionDrift positionDrift(const double* first, const double* second, std::size_t count) {
    PositionDrift drift;
    drift.minimum = INFINITY;
    drift.maximum = -INFINITY;
    drift.last = NAN;
    for (std::size_t i = 0; i < count; ++i) {
        const double difference = first[i] - second[i];
        if (std::isnan(difference))
            continue;
        drift.minimum = std::min(drift.minimum, difference);
        drift.maximum = std::max(drift.maximum, difference);
        drift.last = difference;
        ++drift.samples;
    }
    if (drift.samples == 0)
        drift.minimum = drift.maximum = NAN;
    return drift;
}
