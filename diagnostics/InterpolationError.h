#pragma once

#include "diagnostics/HeydemannCorrection.h"

#include <cstddef>
#include <vector>

// What an interpolator that takes the angle straight from the tracks, atan2(B, A), reads wrong:
// its angle minus the corrected angle of the same pair, over one signal period.
struct InterpolationError {
    // The mean error per bin of the corrected angle, in signal periods; bin k holds the pairs
    // whose corrected angle lies in [k, k + 1) * 360 / bins electrical degrees, 0 ... 360. NaN
    // for a bin without pairs.
    std::vector<double> curve;
    // Highest minus lowest value of the curve (NaN bins left out): in signal periods, and in
    // arc seconds of the shaft. 0 when no bin has a value.
    double peakToPeakPeriods = 0.0;
    double peakToPeakArcSeconds = 0.0;
};

// The error of count pairs of Analog A and B (V) against the correction fitted to them, binned
// into bins bins over a period (fewer than 1 are taken as 1); periodsPerTurn is the encoder's
// signal periods per revolution. Pairs with a NaN have no value and are left out.
InterpolationError interpolationError(const HeydemannCorrection& correction, const double* a,
                                      const double* b, std::size_t count, double periodsPerTurn,
                                      int bins = 360);
