#pragma once

namespace boxsim {

// Two independent standard normal values.
struct NoisePair {
    double first = 0.0;
    double second = 0.0;
};

// Gaussian noise from a counter-based generator with a fixed seed: the values are a pure
// function of the stream (one per input) and the moment of the signal, so a replayed run, which
// samples the same moments, carries the same noise, and frames lost on the way change nothing
// in the others.
NoisePair gaussianNoise(int stream, double seconds);

} // namespace boxsim
