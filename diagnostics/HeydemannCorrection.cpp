#include "diagnostics/HeydemannCorrection.h"

#include <cmath>

double HeydemannParameters::phaseErrorDegrees() const {
    return phaseError * 180.0 / M_PI;
}

HeydemannCorrection::HeydemannCorrection(const HeydemannParameters& parameters)
    : parameters_(parameters), sinPhase_(std::sin(parameters.phaseError)),
      cosPhase_(std::cos(parameters.phaseError)) {}

// With x = cos(phi) and y = sin(phi - phaseError) from the normalised tracks,
// sin(phi) = (y + x sin(phaseError)) / cos(phaseError); atan2 takes both scaled by the positive
// cos(phaseError).
double HeydemannCorrection::angle(double a, double b) const {
    const double x = (a - parameters_.offsetA) / parameters_.amplitudeA;
    const double y = (b - parameters_.offsetB) / parameters_.amplitudeB;
    return std::atan2(y + x * sinPhase_, x * cosPhase_);
}

double HeydemannCorrection::radius(double a, double b) const {
    const double x = (a - parameters_.offsetA) / parameters_.amplitudeA;
    const double y = (b - parameters_.offsetB) / parameters_.amplitudeB;
    const double sine = (y + x * sinPhase_) / cosPhase_;
    return std::sqrt(x * x + sine * sine);
}
