#pragma once

#include <algorithm>
#include <cmath>

// The velocity scale and the filter steps of the inputs both depend on the system clock F (Hz)
// divided by 2^k, with k = floor(log2(F div 488)), so that F / 2^k lies between 488 and 976 Hz.
// A clock below 488 Hz (never reported by a working box, possible from a file) gives k = 0
// instead of the logarithm of zero.

inline int clockQuotient(int systemFrequency) {
    return std::max(systemFrequency / 488, 1);
}

// k for the velocity scale, in double precision.
inline int velocityExponent(int systemFrequency) {
    const double q = clockQuotient(systemFrequency);
    return static_cast<int>(std::floor(std::log(q) * 1.442695040888963));
}

// k for the filter table, in single precision. Kept apart from the double version because the
// two roundings may differ near exact powers of two, and each table follows its own.
inline int filterExponent(int systemFrequency) {
    const float q = static_cast<float>(clockQuotient(systemFrequency));
    return static_cast<int>(std::floor(std::log(q) * 1.4426950216293335f));
}
