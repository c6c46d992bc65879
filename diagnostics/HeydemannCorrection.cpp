#include "diagnostics/HeydemannCorrection.h"

#include <cmath>

double HeydemannParameters::phaseErrorDegrees() const {
    return phaseError * 180.0 / M_PI;
}

HeydemannCorrection::HeydemannCorrection(const HeydemannParameters& parameters)
    : parameters_(parameters), sinPhase_(std::sin(parameters.phaseError)),
      cosPhase_(std::cos(parameters.phaseError)), inverseAmplitudeA_(1.0 / parameters.amplitudeA),
      inverseAmplitudeB_(1.0 / parameters.amplitudeB), inverseCosPhase_(1.0 / cosPhase_) {}

// With x = cos(phi) and y = sin(phi - phaseError) from the normalised tracks,
// sin(phi) = (y + x sin(phaseError)) / cos(phaseError); atan2 takes both scaled by the positive
// cos(phaseError).
void HeydemannCorrection::direction(double a, double b, double& cosine, double& sine) const {
    const double x = (a - parameters_.offsetA) * inverseAmplitudeA_;
    const double y = (b - parameters_.offsetB) * inverseAmplitudeB_;
    cosine = x * cosPhase_;
    sine = y + x * sinPhase_;
}

double HeydemannCorrection::angle(double a, double b) const {
    double cosine = 0.0;
    double sine = 0.0;
    direction(a, b, cosine, sine);
    return std::atan2(sine, cosine);
}

double HeydemannCorrection::radius(double a, double b) const {
    const double x = (a - parameters_.offsetA) * inverseAmplitudeA_;
    const double y = (b - parameters_.offsetB) * inverseAmplitudeB_;
    const double sine = (y + x * sinPhase_) * inverseCosPhase_;
    return std::sqrt(x * x + sine * sine);
}
