#pragma once

// The imperfections of the two tracks of a SinCos input in Heydemann's model, with phi the true
// electrical angle (one signal period is 2 pi):
//   Analog A = offsetA + amplitudeA * cos(phi)
//   Analog B = offsetB + amplitudeB * sin(phi - phaseError)
// An ideal pair has no offsets, equal amplitudes and no phase error. A positive phase error
// means the tracks are more than a quarter period apart: while phi rises, A leads B by
// 90 degrees plus the phase error.
struct HeydemannParameters {
    double offsetA = 0.0;    // V
    double offsetB = 0.0;    // V
    double amplitudeA = 1.0; // V, half the peak-to-peak value, above 0
    double amplitudeB = 1.0; // V, half the peak-to-peak value, above 0
    double phaseError = 0.0; // rad, strictly between -pi/2 and pi/2

    double peakToPeakA() const { return 2.0 * amplitudeA; } // V
    double peakToPeakB() const { return 2.0 * amplitudeB; } // V
    // B's amplitude over A's; 1 for an ideal pair.
    double amplitudeRatio() const { return amplitudeB / amplitudeA; }
    double phaseErrorDegrees() const;
};

// Undoes the imperfections of a fitted model: the true angle and the radius of a sample pair.
class HeydemannCorrection {
public:
    explicit HeydemannCorrection(const HeydemannParameters& parameters);

    const HeydemannParameters& parameters() const { return parameters_; }

    // phi of the model for Analog A and B (V), rad in -pi ... pi.
    double angle(double a, double b) const;
    // cos(phi) and sin(phi) of the pair, both scaled by the same positive factor: the corrected
    // pair as a vector, for callers that need its direction but not the angle itself.
    void direction(double a, double b, double& cosine, double& sine) const;
    // The pair's distance from the ellipse's centre relative to the ellipse: 1 on the ellipse.
    double radius(double a, double b) const;

private:
    HeydemannParameters parameters_;
    double sinPhase_;
    double cosPhase_;
    // Multiplications instead of divisions in the per-sample calls.
    double inverseAmplitudeA_;
    double inverseAmplitudeB_;
    double inverseCosPhase_;
};
