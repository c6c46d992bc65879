#pragma once

#include "diagnostics/HeydemannCorrection.h"

#include <cmath>
#include <random>
#include <vector>

// Analog A and B (V) of a shaft turning evenly through `periods` signal periods from the
// electrical angle `start` (rad) in `count` samples, following the model of `tracks`, with
// normal noise of standard deviation `noise` (V) from a fixed seed.
struct SinCosTracks {
    std::vector<double> a;
    std::vector<double> b;

    SinCosTracks(const HeydemannParameters& tracks, double periods, int count, double noise = 0.0,
                 double start = 0.3) {
        std::mt19937 random(1234);
        std::normal_distribution<double> noiseOf(0.0, noise > 0.0 ? noise : 1.0);
        const double scale = noise > 0.0 ? 1.0 : 0.0;
        for (int i = 0; i < count; ++i) {
            const double phi = start + 2.0 * M_PI * periods * i / count;
            a.push_back(tracks.offsetA + tracks.amplitudeA * std::cos(phi) +
                        scale * noiseOf(random));
            b.push_back(tracks.offsetB + tracks.amplitudeB * std::sin(phi - tracks.phaseError) +
                        scale * noiseOf(random));
        }
    }
};

// The imperfect tracks the fit is tested with: amplitudes 1.0 and 0.9 V (half peak-to-peak),
// offsets 0.05 and -0.03 V, phase error 3 degrees.
inline HeydemannParameters imperfectTracks() {
    HeydemannParameters tracks;
    tracks.offsetA = 0.05;
    tracks.offsetB = -0.03;
    tracks.amplitudeA = 1.0;
    tracks.amplitudeB = 0.9;
    tracks.phaseError = 3.0 * M_PI / 180.0;
    return tracks;
}
