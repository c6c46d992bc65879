#pragma once

#include "diagnostics/EllipseFit.h"
#include "diagnostics/InterpolationError.h"

#include <cstddef>

// The ellipse fit and the interpolation error of one SinCos input over a data window, in volts.
struct SinCosQuality {
    EllipseFit fit;
    InterpolationError error; // empty curve without a fit
};

// At most this many pairs go into the interpolation error: it takes two arc tangents per pair,
// 12.6 ms for a window of 500,000 pairs, while a bin's mean needs no more than about 90 pairs
// (32768 over 360 bins). The pairs are taken evenly spread; unlike the fit, the error does not
// depend on their order.
constexpr std::size_t interpolationPairLimit = 32768;

// The quality of count pairs of Analog A and B values; voltsPerValueA and B turn the channels'
// values into volts (they may be shown in mV), periodsPerTurn is the encoder's.
SinCosQuality measureSinCosQuality(const double* a, const double* b, std::size_t count,
                                   double voltsPerValueA, double voltsPerValueB,
                                   double periodsPerTurn);
