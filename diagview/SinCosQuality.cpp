#include "diagview/SinCosQuality.h"

#include <vector>

namespace {

// The pairs in volts, every stride-th one.
void inVolts(const double* a, const double* b, std::size_t count, std::size_t stride,
             double voltsPerValueA, double voltsPerValueB, std::vector<double>& voltsA,
             std::vector<double>& voltsB) {
    voltsA.clear();
    voltsB.clear();
    voltsA.reserve(count / stride + 1);
    voltsB.reserve(count / stride + 1);
    for (std::size_t i = 0; i < count; i += stride) {
        voltsA.push_back(a[i] * voltsPerValueA);
        voltsB.push_back(b[i] * voltsPerValueB);
    }
}

} // namespace

SinCosQuality measureSinCosQuality(const double* a, const double* b, std::size_t count,
                                   double voltsPerValueA, double voltsPerValueB,
                                   double periodsPerTurn) {
    SinCosQuality quality;
    std::vector<double> voltsA;
    std::vector<double> voltsB;
    // Channels in volts, the usual case, are fitted where they lie.
    const bool copied = voltsPerValueA != 1.0 || voltsPerValueB != 1.0;
    if (copied)
        inVolts(a, b, count, 1, voltsPerValueA, voltsPerValueB, voltsA, voltsB);
    quality.fit =
        copied ? fitEllipse(voltsA.data(), voltsB.data(), count) : fitEllipse(a, b, count);
    if (!quality.fit.succeeded())
        return quality;
    const std::size_t stride = (count + interpolationPairLimit - 1) / interpolationPairLimit;
    inVolts(a, b, count, stride, voltsPerValueA, voltsPerValueB, voltsA, voltsB);
    quality.error = interpolationError(HeydemannCorrection(quality.fit.parameters), voltsA.data(),
                                       voltsB.data(), voltsA.size(), periodsPerTurn);
    return quality;
}
