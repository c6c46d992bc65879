#pragma once

#include <string>
#include <vector>

// The transform length for a segment of windowLength samples: the smallest power of two that is
// at least windowLength and at least 2.
int fftTransformLength(int windowLength);

// The coefficients of the window named name ("None", "Hanning", "Hamming", "Triangle",
// "Blackman-Harris", "Flat Top"; names compared exactly, any other text is "None") for
// windowLength samples, in the periodic form (denominator windowLength). They are scaled to sum
// to transformLength, so that a sine of amplitude a at a bin frequency gives a bin magnitude of
// a * transformLength / 2 whatever the window (coherent-gain normalisation). A single-sample
// window is the single coefficient transformLength for every name: the raw formulas give 0 or
// divide by zero there. coefficients is resized to windowLength (no allocation when the size
// stays).
void fftWindowCoefficients(const std::string& name, int windowLength, int transformLength,
                           std::vector<double>& coefficients);
