#include "fft/FftWindows.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr double twoPi = 6.283185307179586;

// The unnormalised coefficient k of a window of n samples.
double rawCoefficient(const std::string& name, int k, int n) {
    const double phase = twoPi * k / n; // radians
    if (name == "Hanning")
        return 0.5 - 0.5 * std::cos(phase);
    if (name == "Hamming")
        return 0.53836 - 0.46164 * std::cos(phase);
    if (name == "Triangle") {
        const int h = n / 2; // n >= 2 here, so h >= 1
        return 1.0 - static_cast<double>(std::abs(k - h)) / h;
    }
    if (name == "Blackman-Harris")
        return 0.42323 - 0.49755 * std::cos(phase) + 0.07922 * std::cos(2.0 * phase);
    if (name == "Flat Top")
        return 1.0 - 1.93 * std::cos(phase) + 1.29 * std::cos(2.0 * phase) -
               0.388 * std::cos(3.0 * phase) + 0.028 * std::cos(4.0 * phase);
    return 1.0;
}

} // namespace

int fftTransformLength(int windowLength) {
    int length = 2;
    while (length < windowLength)
        length *= 2;
    return length;
}

void fftWindowCoefficients(const std::string& name, int windowLength, int transformLength,
                           std::vector<double>& coefficients) {
    coefficients.resize(windowLength > 0 ? static_cast<std::size_t>(windowLength) : 0);
    if (windowLength <= 1) {
        if (windowLength == 1)
            coefficients[0] = transformLength;
        return;
    }
    double sum = 0.0;
    for (int k = 0; k < windowLength; ++k) {
        coefficients[k] = rawCoefficient(name, k, windowLength);
        sum += coefficients[k];
    }
    // Every window above has a positive sum for two or more samples.
    const double scale = transformLength / sum;
    for (double& c : coefficients)
        c *= scale;
}
