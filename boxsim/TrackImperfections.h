#pragma once

#include <optional>
#include <string_view>
#include <utility>

namespace boxsim {

// How the analog tracks of a SinCos encoder differ from ideal 1 Vpp tracks. With theta the
// electrical angle of the shaft (one signal period is 2 pi) the converters see
//   Analog A = offsetA + peakA * sin(theta) + noise
//   Analog B = offsetB + peakB * cos(theta + phaseError) + noise
// Heydemann's ellipse fit of A and B gives these figures back. A positive phase error puts the
// tracks more than a quarter period apart; turning forwards B then leads A by more than 90 degrees.
struct SinCosImperfection {
    double peakA = 0.5;             // V, half the peak-to-peak value
    double peakB = 0.5;             // V
    double offsetA = 0.0;           // V
    double offsetB = 0.0;           // V
    double phaseErrorDegrees = 0.0; // strictly between -90 and 90
    double noiseRms = 0.0;          // V, Gaussian, on each track independently
};

// How the square tracks of an HTL/TTL encoder differ from ideal ones. Turning forwards A rises
// at the start of every signal period and B a quarter period plus the phase error later, as the
// timing of rising edges is measured; each track stays high for its duty cycle, so the duty
// cycles move only the falling edges.
struct HtlImperfection {
    double dutyA = 50.0;            // % of a signal period, strictly between 0 and 100
    double dutyB = 50.0;            // %
    double phaseErrorDegrees = 0.0; // beyond the ideal 90, strictly between -90 and 90
};

// Read "INPUT:PEAK_A,PEAK_B,OFFSET_A,OFFSET_B,PHASE_DEG,NOISE_RMS" (V and degrees; peaks and noise
// 0 ... 10 V, offsets -10 ... 10 V) and "INPUT:DUTY_A,DUTY_B,PHASE_DEG", INPUT the input number
// counted from 1 over all inputs.
std::optional<std::pair<int, SinCosImperfection>> parseSinCosImperfection(std::string_view text);
std::optional<std::pair<int, HtlImperfection>> parseHtlImperfection(std::string_view text);

} // namespace boxsim
