#include "diagnostics/InterpolationError.h"

#include "diagnostics/AngleDifference.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double arcSecondsPerTurn = 360.0 * 3600.0;

} // namespace

InterpolationError interpolationError(const HeydemannCorrection& correction, const double* a,
                                      const double* b, std::size_t count, double periodsPerTurn,
                                      int bins) {
    bins = std::max(bins, 1);
    std::vector<double> sums(static_cast<std::size_t>(bins), 0.0);
    std::vector<std::size_t> counts(static_cast<std::size_t>(bins), 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (std::isnan(a[i]) || std::isnan(b[i]))
            continue;
        const double corrected = correction.angle(a[i], b[i]);
        const double error = angleDifference(std::atan2(b[i], a[i]), corrected);
        // corrected lies in -pi ... pi; bin 0 starts at 0.
        const double turn =
            corrected < 0.0 ? corrected / (2.0 * M_PI) + 1.0 : corrected / (2.0 * M_PI);
        const int bin = std::min(static_cast<int>(turn * bins), bins - 1);
        sums[static_cast<std::size_t>(bin)] += error;
        ++counts[static_cast<std::size_t>(bin)];
    }
    InterpolationError result;
    result.curve.resize(static_cast<std::size_t>(bins), NAN);
    double lowest = INFINITY;
    double highest = -INFINITY;
    for (std::size_t k = 0; k < result.curve.size(); ++k) {
        if (counts[k] == 0)
            continue;
        result.curve[k] = sums[k] / static_cast<double>(counts[k]) / (2.0 * M_PI);
        lowest = std::min(lowest, result.curve[k]);
        highest = std::max(highest, result.curve[k]);
    }
    if (highest >= lowest) {
        result.peakToPeakPeriods = highest - lowest;
        result.peakToPeakArcSeconds = result.peakToPeakPeriods / periodsPerTurn * arcSecondsPerTurn;
    }
    return result;
}
